// Access rights of installed files on the NT family: the Administrators group
// owns them and has full access, Everyone may read and run them.
#pragma once
#include <windows.h>
#include <aclapi.h>

// Answers 1 when the owner, primary group and access list were set, else 0.
int SetInstalledFileAccess(const char* path);

typedef DWORD(WINAPI* NamedSecuritySetter)(LPSTR name, SE_OBJECT_TYPE type, SECURITY_INFORMATION info,
                                           PSID owner, PSID group, PACL dacl, PACL sacl);
// SetNamedSecurityInfoA; tests look at what would be set through it.
extern NamedSecuritySetter g_setNamedSecurityInfo;
