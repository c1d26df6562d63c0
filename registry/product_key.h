// The product's registry key under HKEY_LOCAL_MACHINE.
#pragma once
#include <windows.h>
#include <stdint.h>

int RegisterProgramFolder(const char* folder, uint32_t flags);
int RegisterNameAndVersion(const char* name, const char* version, uint32_t flags);
int RegisterGroupFolder(const char* folder, uint32_t flags);
int RegisterDownloadSettings(int internetFunction, const char* downloadFolder, uint32_t flags);
int RegisterSearchFolder(const char* folder, uint32_t flags);
int FixUpPackageEntries();

int ReadProgramFolder(char* buffer);
int ReadProgramPath(char* buffer, DWORD size);
int ReadNameAndVersion(char* name, char* version);
int ReadGroupFolder(char* buffer);
int ReadInternetFunction(int* value);
int ReadDownloadFolder(char* buffer, DWORD size);
int ReadWindowsSetting(const char* name, char* buffer, DWORD size);

int DeleteKeyTree(HKEY parent, const char* subkey);
