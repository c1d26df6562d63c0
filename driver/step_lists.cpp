// The install and uninstall step lists. The first step that fails ends the
// list; resultPhase then names the group it failed in.
#include <windows.h>
#include <string.h>

#include "common/folders.h"
#include "common/path_text.h"
#include "common/product_names.h"
#include "common/resource_strings.h"
#include "common/run_records.h"
#include "common/system_change.h"
#include "common/text.h"
#include "driver/environment.h"
#include "driver/progress.h"
#include "driver/step_lists.h"
#include "files/program_files.h"
#include "package/package_settings.h"
#include "package/settings.h"
#include "package/setup_package.h"
#include "package/shortcuts.h"
#include "registry/browser_button.h"
#include "registry/product_key.h"
#include "registry/uninstall_entry.h"
#include "resources/resource_ids.h"

namespace {

// Adds every existing folder of the ";"-separated "IMAGEPATH" list to the
// search path; empty and relative entries (which would name folders under
// the current one) are passed over like missing folders.
void RegisterImageFolders(SetupContext* context) {
  char list[MAX_PATH];
  ZeroMemory(list, sizeof(list));
  if (ReadImagePaths(list, MAX_PATH) == 0) return;
  for (char* rest = list; rest != nullptr;) {
    char* entry = CutListEntry(&rest);
    if (IsImageEntry(entry) && IsFolder(entry)) {
      context->succeeded &= RegisterSearchFolder(entry, context->flags);
    }
  }
}

// The registered download folder, or the default one, when it is a writable
// folder: registered in the search path and left in found. Answers whether
// a download folder is in place.
int RegisterDownloadFolder(SetupContext* context, char* found) {
  ZeroMemory(found, MAX_PATH);
  const char* tested = context->downloadFolder;
  if (ReadDownloadFolder(found, MAX_PATH)) tested = found;
  DWORD attributes = GetFileAttributesA(tested);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
      !(attributes & FILE_ATTRIBUTE_READONLY)) {
    if (tested != found && !TextCopy(found, MAX_PATH, tested)) return 0;
    context->succeeded &= RegisterSearchFolder(found, context->flags);
    return 1;
  }
  found[0] = '\0';
  return 0;
}

// Walks the "DOWNLOAD" list and creates the first entry that does not exist
// yet. Unusable entries (empty, relative, or too long for a path behind the
// drive) are passed over; a list without a usable one counts as no list.
void CreateDownloadFolder(SetupContext* context) {
  char list[MAX_PATH];
  ZeroMemory(list, sizeof(list));
  if (ReadDownloadFolders(list, MAX_PATH) == 0) return;
  char windows[MAX_PATH];
  if (!ReadWindowsFolder(windows)) return;
  const char* slash = FindBackslash(windows);
  size_t driveLength = slash != nullptr ? static_cast<size_t>(slash - windows) : strlen(windows);

  for (char* rest = list; rest != nullptr;) {
    char* entry = CutListEntry(&rest);
    char path[MAX_PATH];
    if (IsDownloadEntry(entry) && TextCopyN(path, MAX_PATH, windows, driveLength) &&
        TextAppend(path, MAX_PATH, entry)) {
      TextCopy(context->downloadFolder, MAX_PATH, path);
      if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) {
        if (AllowSystemChangeOf("create folder", path) && CreateDirectoryA(path, nullptr)) {
          RegisterSearchFolder(path, context->flags);
        }
        return;
      }
    }
  }
}

