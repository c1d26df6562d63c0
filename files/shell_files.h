// Copies, moves and deletions of path lists through the shell. Each answers 1
// only when the shell reports success and the file system shows the result:
// the shell can report success without having done what was asked.
#pragma once
#include <windows.h>

#include "files/multi_string.h"

// Each path of from onto the path at the same place in to.
int CopyFileList(HWND window, const MultiString* from, const MultiString* to);
int MoveFileList(HWND window, const MultiString* from, const MultiString* to);
// Deletes every path now, past the Recycle Bin.
int DeleteFileList(HWND window, const MultiString* paths);
