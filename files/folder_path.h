// Creating a folder together with every missing folder above it, each one
// made with the program folder's access list (on NT).
#pragma once

// Answers 1 when the folder exists afterwards (made now or before), else 0.
int CreateFolderPath(const char* path);
