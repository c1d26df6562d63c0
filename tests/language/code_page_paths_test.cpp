// Paths in the system's code page: each ctest entry runs this program under
// one locale, whose ANSI code page Wine takes from LANG. In 932, 950 and 936
// the second byte of a character can be 0x5C, the byte of a backslash; the
// program folder and group named with such characters hold what they should,
// and nothing lands beside them. 949 and 1252 show the paths as before.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "support/support.h"
#include "win/files_test_helpers.h"

namespace {

struct CodePageName {
  UINT codePage;
  const char* name;  // in that code page
};

const CodePageName kNames[] = {
    {932, "\x83\x5C\x83\x74\x83\x67\x88\xEA\x97\x97\x95\x5C"},  // "ソフト一覧表"
    {950, "\xA5\x5C\xAF\xE0\xB3\x5C"},                          // "功能許"
    {936, "\x81\x5C\xC8\xED\xBC\xFE\x81\x5C"},                  // "乗软件乗"
    {949, "\xC7\xC1\xB7\xCE\xB1\xD7\xB7\xA5\xC7\xA5"},          // "프로그램표"
    {1252, "Caf\xE9 No\xEBl"},
};

std::string ProductValue(const char* name) {
  std::string value;
  ts::ReadRegString(HKEY_LOCAL_MACHINE, ts::kProductKey, name, &value);
  return value;
}

class CodePagePaths : public testing::Test {
 protected:
  // What a failed run of another locale may have left under other names.
  void SetUp() override {
    ts::IsolateShortcutFolders();
    ts::ResetMachineState();
    ts::DeleteTree(Parent());
  }
  void TearDown() override {
    ts::ResetMachineState();
    ts::DeleteTree(Parent());
  }
  static std::string Parent() { return ts::ProgramFilesDir() + "\\Varnex"; }
};

TEST_F(CodePagePaths, InstallUpgradeAndUninstallKeepToTheNamedFolders) {
  const CodePageName* row = nullptr;
  for (const CodePageName& candidate : kNames) {
    if (candidate.codePage == GetACP()) row = &candidate;
  }
  ASSERT_NE(nullptr, row) << "no name for code page " << GetACP();
  const std::string package = ts::PreparePackage();
  const std::string name = row->name;
  ASSERT_TRUE(ts::SetPackageSetting(package, "DIR", ("Varnex\\" + name).c_str()));
  ASSERT_TRUE(ts::SetPackageSetting(package, "GROUP", name.c_str()));
  const std::string parent = Parent();
  const std::string folder = parent + "\\" + name;
  const std::string group = ts::SpecialFolder(CSIDL_COMMON_PROGRAMS) + "\\" + name;
  // The listing of a folder's subfolders starts with "." and "..".
  const std::vector<std::string> onlyTheFolder = {".", "..", name};

  for (const char* run : {"install", "upgrade"}) {
    SCOPED_TRACE(run);
    ASSERT_EQ(0u, ts::RunSetup(package, "/S").exitCode);
    EXPECT_EQ("0000", ts::ResultRecord());
    EXPECT_EQ(files_test::InstalledNames("NvxSetup.xml"), files_test::FilesIn(folder));
    EXPECT_EQ(onlyTheFolder, files_test::NamesIn(parent, "*", true));
    EXPECT_TRUE(files_test::FilesIn(parent).empty());
    EXPECT_EQ(folder, ProductValue("ProgDir"));
    EXPECT_EQ(folder + "\\DidIve.exe", ProductValue(""));
    EXPECT_EQ(group, ProductValue("MenuDir"));
    ts::ShortcutData link = ts::ReadShortcut(group + "\\Ravozeve Vuzizirer.lnk");
    ASSERT_TRUE(link.loaded);
    EXPECT_EQ(folder + "\\\\DidIve.exe", link.iconPath);
    EXPECT_EQ(folder + "\\", link.workingFolder);
  }

  ASSERT_EQ(0u, ts::RunSetup(package, "/S /U").exitCode);
  EXPECT_EQ("0000", ts::ResultRecord());
  EXPECT_TRUE(files_test::FilesIn(folder).empty());
  EXPECT_EQ(onlyTheFolder, files_test::NamesIn(parent, "*", true));
  EXPECT_FALSE(ts::FolderExists(group));
  EXPECT_EQ("", ProductValue("ProgDir"));
}

}  // namespace
