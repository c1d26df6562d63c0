#include "package/shell_folders.h"

#include <windows.h>
#include <shlobj.h>

int IsNtFamily() {
  OSVERSIONINFOA version;
  ZeroMemory(&version, sizeof(version));
  version.dwOSVersionInfoSize = sizeof(version);
  GetVersionExA(&version);
  return version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

int GetShellFolder(int id, char* folder) {
  ZeroMemory(folder, MAX_PATH);
  // The result tells whether the folder exists yet; only the path matters.
  // An empty path would put files at the root of the current drive.
  SHGetFolderPathA(nullptr, id, nullptr, 0, folder);
  return folder[0] != '\0';
}
