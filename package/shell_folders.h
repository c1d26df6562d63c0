// The shell's special folders.
#pragma once

// Puts the path of shell folder id into folder (260 bytes, zero-filled
// first); answers 1 when the shell gave a path, existing or not. The query
// is shell32's own where it has one (version 5.0 on), else that of
// "shfolder.dll" in the system folder; without either it answers 0.
int GetShellFolder(int id, char* folder);
