// Folders every part of the program asks for.
#pragma once

// The folder of the running program (where the setup package lies) into
// folder (260 bytes), without a trailing backslash. Answers 1, or 0 with
// folder empty.
int ReadOwnFolder(char* folder);
// The Windows folder into folder (260 bytes). Answers 1, or 0 with folder empty.
int ReadWindowsFolder(char* folder);
// Whether path names an existing folder.
int IsFolder(const char* path);
// Whether path names an existing file (not a folder).
int IsFile(const char* path);
// The file name in folder, and only there, into path (260 bytes): answers 1
// when folder\name is an existing file. Unlike a search, a folder holding
// ";" is one folder.
int FindFileIn(const char* folder, const char* name, char* path);
