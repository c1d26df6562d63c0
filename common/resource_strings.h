// Strings of the program's own string table, in the language the system picks.
#pragma once
#include <windows.h>

// Loads string id of module instance into buffer (size bytes); answers its
// length, 0 (and an empty buffer) when there is no such string.
int LoadResourceString(HINSTANCE instance, UINT id, char* buffer, int size);
