// Dialog 101 and the folder browser it opens.
#pragma once
#include <windows.h>

struct InstallTarget;

// Shows dialog 101 for target; answers what it ended with (IDOK, IDCANCEL,
// 8), or -1 when it could not be shown.
INT_PTR RunInstallDialog(InstallTarget* target);
INT_PTR CALLBACK InstallDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Lets the user pick a folder in the shell's folder browser, starting at
// targetFolder (260 bytes); answers 1 when a folder was confirmed, which the
// browser has then written into targetFolder.
int BrowseForTarget(char* targetFolder, HWND owner);

typedef DWORD(WINAPI* FolderAttributes)(LPCSTR path);
// GetFileAttributesA in front of the browser's verdict on a chosen folder;
// tests give it read-only and offline folders, which Wine does not report.
extern FolderAttributes g_browseFolderAttributes;
