// Access rights of what the program puts in place on the NT family: the
// Administrators group owns it and has full access, Everyone may read and run
// it, and nothing is handed down from the folders above.
#pragma once
#include <windows.h>
#include <aclapi.h>

// Answers 1 when the owner, primary group and access list were set, else 0.
// From Windows 2000 on the list is protected: the parent's inheritable
// entries do not come back in.
int SetInstalledFileAccess(const char* path);

// The folders the program makes, by the access list they get on NT.
enum FolderAccess {
  // SYSTEM and Administrators full access, nobody else anything: what is
  // staged in it cannot be planted, read or held open by a user.
  kStagingFolderAccess,
  // Administrators full access, Everyone read and run.
  kProgramFolderAccess,
};

// Creates the folder path with the access list of its kind, handed down to
// what is created in it, protected from the parent's and owned by the
// Administrators group; on Windows 9x a plain folder. Answers 1 when the
// folder was created now; 0 also when it exists already (the last error is
// then ERROR_ALREADY_EXISTS), whose rights stay as they were.
int CreateFolderWithAccess(const char* path, int access);

typedef DWORD(WINAPI* NamedSecuritySetter)(LPSTR name, SE_OBJECT_TYPE type, SECURITY_INFORMATION info,
                                           PSID owner, PSID group, PACL dacl, PACL sacl);
// SetNamedSecurityInfoA; tests look at what would be set through it.
extern NamedSecuritySetter g_setNamedSecurityInfo;

typedef BOOL(WINAPI* FolderCreator)(LPCSTR path, LPSECURITY_ATTRIBUTES attributes);
// CreateDirectoryA with the access list; Wine keeps no access list of its
// own, so tests read the one a folder is made with through this.
extern FolderCreator g_createFolder;
