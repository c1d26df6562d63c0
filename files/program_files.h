// The program file set: copy on install, removal on uninstall.
#pragma once
#include <windows.h>
#include <stdint.h>

int ProcessProgramFiles(HWND window, const char* folder, int instanceRunning, uint32_t flags);
