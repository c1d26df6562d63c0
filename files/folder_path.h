// Creating a folder together with every missing folder above it.
#pragma once

// Answers 1 when the folder exists afterwards (made now or before), else 0.
int CreateFolderPath(const char* path);
