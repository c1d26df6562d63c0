// The choice of installation folder, program group and shortcuts: proposed
// from the package and an earlier installation, confirmed by the user.
#include "package/target_choice.h"

#include <windows.h>
#include <string.h>

#include "common/folders.h"
#include "common/product_names.h"
#include "common/program_folder.h"
#include "common/resource_strings.h"
#include "common/run_records.h"
#include "common/text.h"
#include "common/version_text.h"
#include "package/install_dialog.h"
#include "package/settings.h"
#include "package/setup_package.h"
#include "package/shortcuts.h"
#include "package/target_rules.h"
#include "registry/browser_button.h"
#include "registry/product_key.h"
#include "registry/uninstall_entry.h"
#include "resources/resource_ids.h"

namespace {

// The Program Files folder, a backslash and INIT/TARGET; answers whether
// TARGET was found.
int ReadProposedTarget(char* folder) {
  char programFiles[MAX_PATH];
  ZeroMemory(programFiles, sizeof(programFiles));
  ReadWindowsSetting("ProgramFilesDir", programFiles, MAX_PATH);
  programFiles[MAX_PATH - 1] = '\0';
  return ReadDefaultTarget(programFiles, folder, MAX_PATH) != 0;
}

// The shortcut files and the program path; answers 0 when the group
// shortcut or the program path does not fit.
int BuildTargetPaths(InstallTarget* target) {
  if (!TextFormat(target->groupShortcutPath, MAX_PATH, "%s\\%s.lnk", target->groupFolder,
                  target->productName)) {
    return 0;
  }
  // The doubled backslash is kept: shortcuts store this exact text as their
  // icon location, and the clean-up of older groups compares with it.
  if (!TextFormat(target->programPath, MAX_PATH, "%s\\%s", target->targetFolder, kProgramPathTail)) {
    return 0;
  }
  // Only used to remove the earlier product's shortcut: left empty (and so
  // skipped) when it does not fit.
  if (target->previousName[0] != '\0') {
    TextFormat(target->previousGroupShortcutPath, MAX_PATH, "%s\\%s.lnk", target->groupFolder,
               target->previousName);
  }
  return 1;
}

// A stored "InternetFunction" of 0 turns the internet function off.
void ApplyStoredInternetFunction(InstallTarget* target) {
  int stored = -1;
  if (ReadInternetFunction(&stored) && stored == 0) {
    target->internetFunction = 0;
    target->browserButton = 0;
  }
}

int ChooseInstallTarget(SetupContext* context) {
  InstallTarget* target = &context->target;
  context->cancelled = 0;
  target->flags = context->flags;
  if (!ReadReleaseInfo(target->productName, target->productVersion)) return 0;
  ReadOwnFolder(target->sourceFolder);

  target->internetFunction = ReadInternetMode();
  target->desktopShortcut = DesktopShortcutExists(target->productName);
  target->startMenuShortcut = StartMenuShortcutExists(target->productName);
  if (context->flags & OptKeepSettings) {
    target->browserButton = IsBrowserButtonRegistered();
  } else {
    target->browserButton = target->internetFunction != 0;
  }

  int targetFound = 1;
  const int earlier = ReadProgramFolder(target->targetFolder) &&
                      ReadNameAndVersion(target->previousName, context->previousVersion);
  if (earlier) {
    if (CompareVersionBytes(context->previousVersion, "3.00.0000") > 0) {
      ApplyStoredInternetFunction(target);
    }
    target->desktopShortcut = target->desktopShortcut || DesktopShortcutExists(target->previousName);
    target->startMenuShortcut =
        target->startMenuShortcut || StartMenuShortcutExists(target->previousName);
  } else {
    ApplyStoredInternetFunction(target);
  }
  // A stored folder that no install could use (relative, too long) is not
  // upgraded: the folder alone is chosen afresh.
  if (!earlier || !IsUsableProgramFolder(target->targetFolder)) {
    target->flags |= OptFreshInstall;
    targetFound = ReadProposedTarget(target->targetFolder);
  }

  if (!(context->flags & OptSilent)) {
    INT_PTR answer = RunInstallDialog(target);
    // A dialog that cannot be shown is a failure, not a choice of the user.
    if (answer == -1 || answer == 0) return 0;
    // Declining still fails a package that names no folder or group.
    if (answer != IDOK) context->cancelled = 1;
  }
  if (!targetFound) return 0;

  const int groupFound = ReadProgramGroup(target->groupFolder, MAX_PATH);
  if (!BuildTargetPaths(target)) return 0;
  return groupFound;
}

int ChooseUninstallTarget(SetupContext* context) {
  InstallTarget* target = &context->target;
  context->cancelled = 0;
  target->flags = context->flags;
  // An uninstall that stopped part way removed some of these: run again, it
  // does what remains. With none of them and no entry in the system's list,
  // nothing is installed (or it was removed completely).
  int folderRead = ReadProgramFolder(target->sourceFolder);
  int nameRead = ReadNameAndVersion(target->productName, target->productVersion);
  int groupRead = ReadGroupFolder(target->groupFolder);
  if (!folderRead && !nameRead && !groupRead && !IsUninstallRegistered()) return 0;
  if (!nameRead) {
    target->productName[0] = '\0';
    target->productVersion[0] = '\0';
  }

  char found[MAX_PATH];
  if (folderRead && FindFileIn(target->sourceFolder, "NvxSetup.xml", found)) {
    g_setupPackage.isXmlDescriptor = 1;
  }
  TextCopy(context->previousVersion, MAX_PATH, target->productVersion);

  if (!(context->flags & OptSilent)) {
    char text[MAX_PATH];
    char caption[MAX_PATH];
    LoadResourceString(g_setupPackage.instance, IDS_REMOVE_QUESTION, text, MAX_PATH);
    LoadResourceString(g_setupPackage.instance, IDS_UNINSTALL_TITLE, caption, MAX_PATH);
    if (MessageBoxA(nullptr, text, caption, MB_ICONQUESTION | MB_YESNO) != IDYES) {
      context->cancelled = 1;
      return 1;
    }
  }

  // Without the group or the name there is no group shortcut left to name.
  if (!groupRead || !nameRead) {
    target->groupFolder[0] = '\0';
    target->groupShortcutPath[0] = '\0';
    return 1;
  }
  return TextFormat(target->groupShortcutPath, MAX_PATH, "%s\\%s.lnk", target->groupFolder,
                    target->productName);
}

}  // namespace

int ChooseTarget(SetupContext* context) {
  if (context->flags & OptInstall) return ChooseInstallTarget(context);
  return ChooseUninstallTarget(context);
}
