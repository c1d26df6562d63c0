// Access rights of installed files: what is handed to the system, and what a
// file shows afterwards.
#include <gtest/gtest.h>

#include <windows.h>
#include <aclapi.h>
#include <sddl.h>

#include <string>
#include <vector>

#include "files/file_access.h"
#include "files_test_helpers.h"

using namespace files_test;

namespace {

// What SetInstalledFileAccess handed to the system.
struct Recorded {
  int calls = 0;
  std::string path;
  SE_OBJECT_TYPE type = SE_UNKNOWN_OBJECT_TYPE;
  SECURITY_INFORMATION info = 0;
  std::string owner, group;
  std::vector<Ace> dacl;
  bool sacl = true;
  DWORD answer = ERROR_SUCCESS;
} g_recorded;

DWORD WINAPI RecordSecurity(LPSTR name, SE_OBJECT_TYPE type, SECURITY_INFORMATION info, PSID owner,
                            PSID group, PACL dacl, PACL sacl) {
  ++g_recorded.calls;
  g_recorded.path = name;
  g_recorded.type = type;
  g_recorded.info = info;
  g_recorded.owner = SidText(owner);
  g_recorded.group = SidText(group);
  g_recorded.dacl = AcesOf(dacl);
  g_recorded.sacl = sacl != nullptr;
  return g_recorded.answer;
}

class RecordedFileAccess : public ::testing::Test {
 protected:
  void SetUp() override {
    g_recorded = Recorded();
    saved_ = g_setNamedSecurityInfo;
    g_setNamedSecurityInfo = RecordSecurity;
  }
  void TearDown() override { g_setNamedSecurityInfo = saved_; }
  NamedSecuritySetter saved_;
};

// Exactly the two entries; from Windows 2000 on protected, so that none of
// the parent's inheritable entries come back in. NT 4.0 knows no such flag.
TEST_F(RecordedFileAccess, AdministratorsOwnEveryoneReadsAndRuns) {
  const SECURITY_INFORMATION parts =
      OWNER_SECURITY_INFORMATION | GROUP_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
  struct Case {
    DWORD major;
    SECURITY_INFORMATION info;
  } cases[] = {{4, parts}, {5, parts | PROTECTED_DACL_SECURITY_INFORMATION}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.major);
    ScopedWindowsVersion version(VER_PLATFORM_WIN32_NT, c.major);
    g_recorded = Recorded();
    EXPECT_EQ(SetInstalledFileAccess("C:\\WINDOWS\\TEMP\\VOD1.TMP\\DidIve.exe"), 1);
    ASSERT_EQ(g_recorded.calls, 1);
    EXPECT_EQ(g_recorded.path, "C:\\WINDOWS\\TEMP\\VOD1.TMP\\DidIve.exe");
    EXPECT_EQ(g_recorded.type, SE_FILE_OBJECT);
    EXPECT_EQ(g_recorded.info, c.info);
    EXPECT_EQ(g_recorded.owner, "S-1-5-32-544");
    EXPECT_EQ(g_recorded.group, "S-1-5-32-544");
    EXPECT_FALSE(g_recorded.sacl);
    const std::vector<Ace> expected = {
        {ACCESS_ALLOWED_ACE_TYPE, 0, GENERIC_READ | GENERIC_EXECUTE, "S-1-1-0"},
        {ACCESS_ALLOWED_ACE_TYPE, 0, GENERIC_ALL, "S-1-5-32-544"},
    };
    EXPECT_EQ(g_recorded.dacl, expected);
  }
}

TEST_F(RecordedFileAccess, RefusalOfTheFileSystemAnswersZero) {
  // A file system without security (FAT) refuses.
  for (DWORD refusal : {ERROR_INVALID_FUNCTION, ERROR_NOT_SUPPORTED, ERROR_ACCESS_DENIED}) {
    g_recorded.answer = refusal;
    EXPECT_EQ(SetInstalledFileAccess("A:\\DidIve.exe"), 0) << refusal;
  }
}

// The rights Everyone is allowed on a file, read back from the file.
DWORD EveryoneRights(const std::string& file) {
  char buffer[4096];
  DWORD needed = 0;
  EXPECT_TRUE(GetFileSecurityA(file.c_str(), DACL_SECURITY_INFORMATION, buffer, sizeof(buffer), &needed));
  BOOL present = FALSE, defaulted = FALSE;
  PACL dacl = nullptr;
  EXPECT_TRUE(GetSecurityDescriptorDacl(buffer, &present, &dacl, &defaulted));
  EXPECT_TRUE(present);
  DWORD everyone = 0;
  for (const Ace& ace : AcesOf(dacl)) {
    if (ace.sid == "S-1-1-0" && ace.type == ACCESS_ALLOWED_ACE_TYPE) everyone |= ace.mask;
  }
  return everyone;
}

// Wine keeps of a file's security only what its Unix mode can hold: the owner
// and group read back unchanged, but Everyone's rights show (too many, or
// none, would).
TEST(FileAccess, RealFileKeepsItsDataAndShowsEveryonesRights) {
  const std::string folder = "C:\\files_access";
  ts::DeleteTree(folder);
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  const std::string file = folder + "\\DidIve.exe";
  WriteFileBytes(file, "program");

  ASSERT_EQ(SetInstalledFileAccess(file.c_str()), 1);

  DWORD everyone = EveryoneRights(file);
  EXPECT_EQ(everyone & (FILE_GENERIC_READ | FILE_GENERIC_EXECUTE), static_cast<DWORD>(FILE_GENERIC_READ | FILE_GENERIC_EXECUTE));
  EXPECT_EQ(everyone & (FILE_WRITE_DATA | FILE_APPEND_DATA | DELETE | WRITE_DAC), 0u);

  // The installer itself can still read, replace and delete the file.
  EXPECT_EQ(ReadFileBytes(file), "program");
  WriteFileBytes(file, "replaced");
  EXPECT_EQ(ReadFileBytes(file), "replaced");
  EXPECT_TRUE(DeleteFileA(file.c_str()));
  ts::DeleteTree(folder);
}

TEST(FileAccess, MissingFileAnswersZeroAndStaysMissing) {
  const std::string file = "C:\\files_access_missing\\DidIve.exe";
  EXPECT_EQ(SetInstalledFileAccess(file.c_str()), 0);
  EXPECT_FALSE(Exists(file));
  EXPECT_FALSE(Exists("C:\\files_access_missing"));
}

}  // namespace
