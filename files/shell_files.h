// Copies and moves of path lists through the shell, deletions file by file.
// Each answers 1 only when the file system shows the result: the shell can
// report success without having done what was asked.
#pragma once
#include <windows.h>

#include "files/multi_string.h"

// Each path of from onto the path at the same place in to.
int CopyFileList(HWND window, const MultiString* from, const MultiString* to);
int MoveFileList(HWND window, const MultiString* from, const MultiString* to);
// Deletes every path that is a file now, past the Recycle Bin, read-only ones
// too. Never recurses: a path that has become a folder, or a junction to one,
// since it was looked at stays, and the answer is 0.
int DeleteFileList(const MultiString* paths);
