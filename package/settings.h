// Settings of the setup package.
#pragma once

// Reads section/key of an INI file (with "%name%" references resolved) into
// buffer; answers the number of characters placed there, 0 when not found.
int GetSetting(const char* section, const char* key, const char* defaultText, char* buffer,
               int size, const char* file);
