#include "registry/product_key.h"

// Placeholder until the product key lands: writes succeed, reads find nothing.
int RegisterProgramFolder(const char*, uint32_t) { return 1; }
int RegisterNameAndVersion(const char*, const char*, uint32_t) { return 1; }
int RegisterGroupFolder(const char*, uint32_t) { return 1; }
int RegisterDownloadSettings(int, const char*, uint32_t) { return 1; }
int RegisterSearchFolder(const char*, uint32_t) { return 1; }
int FixUpPackageEntries() { return 1; }
int ReadProgramFolder(char*) { return 0; }
int ReadProgramPath(char*, DWORD) { return 0; }
int ReadNameAndVersion(char*, char*) { return 0; }
int ReadGroupFolder(char*) { return 0; }
int ReadInternetFunction(int*) { return 0; }
int ReadDownloadFolder(char*, DWORD) { return 0; }
int ReadWindowsSetting(const char*, char*, DWORD) { return 0; }
int DeleteKeyTree(HKEY, const char*) { return 1; }
