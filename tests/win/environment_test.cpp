// The environment checks: the version and group decisions over tables of
// systems and tokens (most of which Wine cannot produce), and the checks
// themselves on the machine the tests run on.
#include <windows.h>
#include <sddl.h>

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "driver/environment.h"
#include "driver/setup_sequence.h"
#include "support/support.h"

namespace {

struct VersionCase {
  const char* name;
  DWORD platform;
  DWORD major;
  DWORD minor;
  const char* servicePack;
  int supported;
  int servicePackPasses;
};

OSVERSIONINFOA MakeVersion(const VersionCase& c) {
  OSVERSIONINFOA v;
  std::memset(&v, 0, sizeof(v));
  v.dwOSVersionInfoSize = sizeof(v);
  v.dwPlatformId = c.platform;
  v.dwMajorVersion = c.major;
  v.dwMinorVersion = c.minor;
  std::strncpy(v.szCSDVersion, c.servicePack, sizeof(v.szCSDVersion) - 1);
  return v;
}

const DWORD kWin32s = VER_PLATFORM_WIN32s;
const DWORD k9x = VER_PLATFORM_WIN32_WINDOWS;
const DWORD kNt = VER_PLATFORM_WIN32_NT;

const VersionCase kVersionCases[] = {
    {"failed query (all zero)", 0, 0, 0, "", 0, 1},
    {"Win32s", kWin32s, 3, 10, "", 0, 1},
    {"Win32s claiming 4.10", kWin32s, 4, 10, "", 0, 1},
    {"Windows CE", 3, 4, 0, "", 0, 1},
    {"Windows 95", k9x, 4, 0, "", 0, 1},
    {"Windows 95 OSR2", k9x, 4, 0, " B", 0, 1},
    {"Windows 98", k9x, 4, 10, "", 1, 1},
    {"Windows 98 SE", k9x, 4, 10, " A ", 1, 1},
    {"Windows Me", k9x, 4, 90, "", 1, 1},
    {"later 9x release", k9x, 5, 0, "", 1, 1},
    {"NT 3.1", kNt, 3, 10, "", 0, 1},
    {"NT 3.51", kNt, 3, 51, "Service Pack 5", 0, 1},
    {"NT 4.0 without service pack", kNt, 4, 0, "", 1, 0},
    {"NT 4.0 SP1", kNt, 4, 0, "Service Pack 1", 1, 0},
    {"NT 4.0 SP3", kNt, 4, 0, "Service Pack 3", 1, 0},
    {"NT 4.0 SP4", kNt, 4, 0, "Service Pack 4", 1, 1},
    {"NT 4.0 SP5", kNt, 4, 0, "Service Pack 5", 1, 1},
    {"NT 4.0 SP6", kNt, 4, 0, "Service Pack 6", 1, 1},
    {"NT 4.0 SP6a", kNt, 4, 0, "Service Pack 6a", 1, 1},
    {"NT 4.0 text ending in 0x80", kNt, 4, 0, "Service Pack 6\x80", 1, 0},
    {"NT 4.0 text ending in 0xFF", kNt, 4, 0, "Service Pack \xFF", 1, 0},
    {"NT 4.0 text ending in a space", kNt, 4, 0, "Service Pack 6 ", 1, 0},
    {"NT 4.0 one character 4", kNt, 4, 0, "4", 1, 1},
    {"Windows 2000", kNt, 5, 0, "", 1, 1},
    {"Windows 2000 SP3", kNt, 5, 0, "Service Pack 3", 1, 1},
    {"Windows XP SP2", kNt, 5, 1, "Service Pack 2", 1, 1},
    {"Windows Vista", kNt, 6, 0, "", 1, 1},
    {"Windows 7 SP1", kNt, 6, 1, "Service Pack 1", 1, 1},
    {"Windows 10", kNt, 10, 0, "", 1, 1},
};

TEST(EnvironmentDecisions, VersionTable) {
  for (const VersionCase& c : kVersionCases) {
    SCOPED_TRACE(c.name);
    const OSVERSIONINFOA v = MakeVersion(c);
    EXPECT_EQ(DecideOsSupported(&v), c.supported);
    EXPECT_EQ(DecideServicePack(&v), c.servicePackPasses);
  }
}

// The service-pack text is read within its field even when it fills the
// field without a terminator: the last byte of the field decides.
TEST(EnvironmentDecisions, ServicePackTextFillingItsField) {
  OSVERSIONINFOA v;
  std::memset(&v, 0, sizeof(v));
  v.dwPlatformId = VER_PLATFORM_WIN32_NT;
  v.dwMajorVersion = 4;
  std::memset(v.szCSDVersion, 'x', sizeof(v.szCSDVersion));
  v.szCSDVersion[sizeof(v.szCSDVersion) - 1] = '3';
  EXPECT_EQ(DecideServicePack(&v), 0);
  v.szCSDVersion[sizeof(v.szCSDVersion) - 1] = '5';
  EXPECT_EQ(DecideServicePack(&v), 1);
}

// A token group list built from SID strings and attributes.
class GroupList {
 public:
  void Add(const char* sidText, DWORD attributes) {
    PSID sid = nullptr;
    ASSERT_TRUE(ConvertStringSidToSidA(sidText, &sid)) << sidText;
    sids_.push_back(sid);
    attributes_.push_back(attributes);
  }
  ~GroupList() {
    for (PSID sid : sids_) LocalFree(sid);
  }
  const TOKEN_GROUPS* Build() {
    bytes_.assign(FIELD_OFFSET(TOKEN_GROUPS, Groups) + sids_.size() * sizeof(SID_AND_ATTRIBUTES) + 1, 0);
    TOKEN_GROUPS* groups = reinterpret_cast<TOKEN_GROUPS*>(bytes_.data());
    groups->GroupCount = static_cast<DWORD>(sids_.size());
    for (size_t i = 0; i < sids_.size(); ++i) {
      groups->Groups[i].Sid = sids_[i];
      groups->Groups[i].Attributes = attributes_[i];
    }
    return groups;
  }

