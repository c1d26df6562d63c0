// Key paths and the value calls shared by the registry operations. Every
// value write and deletion of this subsystem goes through these helpers.
#pragma once
#include <windows.h>

extern const char kProductKeyPath[];     // the product key under HKEY_LOCAL_MACHINE
extern const char kSearchPathKeyPath[];  // its "SearchPath" subkey
extern const char kInstallKeyPath[];     // its "Install" subkey

// Creates or opens path under root with KEY_ALL_ACCESS.
int CreateRegistryKey(HKEY root, const char* path, HKEY* key);
// Opens path under root with the given access.
int OpenRegistryKey(HKEY root, const char* path, REGSAM access, HKEY* key);

// REG_SZ with its terminating zero. A missing text is a failed write.
int SetStringValue(HKEY key, const char* name, const char* text);
int SetDwordValue(HKEY key, const char* name, DWORD value);
int SetBinaryValue(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size);
int DeleteRegistryValue(HKEY key, const char* name);
// Whether the value exists (asked for its size only).
int HasRegistryValue(HKEY key, const char* name);

// Reads a REG_SZ value into buffer (size bytes) and makes sure the text is
// terminated inside it; fails for other types. The buffer is empty on failure.
int ReadStringValue(HKEY key, const char* name, char* buffer, DWORD size);
// Opens path under HKEY_LOCAL_MACHINE, reads one string value, closes.
int ReadMachineString(const char* path, REGSAM access, const char* name, char* buffer, DWORD size);

// Test seam in front of the value calls: when set, it is asked with the value
// name before every write or deletion above, and an answer of 0 makes that
// call fail as a refused registry call would. nullptr restores the real calls.
typedef int (*RegistryWriteFilter)(const char* name);
void SetRegistryWriteFilter(RegistryWriteFilter filter);
