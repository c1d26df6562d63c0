#include "package/shortcuts.h"

// Placeholder until the shortcuts land: nothing exists, every change succeeds.
int DesktopShortcutExists(const char*) { return 0; }
int StartMenuShortcutExists(const char*) { return 0; }
int SetDesktopShortcut(const char*, const char*, uint32_t) { return 1; }
int SetStartMenuShortcut(const char*, const char*, uint32_t) { return 1; }
int SetGroupShortcut(const char*, const char*, const char*, uint32_t) { return 1; }
void RemoveOldGroupShortcuts(const char*, const char*) {}
