// The rule that turns the INIT/GROUP setting into a Start-menu folder, apart
// from the shell so that it builds and is tested without Windows.
#pragma once
#include <stddef.h>

// Shell folder ids (CSIDL values) the rule chooses from.
enum {
  GroupFolderPrograms = 0x02,        // CSIDL_PROGRAMS
  GroupFolderStartMenu = 0x0B,       // CSIDL_STARTMENU
  GroupFolderCommonStartMenu = 0x16, // CSIDL_COMMON_STARTMENU
  GroupFolderCommonPrograms = 0x17,  // CSIDL_COMMON_PROGRAMS
};

// The shell folder below which the group lies: the Start menu for a value
// beginning with a backslash, else Programs; the common folders on NT, the
// user's on Windows 9x.
int ProgramGroupFolderId(const char* group, int isNt);

// Builds the group folder from the base folder the shell gave and the GROUP
// value into groupFolder (capacity size). Answers 1, or 0 with groupFolder
// untouched when the base is empty or the result does not fit.
int BuildProgramGroupFolder(const char* base, const char* group, char* groupFolder, size_t size);
