#include "common/folders.h"

#include <windows.h>

#include "common/path_text.h"
#include "common/text.h"

int ReadOwnFolder(char* folder) {
  ZeroMemory(folder, MAX_PATH);
  DWORD length = GetModuleFileNameA(nullptr, folder, MAX_PATH);
  char* lastSlash = length != 0 && length < MAX_PATH ? FindLastBackslash(folder) : nullptr;
  if (lastSlash == nullptr) {
    folder[0] = '\0';
    return 0;
  }
  *lastSlash = '\0';
  return 1;
}

int ReadWindowsFolder(char* folder) {
  UINT length = GetWindowsDirectoryA(folder, MAX_PATH);
  if (length != 0 && length < MAX_PATH) return 1;
  folder[0] = '\0';
  return 0;
}

int IsFolder(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

int IsFile(const char* path) {
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

int FindFileIn(const char* folder, const char* name, char* path) {
  size_t length = TextLength(folder, MAX_PATH);
  const char* separator = EndsWithBackslash(folder) ? "" : "\\";
  if (length == 0 || !TextFormat(path, MAX_PATH, "%s%s%s", folder, separator, name) || !IsFile(path)) {
    path[0] = '\0';
    return 0;
  }
  return 1;
}
