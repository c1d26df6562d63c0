#include "package/shell_folders.h"

#include <windows.h>

#include "common/system_library.h"

namespace {

typedef HRESULT(WINAPI* FolderPathQuery)(HWND window, int id, HANDLE token, DWORD flags,
                                         LPSTR path);

const char kFolderPathQuery[] = "SHGetFolderPathA";

}  // namespace

int GetShellFolder(int id, char* folder) {
  ZeroMemory(folder, MAX_PATH);
  HMODULE shfolder = nullptr;
  FolderPathQuery query =
      reinterpret_cast<FolderPathQuery>(FindLoadedProcedure("shell32.dll", kFolderPathQuery));
  if (query == nullptr) {
    shfolder = LoadSystemLibrary("shfolder.dll");
    query = reinterpret_cast<FolderPathQuery>(FindProcedure(shfolder, kFolderPathQuery));
  }
  // The result tells whether the folder exists yet; only the path matters.
  // An empty path would put files at the root of the current drive.
  if (query != nullptr) query(nullptr, id, nullptr, 0, folder);
  if (shfolder != nullptr) FreeLibrary(shfolder);
  return folder[0] != '\0';
}
