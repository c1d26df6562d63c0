#include "files/folder_path.h"

#include <windows.h>

#include "common/path_text.h"
#include "common/system_change.h"
#include "common/text.h"

namespace {

int CreateOrFind(const char* path) {
  if (!AllowSystemChangeOf("create folder", path)) return 0;
  return CreateDirectoryA(path, nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
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
