// The program file set: copied into place through a staging folder on
// install, removed on uninstall; replaced at the next restart when the
// product runs.
#pragma once
#include <windows.h>
#include <stdint.h>

#include "files/program_file_set.h"


int ProcessProgramFiles(HWND window, const char* folder, int instanceRunning, uint32_t flags);

// The package folder the set comes from: the running program's own folder
// (ReadOwnFolder); tests put a package of their own in front of it.
extern int (*g_readPackageFolder)(char* folder);

// The install half with the package folder given; the step passes the folder
// of the running program.
int InstallProgramFiles(HWND window, const char* packageFolder, const char* folder,
                        int instanceRunning);
// The uninstall half; folder is the installed program folder, or empty when
// only the uninstaller is left to remove.
int RemoveProgramFiles(const char* folder, int instanceRunning);
