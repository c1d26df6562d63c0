// A package author's or a user's mistake ends in a clear failure or is passed
// over, and touches nothing it should not: a program folder holding ";",
// one too long for the files, a folder where a file of the set should be,
// relative entries in the image and download lists.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "support/support.h"

namespace {

std::string ProgramFiles() { return ts::ProgramFilesDir(); }
std::string Varnex() { return ProgramFiles() + "\\Varnex"; }

struct BadInput {
  const char* name;
  std::function<void(const std::string& package)> prepare;
  const char* args;
  DWORD exitCode;
  std::function<void()> check;
};

std::string Installed(const std::string& name) {
  std::string folder;
  ts::ReadRegString(HKEY_LOCAL_MACHINE, ts::kProductKey, "ProgDir", &folder);
  return folder + "\\" + name;
}

const BadInput kBadInputs[] = {
    // The other kind's descriptor is looked for in the program folder alone:
    // a search would split the folder at ";" and delete another program's.
    {"a program folder holding a semicolon",
     [](const std::string& package) {
       EXPECT_TRUE(ts::SetPackageSetting(package, "TARGET", "Varnex\\Apps;Tools"));
       CreateDirectoryA(Varnex().c_str(), nullptr);
       CreateDirectoryA((Varnex() + "\\Apps").c_str(), nullptr);
       ts::WriteFileText(Varnex() + "\\Apps\\NvxSetup.xml", "another program's");
     },
     "/S", 0,
     [] {
       EXPECT_EQ(Varnex() + "\\Apps;Tools\\NvxSetup.ini", Installed("NvxSetup.ini"));
       EXPECT_TRUE(ts::FileExists(Installed("DidIve.exe")));
       EXPECT_EQ("another program's", ts::ReadFileText(Varnex() + "\\Apps\\NvxSetup.xml"));
     }},
    // One byte over: the folder, "\" and the 12-character names need 261.
    {"a program folder too long for the files",
     [](const std::string& package) {
       const std::string folder = "Varnex\\" + std::string(247 - ProgramFiles().size() - 8, 'L');
       EXPECT_TRUE(ts::SetPackageSetting(package, "TARGET", folder.c_str()));
     },
     "/S", 9,
     [] {
       EXPECT_EQ("0009", ts::ResultRecord());
       EXPECT_FALSE(ts::FolderExists(Varnex()));
       EXPECT_FALSE(ts::FileExists(ts::WindowsDir() + "\\_nvxu000.exe"));
     }},
    // The uninstall deletes files of the set's names, never a folder.
    {"a folder where a file of the set should be",
     [](const std::string& package) {
       ASSERT_EQ(0u, ts::RunSetup(package, "/S").exitCode);
       ASSERT_TRUE(DeleteFileA(Installed("NvxFlash.dll").c_str()));
       ASSERT_TRUE(CreateDirectoryA(Installed("NvxFlash.dll").c_str(), nullptr));
       ts::WriteFileText(Installed("NvxFlash.dll") + "\\keep.txt", "the user's");
     },
     "/S /U", 0,
     [] {
       const std::string folder = Varnex() + "\\Ravozeve Vuzizirer\\NvxFlash.dll";
       EXPECT_EQ("the user's", ts::ReadFileText(folder + "\\keep.txt"));
       EXPECT_FALSE(ts::FileExists(Varnex() + "\\Ravozeve Vuzizirer\\DidIve.exe"));
     }},
    // Relative entries would name folders under the setup's current folder
    // (the package folder): passed over; a download list without a usable
    // entry counts as none.
    {"relative image and download entries",
     [](const std::string& package) {
       EXPECT_TRUE(ts::SetPackageSetting(package, "IMAGEPATH", "Images;C:Images"));
       EXPECT_TRUE(ts::SetPackageSetting(package, "DOWNLOAD", "Download;;DRIVERS\\Sub"));
       CreateDirectoryA((package + "\\Images").c_str(), nullptr);
     },
     "/S", 0,
     [] {
       std::string registered;
       EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, std::string(ts::kProductKey) + "\\SearchPath\\Images"));
       EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, std::string(ts::kProductKey) + "\\SearchPath\\C:Images"));
       EXPECT_FALSE(ts::FolderExists("C:\\pkg\\Download"));
       EXPECT_FALSE(ts::FolderExists("C:\\pkg\\DRIVERS"));
       EXPECT_TRUE(ts::ReadRegString(HKEY_LOCAL_MACHINE, ts::kProductKey, "DownloadDir", &registered));
       EXPECT_EQ("C:\\DRIVERS", registered);
     }},
    // An entry that does not fit a path behind the drive is unusable too: the
    // Windows folder, the walk's starting point, is never the download folder.
    {"a download entry too long for a path",
     [](const std::string& package) {
       const std::string entry = "\\" + std::string(258, 'D');
       EXPECT_TRUE(ts::SetPackageSetting(package, "DOWNLOAD", entry.c_str()));
     },
     "/S", 0,
     [] {
       std::string registered;
       EXPECT_TRUE(ts::ReadRegString(HKEY_LOCAL_MACHINE, ts::kProductKey, "DownloadDir", &registered));
       EXPECT_EQ("C:\\DRIVERS", registered);
     }},
};

class BadInputRun : public testing::TestWithParam<BadInput> {
 protected:
  void SetUp() override { Clean(); }
  void TearDown() override { Clean(); }
  void Clean() {
    ts::ResetMachineState();
    ts::DeleteTree(Varnex());
  }
};

TEST_P(BadInputRun, IsRefusedClearlyOrPassedOverTouchingNothing) {
  const BadInput& input = GetParam();
  const std::string package = ts::PreparePackage(false);
  input.prepare(package);
  if (HasFatalFailure()) return;
  EXPECT_EQ(input.exitCode, ts::RunSetup(package, input.args).exitCode);
  input.check();
}

INSTANTIATE_TEST_SUITE_P(Inputs, BadInputRun, testing::ValuesIn(kBadInputs),
                         [](const testing::TestParamInfo<BadInput>& info) {
                           std::string name;
                           for (const char* c = info.param.name; *c != '\0'; ++c) {
                             if (isalnum(static_cast<unsigned char>(*c))) name += *c;
                           }
                           return name;
                         });

}  // namespace
