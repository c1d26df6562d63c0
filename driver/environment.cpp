#include "driver/environment.h"

#include "common/os_version.h"
#include "common/text.h"

int DecideOsSupported(const OSVERSIONINFOA* version) {
  switch (version->dwPlatformId) {
    case VER_PLATFORM_WIN32_NT:
      return version->dwMajorVersion >= 4 ? 1 : 0;
    case VER_PLATFORM_WIN32_WINDOWS:
      // 4.0 is Windows 95; 98 (4.10), Me (4.90) and later releases run.
      return (version->dwMajorVersion == 4 && version->dwMinorVersion == 0) ? 0 : 1;
    default:
      return 0;
  }
}

int DecideServicePack(const OSVERSIONINFOA* version) {
  if (version->dwPlatformId != VER_PLATFORM_WIN32_NT || version->dwMajorVersion != 4) return 1;
  // The text is read within its own field, terminated or not.
  const size_t length = TextLength(version->szCSDVersion, sizeof(version->szCSDVersion));
  if (length == 0) return 0;
  // Only the last character counts ("Service Pack 6a" ends in a letter); a byte
  // from 0x80 up is taken as signed, so it counts as below "4".
  const signed char last = static_cast<signed char>(version->szCSDVersion[length - 1]);
  return last < '4' ? 0 : 1;
}

int FindEnabledAdministrators(const TOKEN_GROUPS* groups, PSID administrators) {
  int found = 0;
  for (DWORD i = 0; i < groups->GroupCount; ++i) {
    // A deny-only group is present but not enabled, and does not count.
    if (EqualSid(groups->Groups[i].Sid, administrators) &&
        (groups->Groups[i].Attributes & SE_GROUP_ENABLED) != 0) {
      found = 1;
    }
  }
  return found;
}

int CheckOsSupported() {
  OSVERSIONINFOA version;
  // A failed query leaves the record zero: platform 0, version 0.0, no service pack.
  ReadOsVersion(&version);
  return DecideOsSupported(&version);
}

int CheckServicePack() {
  OSVERSIONINFOA version;
  ReadOsVersion(&version);
  return DecideServicePack(&version);
}

int (*g_isUserAdministrator)() = IsUserAdministrator;

int IsUserAdministrator() {
  HANDLE token = nullptr;
  TOKEN_GROUPS* groups = nullptr;
  PSID administrators = nullptr;
  SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
  DWORD size = 0;
  int result = 0;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
    if (GetTokenInformation(token, TokenGroups, nullptr, 0, &size) ||
        GetLastError() == ERROR_INSUFFICIENT_BUFFER) {
      groups = static_cast<TOKEN_GROUPS*>(GlobalAlloc(GPTR, size));
    }
    // A list too short for its own count is not read.
    if (groups != nullptr && GetTokenInformation(token, TokenGroups, groups, size, &size) &&
        size >= FIELD_OFFSET(TOKEN_GROUPS, Groups) &&
        AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                 DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &administrators)) {
      result = FindEnabledAdministrators(groups, administrators);
    }
  } else {
    token = nullptr;
  }
  if (administrators != nullptr) FreeSid(administrators);
  if (groups != nullptr) GlobalFree(groups);
  if (token != nullptr) CloseHandle(token);
  return result;
}

int EnableTakeOwnershipPrivilege() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    return 0;
  }
  int result = 0;
  TOKEN_PRIVILEGES privileges;
  ZeroMemory(&privileges, sizeof(privileges));
  if (LookupPrivilegeValueA(nullptr, "SeTakeOwnershipPrivilege", &privileges.Privileges[0].Luid)) {
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    // Succeeds also when the account does not hold the privilege; nothing
    // later depends on it being held.
    result = AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr) ? 1 : 0;
  }
  CloseHandle(token);
  return result;
}
