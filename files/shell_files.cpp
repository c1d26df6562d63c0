#include "files/shell_files.h"

#include <shellapi.h>

#include "common/system_change.h"

namespace {

// FOF_MULTIDESTFILES | FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOCONFIRMMKDIR
const FILEOP_FLAGS kTransferFlags = 0x215;
// FOF_SILENT | FOF_NOCONFIRMATION
const FILEOP_FLAGS kDeleteFlags = 0x14;

int RunShellOperation(HWND window, UINT function, const MultiString* from, const MultiString* to,
                      FILEOP_FLAGS flags) {
  const char* word = function == FO_COPY ? "copy" : function == FO_MOVE ? "move" : "delete";
  if (!AllowSystemChangeOf(word, MultiStringText(from))) return 0;
  SHFILEOPSTRUCTA operation;
  ZeroMemory(&operation, sizeof(operation));
  operation.hwnd = window;
  operation.wFunc = function;
  operation.pFrom = MultiStringText(from);
  operation.pTo = to != nullptr ? MultiStringText(to) : nullptr;
  operation.fFlags = flags;
  return SHFileOperationA(&operation) == 0 && !operation.fAnyOperationsAborted;
}

int AllFilesExist(const MultiString* paths) {
  for (int i = 0; i < paths->count; ++i) {
    DWORD attributes = GetFileAttributesA(MultiStringEntry(paths, i));
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return 0;
  }
  return 1;
}

int NoneExists(const MultiString* paths) {
  for (int i = 0; i < paths->count; ++i) {
    if (GetFileAttributesA(MultiStringEntry(paths, i)) != INVALID_FILE_ATTRIBUTES) return 0;
  }
  return 1;
}

}  // namespace

int CopyFileList(HWND window, const MultiString* from, const MultiString* to) {
  return from->count == to->count && RunShellOperation(window, FO_COPY, from, to, kTransferFlags) &&
         AllFilesExist(to);
}

int MoveFileList(HWND window, const MultiString* from, const MultiString* to) {
  return from->count == to->count && RunShellOperation(window, FO_MOVE, from, to, kTransferFlags) &&
         AllFilesExist(to);
}

int DeleteFileList(HWND window, const MultiString* paths) {
  return RunShellOperation(window, FO_DELETE, paths, nullptr, kDeleteFlags) && NoneExists(paths);
}
