// Settings of the Wine prefix that keep the shortcut tests apart from
// everything else on the machine.
#pragma once
#include <windows.h>

namespace test_prefix {

inline void SetUserValue(const char* path, const char* name, const char* value) {
  HKEY key;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      nullptr) == ERROR_SUCCESS) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   static_cast<DWORD>(lstrlenA(value) + 1));
    RegCloseKey(key);
  }
}

// Wine maps the user's desktop to the home folder, which every prefix of the
// machine shares; its menu builder turns desktop shortcuts into launchers of
// its own and deletes them. Both settings are read by each new Wine process,
// so call this before the first folder lookup of the test process.
inline void IsolateShortcutFolders() {
  CreateDirectoryA("C:\\TestDesktop", nullptr);
  SetUserValue("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
               "Desktop", "C:\\TestDesktop");
  SetUserValue("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Desktop",
               "C:\\TestDesktop");
  SetUserValue("Software\\Wine\\DllOverrides", "winemenubuilder.exe", "");
}

}  // namespace test_prefix