int RunInstallSteps(SetupContext* context, HWND progress) {
  InstallTarget* target = &context->target;
  const uint32_t flags = context->flags;

  context->resultPhase = PhaseServicePack;
  if (!CheckServicePack()) return 0;

  context->resultPhase = PhaseFileInstall;
  if (!ProcessProgramFiles(nullptr, target->targetFolder, context->instanceRunning, flags)) return 0;
  ProgressStep(progress, 1);

  context->resultPhase = PhaseShortcuts;
  if (flags & OptKeepSettings) {
    ProgressMove(progress, 2);
  } else {
    if (target->previousName[0] != '\0' && strcmp(target->previousName, target->productName) != 0) {
      SetDesktopShortcut(target->programPath, target->previousName, 0);
      SetStartMenuShortcut(target->programPath, target->previousName, 0);
      if (target->previousGroupShortcutPath[0] != '\0') {
        SetGroupShortcut(target->programPath, target->previousGroupShortcutPath, target->groupFolder, 0);
      }
    }
    // An unwanted shortcut is removed; one that cannot be is no failure of
    // the install (the uninstall does fail over it).
    if (!SetDesktopShortcut(target->programPath, target->productName,
                            target->desktopShortcut ? flags : 0) &&
        target->desktopShortcut) {
      return 0;
    }
    if (!SetStartMenuShortcut(target->programPath, target->productName,
                              target->startMenuShortcut ? flags : 0) &&
        target->startMenuShortcut) {
      return 0;
    }
    if (!SetGroupShortcut(target->programPath, target->groupShortcutPath, target->groupFolder, flags)) {
      return 0;
    }
    ProgressStep(progress, 2);
  }

  context->resultPhase = PhaseRegistration;
  if (!RegisterProgramFolder(target->targetFolder, flags)) return 0;
  ProgressStep(progress, 3);
  if (!RegisterNameAndVersion(target->productName, target->productVersion, flags)) return 0;
  ProgressStep(progress, 4);

  RegisterImageFolders(context);
  char download[MAX_PATH];
  if (!RegisterDownloadFolder(context, download)) CreateDownloadFolder(context);
  if (!context->succeeded) return 0;

  ProgressStep(progress, 5);
  if (!RegisterGroupFolder(target->groupFolder, flags)) return 0;
  if (!RegisterDownloadSettings(target->internetFunction, context->downloadFolder, flags)) return 0;
  if (!RegisterBrowserButton(target->programPath, kUninstallerIcon, context->buttonText,
                             target->browserButton)) return 0;
  ProgressStep(progress, 6);
  if (!FixUpPackageEntries()) return 0;
  ProgressStep(progress, 7);
  if (!RegisterUninstallEntry(context->uninstallerName, target->productName, target->productVersion,
                              flags)) return 0;
  if (context->isNt5OrLater && !RegisterInterfacePath(context->uninstallerName, flags)) return 0;
  ProgressStep(progress, 8);
  context->resultPhase = PhaseSuccess;
  return 1;
}

int RunUninstallSteps(SetupContext* context, HWND progress) {
  InstallTarget* target = &context->target;
  const uint32_t flags = context->flags;

  context->resultPhase = PhaseFileRemoval;
  if (!ProcessProgramFiles(nullptr, target->sourceFolder, context->instanceRunning, flags)) return 0;
  ProgressStep(progress, 2);

  context->resultPhase = PhaseShortcuts;
  if (!SetGroupShortcut(nullptr, target->groupShortcutPath, target->groupFolder, flags)) return 0;
  if (!SetDesktopShortcut(nullptr, target->productName, flags)) return 0;
  if (!SetStartMenuShortcut(nullptr, target->productName, flags)) return 0;
  ProgressStep(progress, 3);

  context->resultPhase = PhaseRegistration;
  if (!RegisterProgramFolder(nullptr, flags)) return 0;
  ProgressStep(progress, 4);
  if (!RegisterNameAndVersion(nullptr, nullptr, flags)) return 0;
  ProgressStep(progress, 5);
  if (!RegisterGroupFolder(nullptr, flags)) return 0;
  if (!RegisterDownloadSettings(0, nullptr, flags)) return 0;
  // An uninstall that left the button (one that cannot be opened) would
  // look complete: it fails, and a run again does what remains.
  if (!RegisterBrowserButton(nullptr, nullptr, nullptr, 0) || IsBrowserButtonRegistered()) return 0;
  ProgressStep(progress, 6);
  if (!RegisterSearchFolder(nullptr, flags)) return 0;
  ProgressStep(progress, 7);
  if (!RegisterUninstallEntry(nullptr, nullptr, nullptr, flags)) return 0;
  if (!RegisterInterfacePath(nullptr, flags)) return 0;
  ProgressStep(progress, 8);
  context->resultPhase = PhaseSuccess;
  return 1;
}

}  // namespace

int RunStepList(SetupContext* context, HWND progress) {
  int ok;
  if (context->flags & OptInstall) {
    TextCopy(context->downloadFolder, MAX_PATH, "C:\\DRIVERS");
    LoadResourceString(g_setupPackage.instance, IDS_BUTTON_TEXT, context->buttonText, MAX_PATH);
    context->uninstallerName = kUninstallerName;
    ok = RunInstallSteps(context, progress);
  } else {
    ok = RunUninstallSteps(context, progress);
  }
  if (!ok) context->succeeded = 0;
  return context->succeeded;
}
