#include "files/folder_path.h"

#include <windows.h>

#include "common/folders.h"
#include "common/path_text.h"
#include "common/text.h"
#include "files/file_access.h"

namespace {

// A folder made here belongs to the program; one that exists keeps its
// rights. A drive's root may refuse the creation with another error than
// ERROR_ALREADY_EXISTS (access denied): an existing folder is usable all the same.
int CreateOrFind(const char* path) {
  return CreateFolderWithAccess(path, kProgramFolderAccess) || GetLastError() == ERROR_ALREADY_EXISTS ||
         IsFolder(path);
}

}  // namespace

int CreateFolderPath(const char* path) {
  if (CreateOrFind(path)) return 1;
  char parent[MAX_PATH];
  if (!TextCopy(parent, MAX_PATH, path)) return 0;
  // A network path begins with two backslashes that separate nothing.
  size_t skip = parent[0] == '\\' ? 2 : 0;
  if (skip > TextLength(parent, MAX_PATH)) return 0;
  char* slash = FindLastBackslash(parent + skip);
  if (slash == nullptr) return 0;
  *slash = '\0';
  if (!CreateFolderPath(parent)) return 0;
  // A path with a trailing backslash names the folder its parent step just made.
  return CreateOrFind(path);
}
