// The product's registry key under HKEY_LOCAL_MACHINE.
#pragma once
#include <windows.h>
#include <stdint.h>

// Writers: create or update with OptInstall set in flags, delete with it
// clear. Each answers 1 when every call it made succeeded.
int RegisterProgramFolder(const char* folder, uint32_t flags);
int RegisterNameAndVersion(const char* name, const char* version, uint32_t flags);
int RegisterGroupFolder(const char* folder, uint32_t flags);
int RegisterDownloadSettings(int internetFunction, const char* downloadFolder, uint32_t flags);
int RegisterSearchFolder(const char* folder, uint32_t flags);
int FixUpPackageEntries();

// Readers: answer 1 when the value was read whole as a string of either
// string type (or as a number of 4 bytes of any type); on 0 a string buffer
// is left empty. Buffers without a size hold 260 bytes.
int ReadProgramFolder(char* buffer);
int ReadProgramPath(char* buffer, DWORD size);
int ReadNameAndVersion(char* name, char* version);
int ReadGroupFolder(char* buffer);
int ReadInternetFunction(int* value);
int ReadDownloadFolder(char* buffer, DWORD size);
int ReadWindowsSetting(const char* name, char* buffer, DWORD size);

int DeleteKeyTree(HKEY parent, const char* subkey);
