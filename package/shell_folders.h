// The platform family and the shell's special folders.
#pragma once

// 1 on an NT-family system (VER_PLATFORM_WIN32_NT), 0 on Windows 9x.
int IsNtFamily();
// Puts the path of shell folder id into folder (260 bytes, zero-filled
// first); answers 1 when the shell gave a path, existing or not.
int GetShellFolder(int id, char* folder);
