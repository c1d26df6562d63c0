// Decryption of files that the file system encrypted (Windows 2000 or later).
#pragma once
#include <windows.h>

typedef BOOL(WINAPI* EncryptionStatusQuery)(LPCSTR path, LPDWORD status);
typedef BOOL(WINAPI* FileDecrypter)(LPCSTR path, DWORD reserved);

// Decrypts path when the file system reports it encrypted. The two functions
// are bound at run time from Advapi32.dll, which older systems lack.
void DecryptIfEncrypted(const char* path);
// The same with the two functions given; either may be missing (null).
void DecryptWith(const char* path, EncryptionStatusQuery queryStatus, FileDecrypter decrypt);
