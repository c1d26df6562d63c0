// The per-run record of the driver and the target filled by the target choice.
#pragma once
#include <windows.h>

#include "driver/option_bits.h"

struct InstallTarget {
  uint32_t flags;  // copy of SetupContext.flags, plus OptFreshInstall
  int internetFunction;
  int desktopShortcut;
  int startMenuShortcut;
  int browserButton;
  char productName[MAX_PATH];
  char productVersion[MAX_PATH];
  char sourceFolder[MAX_PATH];
  char groupShortcutPath[MAX_PATH];
  char groupFolder[MAX_PATH];
  char targetFolder[MAX_PATH];
  char programPath[MAX_PATH];
  char previousName[MAX_PATH];
  char previousGroupShortcutPath[MAX_PATH];
};

struct SetupContext {
  uint32_t flags;
  int succeeded;
  int resultPhase;
  const char* uninstallerName;
  int agentPending;
  HANDLE initEvent;
  HWND ownerWindow;
  int instanceRunning;
  int isNt5OrLater;
  int cancelled;
  SHELLEXECUTEINFOA launchInfo;
  char downloadFolder[MAX_PATH];
  char buttonText[MAX_PATH];
  OSVERSIONINFOA osVersion;
  InstallTarget target;
  char previousVersion[MAX_PATH];
};

// Initialises a context as every run starts: install mode, everything else empty.
void InitSetupContext(SetupContext* context);
// Updates context->flags from the command-line text. Always answers 1.
int ParseOptions(const char* commandLine, SetupContext* context);
// The whole install or uninstall run after the mode was chosen; answers the exit code.
int RunSetup(HINSTANCE instance, const char* commandLine, SetupContext* context);
// Sets instanceRunning from the product's mutex or main window.
void CheckRunningInstance(SetupContext* context);
// Runs the step list of the mode in flags; answers context->succeeded.
int RunStepList(SetupContext* context, HWND progress);
// Records and reports the result, starts the product on request; answers the exit code.
int FinishRun(HINSTANCE instance, SetupContext* context);
// Starts the installed product through its program-group shortcut.
void LaunchProduct(SetupContext* context);
// Starts the product as launchInfo describes (with SEE_MASK_NOCLOSEPROCESS)
// and waits for its initialisation event; answers 1 only when the event was
// signalled before the product ended. Leaves no handle open.
int StartProductAndWait(SetupContext* context);
typedef DWORD(WINAPI* ProductWait)(DWORD count, const HANDLE* handles, BOOL all, DWORD timeout);
// WaitForMultipleObjects in front of that wait; tests let the product end
// before it begins.
extern ProductWait g_waitForProduct;
// The system's text for error code into a 260-byte buffer, or "Failed in
// operation for initialization." when the system has none.
void FormatSystemError(DWORD code, char* text);
// The exclamation box of a failed product start, owned by owner when that is a window.
void ShowStartFailure(HWND owner, const char* text);
// Loads string id into a 260-byte buffer; answers its length.
int LoadResourceString(HINSTANCE instance, UINT id, char* buffer, int size);
