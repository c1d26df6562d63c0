#include "files/file_access.h"

#include "common/os_version.h"
#include "common/system_change.h"
#include "common/system_library.h"

NamedSecuritySetter g_setNamedSecurityInfo = SetNamedSecurityInfoA;
FolderCreator g_createFolder = CreateDirectoryA;

namespace {

typedef BOOL(WINAPI* DescriptorControlSetter)(PSECURITY_DESCRIPTOR descriptor,
                                              SECURITY_DESCRIPTOR_CONTROL mask,
                                              SECURITY_DESCRIPTOR_CONTROL bits);

// The well-known groups the access lists name; null until made.
struct Groups {
  PSID everyone;
  PSID administrators;
  PSID system;
};

int MakeGroups(Groups* groups) {
  SID_IDENTIFIER_AUTHORITY worldAuthority = {SECURITY_WORLD_SID_AUTHORITY};
  SID_IDENTIFIER_AUTHORITY ntAuthority = {SECURITY_NT_AUTHORITY};
  return AllocateAndInitializeSid(&worldAuthority, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0,
                                  &groups->everyone) &&
         AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                  DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &groups->administrators) &&
         AllocateAndInitializeSid(&ntAuthority, 1, SECURITY_LOCAL_SYSTEM_RID, 0, 0, 0, 0, 0, 0, 0,
                                  &groups->system);
}

void FreeGroups(Groups* groups) {
  if (groups->system != nullptr) FreeSid(groups->system);
  if (groups->administrators != nullptr) FreeSid(groups->administrators);
  if (groups->everyone != nullptr) FreeSid(groups->everyone);
}

void SetEntry(EXPLICIT_ACCESS_A* entry, PSID group, TRUSTEE_TYPE type, DWORD rights,
              DWORD inheritance) {
  ZeroMemory(entry, sizeof(*entry));
  entry->grfAccessPermissions = rights;
  entry->grfAccessMode = SET_ACCESS;
  entry->grfInheritance = inheritance;
  entry->Trustee.MultipleTrusteeOperation = NO_MULTIPLE_TRUSTEE;
  entry->Trustee.TrusteeForm = TRUSTEE_IS_SID;
  entry->Trustee.TrusteeType = type;
  entry->Trustee.ptstrName = static_cast<LPSTR>(group);
}

// An access list of two entries: first with its rights, then Administrators
// with full access. Answers the list (LocalFree) or null.
PACL MakeAccessList(PSID first, DWORD firstRights, PSID administrators, DWORD inheritance) {
  EXPLICIT_ACCESS_A entries[2];
  SetEntry(&entries[0], first, TRUSTEE_IS_WELL_KNOWN_GROUP, firstRights, inheritance);
  SetEntry(&entries[1], administrators, TRUSTEE_IS_GROUP, GENERIC_ALL, inheritance);
  PACL list = nullptr;
  return SetEntriesInAclA(2, entries, nullptr, &list) == ERROR_SUCCESS ? list : nullptr;
}

// From Windows 2000 on, a new object's list takes in the parent's inheritable
// entries unless it is protected. NT 4.0 takes a list given at creation as it
// is, and has no such control to set.
int ProtectAccessList(SECURITY_DESCRIPTOR* descriptor) {
  DescriptorControlSetter setControl = reinterpret_cast<DescriptorControlSetter>(
      FindLoadedProcedure("advapi32.dll", "SetSecurityDescriptorControl"));
  return setControl == nullptr || setControl(descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
}

}  // namespace

int SetInstalledFileAccess(const char* path) {
  OSVERSIONINFOA version;
  Groups groups = {nullptr, nullptr, nullptr};
  PACL list = nullptr;
  int result = 0;
  if (ReadOsVersion(&version) && MakeGroups(&groups) &&
      (list = MakeAccessList(groups.everyone, GENERIC_READ | GENERIC_EXECUTE, groups.administrators,
                             NO_INHERITANCE)) != nullptr) {
    SECURITY_INFORMATION info =
        OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
    // NT 4.0 knows no such flag, and hands nothing down to a list set this way.
    if (IsWindows2000OrLater(&version)) info |= PROTECTED_DACL_SECURITY_INFORMATION;
    DWORD status = g_setNamedSecurityInfo(const_cast<LPSTR>(path), SE_FILE_OBJECT, info,
                                          groups.administrators, groups.administrators, list, nullptr);
    result = status == ERROR_SUCCESS;
  }
  FreeGroups(&groups);
  if (list != nullptr) LocalFree(list);
  return result;
}

int CreateFolderWithAccess(const char* path, int access) {
  if (!AllowSystemChangeOf("create folder", path)) return 0;
  if (!RunsOnNtFamily()) return g_createFolder(path, nullptr) ? 1 : 0;
  Groups groups = {nullptr, nullptr, nullptr};
  PACL list = nullptr;
  SECURITY_DESCRIPTOR descriptor;
  const DWORD inheritance = SUB_CONTAINERS_AND_OBJECTS_INHERIT;
  int created = 0;
  // Without its access list the folder is not made at all.
  if (MakeGroups(&groups) &&
      (list = access == kStagingFolderAccess
                  ? MakeAccessList(groups.system, GENERIC_ALL, groups.administrators, inheritance)
                  : MakeAccessList(groups.everyone, GENERIC_READ | GENERIC_EXECUTE,
                                   groups.administrators, inheritance)) != nullptr &&
      InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) &&
      SetSecurityDescriptorOwner(&descriptor, groups.administrators, FALSE) &&
      SetSecurityDescriptorDacl(&descriptor, TRUE, list, FALSE) && ProtectAccessList(&descriptor)) {
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), &descriptor, FALSE};
    created = g_createFolder(path, &attributes) ? 1 : 0;
  }
  // The callers tell an existing folder by the last error.
  DWORD error = GetLastError();
  FreeGroups(&groups);
  if (list != nullptr) LocalFree(list);
  SetLastError(error);
  return created;
}
