// The desktop, Start-menu and program-group shortcuts: shell link files that
// point at the installed program and carry its path as icon location.
#include "package/shortcuts.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include "common/option_bits.h"
#include "common/os_version.h"
#include "common/path_text.h"
#include "common/system_change.h"
#include "common/text.h"
#include "package/shell_folders.h"

ShellNotifier g_notifyShell = SHChangeNotify;

namespace {

enum ShortcutKind { kDesktop, kStartMenu };

int ShortcutFolderId(ShortcutKind kind) {
  if (kind == kDesktop) return CSIDL_DESKTOP;
  return RunsOnNtFamily() ? CSIDL_COMMON_STARTMENU : CSIDL_STARTMENU;
}

// "<folder>\<name>.lnk" for the kind's folder.
int BuildShortcutPath(ShortcutKind kind, const char* name, char* path) {
  char folder[MAX_PATH];
  if (name == nullptr || !GetShellFolder(ShortcutFolderId(kind), folder)) return 0;
  return TextFormat(path, MAX_PATH, "%s\\%s.lnk", folder, name);
}

// Looks for the exact file: a default-extension search would skip ".lnk"
// for names that already hold a dot (such as "Installer 2.0").
int ShortcutExists(ShortcutKind kind, const char* name) {
  char path[MAX_PATH];
  if (!BuildShortcutPath(kind, name, path)) return 0;
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Answers whether the file is gone: a shortcut that stays where a removal
// was asked for must not read as removed, or an uninstall would end with it
// left behind and nothing to run again.
int DeleteShortcutFile(const char* path) {
  if (AllowSystemChangeOf("delete shortcut", path)) DeleteFileA(path);
  return GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES;
}

// SHCNF_FLUSH on NT; on 9x the flush that does not wait, 0x2000 (the
// headers' SHCNF_FLUSHNOWAIT is 0x3000, which adds SHCNF_FLUSH).
UINT GroupNotifyFlags() { return RunsOnNtFamily() ? SHCNF_FLUSH : 0x2000; }

void NotifyGroupChanged(UINT flags) { g_notifyShell(SHCNE_ASSOCCHANGED, flags, nullptr, nullptr); }

// Creates the link at linkPath for programPath and saves it; with notify the
// program-group notification follows the save. COM must be initialised.
// Answers the last COM result.
HRESULT SaveShellLink(const char* programPath, const char* linkPath, int notify, UINT notifyFlags) {
  IShellLinkA* link = nullptr;
  HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                    reinterpret_cast<void**>(&link));
  if (result != S_OK) return result;

  char workingFolder[MAX_PATH];
  workingFolder[0] = '\0';
  const char* lastSlash = FindLastBackslash(programPath);
  if (lastSlash != nullptr) {
    TextCopyN(workingFolder, MAX_PATH, programPath, static_cast<size_t>(lastSlash - programPath));
  }
  link->SetPath(programPath);
  link->SetIconLocation(programPath, 1);
  link->SetWorkingDirectory(workingFolder);

  IPersistFile* file = nullptr;
  result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  if (result == S_OK) {
    WCHAR widePath[MAX_PATH];
    if (MultiByteToWideChar(CP_ACP, 0, linkPath, -1, widePath, MAX_PATH) == 0) {
      result = E_FAIL;
    } else {
      result = AllowSystemChangeOf("save shortcut", linkPath) ? file->Save(widePath, TRUE)
                                                               : E_ACCESSDENIED;
      if (notify) NotifyGroupChanged(notifyFlags);
    }
    file->Release();
  }
  link->Release();
  return result;
}

int CreateShortcut(const char* programPath, const char* linkPath) {
  if (programPath == nullptr) return 0;
  HRESULT init = CoInitialize(nullptr);
  HRESULT result = SaveShellLink(programPath, linkPath, 0, 0);
  // Balance only an initialisation that took place.
  if (SUCCEEDED(init)) CoUninitialize();
  return result == S_OK;
}

int SetShortcut(ShortcutKind kind, const char* programPath, const char* name, uint32_t mode) {
  char path[MAX_PATH];
  if (!(mode & OptInstall)) {
    // Without a name (an uninstall that stopped part way) there is nothing to look for.
    if (name != nullptr && name[0] != '\0' && ShortcutExists(kind, name) &&
        BuildShortcutPath(kind, name, path)) {
      return DeleteShortcutFile(path);
    }
    return 1;
  }
  if (!BuildShortcutPath(kind, name, path)) return 0;
  return CreateShortcut(programPath, path);
}

}  // namespace

int DesktopShortcutExists(const char* name) { return ShortcutExists(kDesktop, name); }

int StartMenuShortcutExists(const char* name) { return ShortcutExists(kStartMenu, name); }

int SetDesktopShortcut(const char* programPath, const char* name, uint32_t mode) {
  return SetShortcut(kDesktop, programPath, name, mode);
}

int SetStartMenuShortcut(const char* programPath, const char* name, uint32_t mode) {
  return SetShortcut(kStartMenu, programPath, name, mode);
}

int SetGroupShortcut(const char* programPath, const char* shortcutPath, const char* groupFolder,
                     uint32_t mode) {
  const UINT notifyFlags = GroupNotifyFlags();
  if (shortcutPath == nullptr) shortcutPath = "";
  if (groupFolder == nullptr) groupFolder = "";
  if (!(mode & OptInstall)) {
    // An uninstall that stopped part way may have no group left to name.
    int removed = shortcutPath[0] == '\0' || DeleteShortcutFile(shortcutPath);
    // Succeeds only when nothing else is left in the group.
    if (groupFolder[0] != '\0' && AllowSystemChangeOf("remove folder", groupFolder)) {
      RemoveDirectoryA(groupFolder);
    }
    NotifyGroupChanged(notifyFlags);
    return removed;
  }
  if (programPath == nullptr) return 0;
  if (GetFileAttributesA(groupFolder) == INVALID_FILE_ATTRIBUTES &&
      AllowSystemChangeOf("create folder", groupFolder)) {
    CreateDirectoryA(groupFolder, nullptr);
  }
  HRESULT init = CoInitialize(nullptr);
  RemoveOldGroupShortcuts(programPath, groupFolder);
  HRESULT result = SaveShellLink(programPath, shortcutPath, 1, notifyFlags);
  if (SUCCEEDED(init)) CoUninitialize();
  return result == S_OK;
}
