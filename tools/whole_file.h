// Reading a whole file for the tools.
#pragma once
#include <vector>

// The file's bytes followed by a NUL, as the package loader hands them over.
// Answers 1, or 0 when the file cannot be opened or read.
int ReadWholeFile(const char* name, std::vector<char>* bytes);
