#include "files/file_access.h"

NamedSecuritySetter g_setNamedSecurityInfo = SetNamedSecurityInfoA;

int SetInstalledFileAccess(const char* path) {
  SID_IDENTIFIER_AUTHORITY worldAuthority = {SECURITY_WORLD_SID_AUTHORITY};
  SID_IDENTIFIER_AUTHORITY ntAuthority = {SECURITY_NT_AUTHORITY};
  PSID everyone = nullptr;
  PSID administrators = nullptr;
  PACL acl = nullptr;
  int result = 0;

  if (AllocateAndInitializeSid(&worldAuthority, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0,
                               &everyone) &&
      AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                               DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &administrators)) {
    EXPLICIT_ACCESS_A entries[2];
    ZeroMemory(entries, sizeof(entries));
    entries[0].grfAccessPermissions = GENERIC_READ | GENERIC_EXECUTE;
    entries[0].grfAccessMode = SET_ACCESS;
    entries[0].grfInheritance = NO_INHERITANCE;
    entries[0].Trustee.MultipleTrusteeOperation = NO_MULTIPLE_TRUSTEE;
    entries[0].Trustee.TrusteeForm = TRUSTEE_IS_SID;
    entries[0].Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
    entries[0].Trustee.ptstrName = static_cast<LPSTR>(everyone);
    entries[1].grfAccessPermissions = GENERIC_ALL;
    entries[1].grfAccessMode = SET_ACCESS;
    entries[1].grfInheritance = NO_INHERITANCE;
    entries[1].Trustee.MultipleTrusteeOperation = NO_MULTIPLE_TRUSTEE;
    entries[1].Trustee.TrusteeForm = TRUSTEE_IS_SID;
    entries[1].Trustee.TrusteeType = TRUSTEE_IS_GROUP;
    entries[1].Trustee.ptstrName = static_cast<LPSTR>(administrators);

    if (SetEntriesInAclA(2, entries, nullptr, &acl) == ERROR_SUCCESS) {
      DWORD status = g_setNamedSecurityInfo(
          const_cast<LPSTR>(path), SE_FILE_OBJECT,
          OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
          administrators, administrators, acl, nullptr);
      result = status == ERROR_SUCCESS;
    }
  }

  if (administrators != nullptr) FreeSid(administrators);
  if (everyone != nullptr) FreeSid(everyone);
  if (acl != nullptr) LocalFree(acl);
  return result;
}
