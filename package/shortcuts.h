// Desktop, Start-menu and program-group shortcuts.
#pragma once
#include <stdint.h>

int DesktopShortcutExists(const char* name);
int StartMenuShortcutExists(const char* name);
int SetDesktopShortcut(const char* programPath, const char* name, uint32_t mode);
int SetStartMenuShortcut(const char* programPath, const char* name, uint32_t mode);
int SetGroupShortcut(const char* programPath, const char* shortcutPath, const char* groupFolder,
                     uint32_t mode);
void RemoveOldGroupShortcuts(const char* programPath, const char* groupFolder);
