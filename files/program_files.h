// The program file set: copied into place through a staging folder on
// install, removed on uninstall; replaced at the next restart when the
// product runs.
#pragma once
#include <windows.h>
#include <stdint.h>

enum { kProgramFileCount = 12 };

int ProcessProgramFiles(HWND window, const char* folder, int instanceRunning, uint32_t flags);

// The install half with the package folder given; the step passes the folder
// of the running program.
int InstallProgramFiles(HWND window, const char* packageFolder, const char* folder,
                        int instanceRunning);
// The uninstall half; folder is the installed program folder.
int RemoveProgramFiles(HWND window, const char* folder, int instanceRunning);