 private:
  std::vector<PSID> sids_;
  std::vector<DWORD> attributes_;
  std::vector<unsigned char> bytes_;
};

const char kAdmins[] = "S-1-5-32-544";
const DWORD kEnabledGroup = SE_GROUP_MANDATORY | SE_GROUP_ENABLED_BY_DEFAULT | SE_GROUP_ENABLED;

struct GroupEntry {
  const char* sid;
  DWORD attributes;
};

struct GroupCase {
  const char* name;
  std::vector<GroupEntry> groups;
  int administrator;
};

TEST(EnvironmentDecisions, GroupWalk) {
  const GroupCase cases[] = {
      {"no groups", {}, 0},
      {"administrators enabled", {{"S-1-1-0", kEnabledGroup}, {kAdmins, kEnabledGroup}}, 1},
      {"administrators with only the enabled bit", {{kAdmins, SE_GROUP_ENABLED}}, 1},
      {"administrators deny-only", {{"S-1-1-0", kEnabledGroup}, {kAdmins, SE_GROUP_USE_FOR_DENY_ONLY}}, 0},
      {"administrators enabled by default but not enabled", {{kAdmins, SE_GROUP_MANDATORY | SE_GROUP_ENABLED_BY_DEFAULT}}, 0},
      {"administrators absent", {{"S-1-1-0", kEnabledGroup}, {"S-1-5-32-545", kEnabledGroup}, {"S-1-5-11", kEnabledGroup}}, 0},
      {"admins RID under a domain", {{"S-1-5-21-1-2-3-544", kEnabledGroup}}, 0},
      {"builtin domain itself", {{"S-1-5-32", kEnabledGroup}}, 0},
      {"deny-only entry before an enabled one", {{kAdmins, SE_GROUP_USE_FOR_DENY_ONLY}, {"S-1-1-0", kEnabledGroup}, {kAdmins, kEnabledGroup}}, 1},
      {"enabled entry before a deny-only one", {{kAdmins, kEnabledGroup}, {kAdmins, SE_GROUP_USE_FOR_DENY_ONLY}}, 1},
      {"administrators last of many", {{"S-1-1-0", kEnabledGroup}, {"S-1-5-32-545", kEnabledGroup}, {"S-1-5-4", kEnabledGroup}, {"S-1-5-11", kEnabledGroup}, {kAdmins, kEnabledGroup}}, 1},
  };
  PSID admins = nullptr;
  ASSERT_TRUE(ConvertStringSidToSidA(kAdmins, &admins));
  for (const GroupCase& c : cases) {
    SCOPED_TRACE(c.name);
    GroupList list;
    for (const GroupEntry& e : c.groups) list.Add(e.sid, e.attributes);
    EXPECT_EQ(FindEnabledAdministrators(list.Build(), admins), c.administrator);
  }
  LocalFree(admins);
}

// The checks on this machine. Wine runs every program as an administrator
// and reports a supported system unless told otherwise.
TEST(EnvironmentChecks, PassOnTheTestMachine) {
  OSVERSIONINFOA v;
  std::memset(&v, 0, sizeof(v));
  v.dwOSVersionInfoSize = sizeof(v);
  ASSERT_TRUE(GetVersionExA(&v));
  ASSERT_EQ(v.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
  ASSERT_GE(v.dwMajorVersion, 5u);
  EXPECT_EQ(CheckOsSupported(), 1);
  EXPECT_EQ(CheckServicePack(), 1);
  EXPECT_EQ(IsUserAdministrator(), 1);
}

// A user who is no administrator is refused before anything is read or
// written: a message unless silent, no result record.
TEST(EnvironmentChecks, ANonAdministratorIsRefusedBeforeAnyChange) {
  int (*saved)() = g_isUserAdministrator;
  g_isUserAdministrator = [] { return 0; };
  for (const char* args : {"", "/S"}) {
    SCOPED_TRACE(args);
    ts::DeleteRegTree(HKEY_CURRENT_USER, ts::kProductKey);
    SetupContext context;
    InitSetupContext(&context);
    ts::WindowWatcher watcher;
    EXPECT_EQ(-1, RunSetup(GetModuleHandleA(nullptr), args, &context));
    std::vector<ts::SeenWindow> seen = watcher.Stop();
    EXPECT_EQ("", ts::ResultRecord());
    if (args[0] == '\0') {
      ASSERT_EQ(1u, seen.size());
      EXPECT_EQ("You must be an administrator to run this program.", seen[0].text);
    } else {
      EXPECT_TRUE(seen.empty());
    }
  }
  g_isUserAdministrator = saved;
}

int TakeOwnershipEnabled() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return -1;
  LUID luid;
  if (!LookupPrivilegeValueA(nullptr, "SeTakeOwnershipPrivilege", &luid)) {
    CloseHandle(token);
    return -1;
  }
  DWORD size = 0;
  GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
  std::vector<unsigned char> buffer(size);
  int enabled = -1;
  if (GetTokenInformation(token, TokenPrivileges, buffer.data(), size, &size)) {
    const TOKEN_PRIVILEGES* privileges = reinterpret_cast<const TOKEN_PRIVILEGES*>(buffer.data());
    enabled = 0;
    for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
      const LUID_AND_ATTRIBUTES& p = privileges->Privileges[i];
      if (p.Luid.LowPart == luid.LowPart && p.Luid.HighPart == luid.HighPart &&
          (p.Attributes & SE_PRIVILEGE_ENABLED) != 0) {
        enabled = 1;
      }
    }
  }
  CloseHandle(token);
  return enabled;
}

void DisableTakeOwnership() {
  HANDLE token = nullptr;
  ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token));
  TOKEN_PRIVILEGES privileges = {};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = 0;
  EXPECT_TRUE(LookupPrivilegeValueA(nullptr, "SeTakeOwnershipPrivilege", &privileges.Privileges[0].Luid));
  EXPECT_TRUE(AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr));
  CloseHandle(token);
}

TEST(EnvironmentChecks, TakeOwnershipPrivilegeIsEnabledInTheToken) {
  DisableTakeOwnership();
  ASSERT_EQ(TakeOwnershipEnabled(), 0);
  EXPECT_EQ(EnableTakeOwnershipPrivilege(), 1);
  EXPECT_EQ(TakeOwnershipEnabled(), 1);
  // Asking again while it is enabled still passes.
  EXPECT_EQ(EnableTakeOwnershipPrivilege(), 1);
}

}  // namespace
