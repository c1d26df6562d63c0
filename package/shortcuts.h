// Desktop, Start-menu and program-group shortcuts.
#pragma once
#include <windows.h>
#include <stdint.h>

int DesktopShortcutExists(const char* name);
int StartMenuShortcutExists(const char* name);
int SetDesktopShortcut(const char* programPath, const char* name, uint32_t mode);
int SetStartMenuShortcut(const char* programPath, const char* name, uint32_t mode);
int SetGroupShortcut(const char* programPath, const char* shortcutPath, const char* groupFolder,
                     uint32_t mode);
void RemoveOldGroupShortcuts(const char* programPath, const char* groupFolder);

typedef HANDLE(WINAPI* FileFinderW)(LPCWSTR pattern, WIN32_FIND_DATAW* found);
// FindFirstFileW, in front of the older groups' listing on the NT family;
// tests make it fail as the stub of Windows 9x does.
extern FileFinderW g_findFirstFileW;

typedef void(WINAPI* ShellNotifier)(LONG event, UINT flags, LPCVOID first, LPCVOID second);
// SHChangeNotify, in front of the program group's change notification.
extern ShellNotifier g_notifyShell;
