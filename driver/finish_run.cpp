// End of an install or uninstall run: result record, result message, and the
// start of the freshly installed product.
#include <windows.h>
#include <setupapi.h>

#include "common/product_names.h"
#include "common/resource_strings.h"
#include "common/text.h"
#include "driver/agent_registration.h"
#include "driver/finish_run.h"
#include "resources/resource_ids.h"

RebootPrompt g_promptReboot = SetupPromptReboot;
ProductWait g_waitForProduct = WaitForMultipleObjects;

namespace {


void WriteResultRecord(const SetupContext* context) {
  char data[16];
  if (!TextFormat(data, sizeof(data), "%04X", static_cast<unsigned>(context->resultPhase))) return;
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kProductKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return;
  }
  RegSetValueExA(key, "Setup", 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                 static_cast<DWORD>(TextLength(data, sizeof(data)) + 1));
  RegCloseKey(key);
}

// "Failed in operation for %s." with the phase word of the given string ID.
void FormatFailure(HINSTANCE instance, UINT phaseId, char* text) {
  char format[MAX_PATH];
  char word[MAX_PATH];
  LoadResourceString(instance, IDS_FAILED_IN, format, MAX_PATH);
  LoadResourceString(instance, phaseId, word, MAX_PATH);
  // A message that does not fit is not cut: the phase word alone still tells.
  if (!TextFormat(text, MAX_PATH, format, word)) TextCopy(text, MAX_PATH, word);
}

void ReportResult(HINSTANCE instance, const SetupContext* context) {
  char caption[MAX_PATH];
  char text[MAX_PATH];
  LoadResourceString(instance, (context->flags & OptInstall) ? IDS_INSTALL_TITLE : IDS_UNINSTALL_TITLE,
                     caption, MAX_PATH);
  if (context->succeeded) {
    if (context->instanceRunning) {
      g_promptReboot(nullptr, nullptr, FALSE);
      return;
    }
    LoadResourceString(instance, IDS_COMPLETED, text, MAX_PATH);
    MessageBoxA(nullptr, text, caption, MB_ICONINFORMATION);
    return;
  }
  if (context->resultPhase == PhaseServicePack || context->resultPhase == PhaseUnsupportedOs) {
    LoadResourceString(instance, static_cast<UINT>(context->resultPhase), text, MAX_PATH);
    LoadResourceString(instance, IDS_CANNOT_START, caption, MAX_PATH);
    MessageBoxA(nullptr, text, caption, MB_ICONWARNING);
    return;
  }
  FormatFailure(instance, static_cast<UINT>(context->resultPhase), text);
  MessageBoxA(nullptr, text, caption, MB_ICONWARNING);
}

}  // namespace

int StartProductAndWait(SetupContext* context) {
  SHELLEXECUTEINFOA* info = &context->launchInfo;
  int launched = 0;
  context->initEvent = CreateEventA(nullptr, FALSE, FALSE, kInitEventName);
  if (context->initEvent != nullptr && ShellExecuteExA(info) && info->hProcess != nullptr) {
    HANDLE handles[2] = {info->hProcess, context->initEvent};
    DWORD wait = g_waitForProduct(2, handles, FALSE, INFINITE);
    // The event's signal counts whatever else ended: a product that signals
    // and ends before the wait begins has both signalled, and the wait names
    // the process first. Its end without the signal, or a failed wait, fails.
    launched = wait == WAIT_OBJECT_0 + 1 ||
               (wait == WAIT_OBJECT_0 && WaitForSingleObject(context->initEvent, 0) == WAIT_OBJECT_0);
  }
  if (info->hProcess != nullptr) {
    CloseHandle(info->hProcess);
    info->hProcess = nullptr;
  }
  if (context->initEvent != nullptr) {
    CloseHandle(context->initEvent);
    context->initEvent = nullptr;
  }
  return launched;
}

void FormatSystemError(DWORD code, char* text) {
  text[0] = '\0';
  if (FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code, 0x400, text, MAX_PATH, nullptr) == 0) {
    FormatFailure(GetModuleHandleA(nullptr), IDS_PHASE_INITIALIZATION, text);
  }
}

void ShowStartFailure(HWND owner, const char* text) {
  // A handle that names no window (the agent's window closed, or it never was
  // one) would keep the box from showing at all.
  if (owner != nullptr && !IsWindow(owner)) owner = nullptr;
  UINT style = owner != nullptr ? MB_ICONEXCLAMATION : MB_ICONEXCLAMATION | MB_SETFOREGROUND | MB_TOPMOST;
  MessageBoxA(owner, text, nullptr, style);
}

void LaunchProduct(SetupContext* context) {
  SHELLEXECUTEINFOA* info = &context->launchInfo;
  ZeroMemory(info, sizeof(*info));
  info->cbSize = sizeof(*info);
  info->lpFile = context->target.groupShortcutPath;
  info->lpDirectory = context->target.groupFolder;
  info->nShow = SW_SHOWNORMAL;
  if (!context->agentPending) {
    ShellExecuteExA(info);
    return;
  }

  // The wait needs the product's process, which a start through a shortcut
  // need not give (under Wine it never does): start the installed program
  // itself, from its folder, as the "/T" mode does.
  info->fMask = SEE_MASK_NOCLOSEPROCESS;
  info->lpFile = context->target.programPath;
  info->lpDirectory = context->target.targetFolder;
  info->lpParameters = "/H /W";
  if (StartProductAndWait(context)) return;

  DeleteAgentRegistration();
  char text[MAX_PATH];
  FormatSystemError(ERROR_FUNCTION_FAILED, text);
  ShowStartFailure(context->ownerWindow, text);
}

int FinishRun(HINSTANCE instance, SetupContext* context) {
  WriteResultRecord(context);
  if (!(context->flags & (OptSilent | OptNoResultMessage))) ReportResult(instance, context);
  if ((context->flags & OptInstall) && (context->flags & OptRelaunch)) {
    if (context->succeeded) {
      LaunchProduct(context);
    } else if (context->agentPending) {
      DeleteAgentRegistration();
    }
  }
  return context->resultPhase;
}
