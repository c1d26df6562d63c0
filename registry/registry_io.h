// Key paths and the calls shared by the registry operations. Every key and
// value write and deletion of this subsystem goes through these helpers, and
// through them the test seam of common/system_change.h (asked with the value
// name, or "create key", "delete key", "set key" and the key path).
#pragma once
#include <windows.h>

#include "common/product_names.h"


// Creates or opens path under root with KEY_ALL_ACCESS.
int CreateRegistryKey(HKEY root, const char* path, HKEY* key);
// The same in a registry view: 0 for the program's own, or KEY_WOW64_64KEY.
int CreateRegistryKeyIn(HKEY root, const char* path, REGSAM view, HKEY* key);
// Deletes the key path (which holds no subkeys) of parent. A key that is
// gone already counts as deleted.
int DeleteRegistryKey(HKEY parent, const char* path);
// The same in a registry view (parent opened in that view).
int DeleteRegistryKeyIn(HKEY parent, const char* path, REGSAM view);
// The registry views a key shared with 64-bit programs is written to: the
// program's own, and under WoW64 the 64-bit one too. Answers their number.
int ReadSharedViews(REGSAM views[2]);
// Sets the default value of the key path under root to text, creating every
// missing level of the path on the way.
int SetKeyPathDefault(HKEY root, const char* path, const char* text);
// Opens path under root with the given access.
int OpenRegistryKey(HKEY root, const char* path, REGSAM access, HKEY* key);

// REG_SZ with its terminating zero. A missing text is a failed write.
int SetStringValue(HKEY key, const char* name, const char* text);
int SetDwordValue(HKEY key, const char* name, DWORD value);
int SetBinaryValue(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size);
// A value that is gone already counts as deleted.
int DeleteRegistryValue(HKEY key, const char* name);
// Whether the value exists (asked for its size only).
int HasRegistryValue(HKEY key, const char* name);

// Reads a REG_SZ or REG_EXPAND_SZ value, unexpanded, into buffer (size
// bytes) and makes sure the text is terminated inside it; fails for other
// types. The buffer is empty on failure.
int ReadStringValue(HKEY key, const char* name, char* buffer, DWORD size);
// Opens path under HKEY_LOCAL_MACHINE, reads one string value, closes.
int ReadMachineString(const char* path, REGSAM access, const char* name, char* buffer, DWORD size);
