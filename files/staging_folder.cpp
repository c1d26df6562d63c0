#include "files/staging_folder.h"

#include <windows.h>

#include "common/folders.h"
#include "common/system_change.h"
#include "common/text.h"
#include "files/file_access.h"

int MakeStagingFolder(const char* parent, char* staging) {
  // The temporary folder is made if missing; an existing one is used as it
  // is, however its creation was refused.
  int usable = (AllowSystemChangeOf("create folder", parent) &&
                (CreateDirectoryA(parent, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS)) ||
               IsFolder(parent);
  char name[MAX_PATH];
  ZeroMemory(name, sizeof(name));
  // The temporary name comes as an empty file.
  if (!AllowSystemChangeOf("create file", parent) || GetTempFileNameA(parent, "VOD", 0, name) == 0) {
    return 0;
  }
  // Made with an access list of its own, so that no user can put a file in
  // it; a name taken again since its file was deleted fails here.
  int made = usable && AllowSystemChangeOf("delete file", name) && DeleteFileA(name) &&
             CreateFolderWithAccess(name, kStagingFolderAccess);
  if (!made || !TextAppend(name, MAX_PATH, "\\")) return 0;
  return TextCopy(staging, MAX_PATH, name);
}
