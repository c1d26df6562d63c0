#include "files/folder_path.h"

#include <windows.h>
#include <string.h>

#include "common/folders.h"
#include "common/system_change.h"
#include "common/text.h"

namespace {

// A drive's root may refuse CreateDirectoryA with another error than
// ERROR_ALREADY_EXISTS (a root answers access denied); an existing folder is
// usable all the same.
int CreateOrFind(const char* path) {
  return (AllowSystemChangeOf("create folder", path) &&
          (CreateDirectoryA(path, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS)) ||
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
  char* slash = strrchr(parent + skip, '\\');
  if (slash == nullptr) return 0;
  *slash = '\0';
  if (!CreateFolderPath(parent)) return 0;
  // A path with a trailing backslash names the folder its parent step just made.
  return CreateOrFind(path);
}
