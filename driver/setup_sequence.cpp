// The start of every run: mode, options, package, rights, system, target.
#include <windows.h>
#include <commctrl.h>
#include <string.h>

#include "common/os_version.h"
#include "common/resource_strings.h"
#include "driver/agent_registration.h"
#include "driver/environment.h"
#include "driver/finish_run.h"
#include "driver/instance_check.h"
#include "driver/options.h"
#include "driver/progress.h"
#include "driver/setup_sequence.h"
#include "driver/step_lists.h"
#include "package/setup_package.h"
#include "package/target_choice.h"
#include "resources/resource_ids.h"

void InitSetupContext(SetupContext* context) {
  ZeroMemory(context, sizeof(*context));
  context->flags = OptInstall;
}

int RunSetup(HINSTANCE instance, const char* commandLine, SetupContext* context) {
  if (commandLine == nullptr) commandLine = "";
  ReadOsVersion(&context->osVersion);
  const int isNt = IsNtFamily(&context->osVersion);
  context->isNt5OrLater = IsWindows2000OrLater(&context->osVersion);

  if (strncmp(commandLine, "/T", 2) == 0) return RunAgentRegistrationMode(context);

  context->agentPending = ReadAgentWindow(&context->ownerWindow);
  InitCommonControls();
  if (!ParseOptions(commandLine, context)) return -1;
  context->succeeded = LoadSetupPackage(instance, commandLine, context);

  if (isNt) {
    if (!g_isUserAdministrator()) {
      if (!(context->flags & OptSilent)) {
        char text[MAX_PATH];
        LoadResourceString(instance, IDS_NOT_ADMINISTRATOR, text, MAX_PATH);
        MessageBoxA(nullptr, text, nullptr, MB_ICONERROR);
      }
      return -1;
    }
    if (!EnableTakeOwnershipPrivilege()) return -1;
  }

  context->resultPhase = PhaseInitialization;
  if (!context->succeeded) return FinishRun(instance, context);

  context->resultPhase = PhaseUnsupportedOs;
  if (!CheckOsSupported()) {
    context->succeeded = 0;
    return FinishRun(instance, context);
  }

  context->resultPhase = PhaseInitialization;
  if (!ChooseTarget(context)) {
    context->succeeded = 0;
    return FinishRun(instance, context);
  }
  if (context->cancelled) return 0;

  if (context->flags & OptInstall) ReleaseSetupPackage();

  HWND progress = ShowProgressWindow(instance);
  CheckRunningInstance(context);
  RunStepList(context, progress);
  if (progress != nullptr) DestroyWindow(progress);
  return FinishRun(instance, context);
}
