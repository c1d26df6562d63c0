// The entry in the system's list of installed programs, and the interface
// path key that tells other software where the uninstaller is.
#include "registry/uninstall_entry.h"

#include <windows.h>

#include "common/folders.h"
#include "common/option_bits.h"
#include "common/product_names.h"
#include "common/text.h"
#include "registry/registry_io.h"

namespace {

// The Windows directory followed by the formatted tail; 0 when it cannot be
// had whole.
int FormatInWindowsDirectory(char* buffer, const char* format, const char* name) {
  ZeroMemory(buffer, MAX_PATH);
  char windows[MAX_PATH];
  if (!ReadWindowsFolder(windows)) return 0;
  char tail[MAX_PATH];
  return TextFormat(tail, MAX_PATH, format, name) && TextCopy(buffer, MAX_PATH, windows) &&
         TextAppend(buffer, MAX_PATH, tail);
}

}  // namespace

int RegisterUninstallEntry(const char* uninstallerName, const char* productName,
                           const char* productVersion, uint32_t flags) {
  // An entry that is gone already counts as removed: an uninstall that
  // stopped after this step can be run again.
  if (!(flags & OptInstall)) return DeleteRegistryKey(HKEY_LOCAL_MACHINE, kUninstallEntryPath);

  HKEY key;
  if (!CreateRegistryKey(HKEY_LOCAL_MACHINE, kUninstallEntryPath, &key)) return 0;
  int ok = 1;
  // With /W the name the user may have changed stays.
  if (!(flags & OptKeepSettings)) ok = SetStringValue(key, "DisplayName", productName);

  char command[MAX_PATH];
  ZeroMemory(command, sizeof(command));
  if (ok) ok = TextFormat(command, MAX_PATH, "%s /U", uninstallerName) &&
               SetStringValue(key, "UninstallString", command);

  char icon[MAX_PATH];
  if (ok) ok = FormatInWindowsDirectory(icon, "\\%s,0", uninstallerName) &&
               SetStringValue(key, "DisplayIcon", icon);

  if (ok) ok = SetStringValue(key, "DisplayVersion", productVersion);
  // A "SystemComponent" value would hide the entry from the list.
  DeleteRegistryValue(key, "SystemComponent");
  RegCloseKey(key);
  return ok;
}

int RegisterInterfacePath(const char* uninstallerName, uint32_t flags) {
  HKEY key;
  if (!(flags & OptInstall)) {
    // Systems before Windows 2000 never get the key: nothing to remove there.
    LONG opened = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kInterfaceKeyPath, 0, KEY_ALL_ACCESS, &key);
    if (opened == ERROR_FILE_NOT_FOUND) return 1;
    if (opened != ERROR_SUCCESS) return 0;
    // Each is tried; a value left behind fails the removal, so that running
    // the uninstall again takes it away (one gone already counts as removed).
    int ok = DeleteRegistryValue(key, "InterfacePath");
    ok &= DeleteRegistryValue(key, "VeruZadovo");
    ok &= DeleteRegistryValue(key, "Farrowmind");
    RegCloseKey(key);
    return ok;
  }

  char uninstallerPath[MAX_PATH];
  if (!FormatInWindowsDirectory(uninstallerPath, "\\%s", uninstallerName)) return 0;
  if (!CreateRegistryKey(HKEY_LOCAL_MACHINE, kInterfaceKeyPath, &key)) return 0;
  int ok = SetStringValue(key, "InterfacePath", uninstallerPath) &&
           SetDwordValue(key, "VeruZadovo", 2) && SetDwordValue(key, "Farrowmind", 0);
  RegCloseKey(key);
  return ok;
}

int IsUninstallRegistered() {
  HKEY key;
  int found = 0;
  if (OpenRegistryKey(HKEY_LOCAL_MACHINE, kUninstallEntryPath, KEY_READ, &key)) {
    found = 1;
    RegCloseKey(key);
  }
  if (!found && OpenRegistryKey(HKEY_LOCAL_MACHINE, kInterfaceKeyPath, KEY_READ, &key)) {
    found = HasRegistryValue(key, "InterfacePath") || HasRegistryValue(key, "VeruZadovo") ||
            HasRegistryValue(key, "Farrowmind");
    RegCloseKey(key);
  }
  return found;
}
