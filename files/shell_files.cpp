#include "files/shell_files.h"

#include <shellapi.h>

#include "common/system_change.h"

namespace {

// FOF_MULTIDESTFILES | FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR
const FILEOP_FLAGS kTransferFlags = 0x215;

int RunShellOperation(HWND window, UINT function, const MultiString* from, const MultiString* to) {
  const char* word = function == FO_COPY ? "copy" : "move";
  if (!AllowSystemChangeOf(word, MultiStringText(from))) return 0;
  SHFILEOPSTRUCTA operation;
  ZeroMemory(&operation, sizeof(operation));
  operation.hwnd = window;
  operation.wFunc = function;
  operation.pFrom = MultiStringText(from);
  operation.pTo = MultiStringText(to);
  operation.fFlags = kTransferFlags;
  return SHFileOperationA(&operation) == 0 && !operation.fAnyOperationsAborted;
}

int AllFilesExist(const MultiString* paths) {
  for (int i = 0; i < paths->count; ++i) {
    DWORD attributes = GetFileAttributesA(MultiStringEntry(paths, i));
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return 0;
  }
  return 1;
}

// DeleteFileA deletes a file or a link, never a folder's contents.
int DeleteOneFile(const char* path) {
  if (!AllowSystemChangeOf("delete", path)) return 0;
  if (DeleteFileA(path) || GetLastError() == ERROR_FILE_NOT_FOUND) return 1;
  // Files copied from read-only media are read-only; the shell deleted them all the same.
  DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
         !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
         SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY) && DeleteFileA(path);
}

}  // namespace

int CopyFileList(HWND window, const MultiString* from, const MultiString* to) {
  return from->count == to->count && RunShellOperation(window, FO_COPY, from, to) &&
         AllFilesExist(to);
}

int MoveFileList(HWND window, const MultiString* from, const MultiString* to) {
  return from->count == to->count && RunShellOperation(window, FO_MOVE, from, to) &&
         AllFilesExist(to);
}

int DeleteFileList(const MultiString* paths) {
  int ok = 1;
  for (int i = 0; i < paths->count; ++i) ok = DeleteOneFile(MultiStringEntry(paths, i)) && ok;
  return ok;
}
