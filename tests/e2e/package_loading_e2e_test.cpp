// Runs of setup.exe from damaged or incomplete setup packages: every one ends
// in the initialization phase, before anything on the machine changes.
#include <gtest/gtest.h>

#include <string>

#include "support/support.h"

namespace {

const char kFolder[] = "C:\\pkgload";

struct Damage {
  const char* name;
  bool xmlPackage;          // start from the XML package, else the INI one
  const char* removeFile;   // a file taken out of the package, or null
  const char* replaceFile;  // a file written anew, or null
  const char* content;      // its content
};

const Damage kDamages[] = {
    {"XML package without NvxSetup.dat", true, "NvxSetup.dat", nullptr, nullptr},
    {"INI package without NvxSetup.dat", false, "NvxSetup.dat", nullptr, nullptr},
    {"XML package without VOD.xml", true, "VOD.xml", nullptr, nullptr},
    {"empty VOD.xml", true, nullptr, "VOD.xml", ""},
    {"VOD.xml without declaration", true, nullptr, "VOD.xml",
     "<build><nvx id=\"DIDIVE\"></nvx></build>\r\n"},
    {"broken VOD.xml", true, nullptr, "VOD.xml",
     "<?xml version=\"1.0\"?>\r\n<build><nvx id=\"DIDIVE\"></build>\r\n"},
    {"DidIve.nvx without XRELEASE and no VOD.xml", false, nullptr, "DidIve.nvx",
     "[NVX]\r\n[RELEASE]\r\nNAME=Ravozeve Vuzizirer\r\nVERSION=3.10.0000\r\n"},
    {"DidIve.nvx with empty XRELEASE and no VOD.xml", false, nullptr, "DidIve.nvx",
     "[NVX]\r\nXRELEASE=\r\n[RELEASE]\r\nNAME=Ravozeve Vuzizirer\r\nVERSION=3.10.0000\r\n"},
};

class PackageLoadingRun : public testing::TestWithParam<Damage> {
 protected:
  void SetUp() override { ts::ResetMachineState(); }
  void TearDown() override {
    ts::ResetMachineState();
    ts::DeleteTree(kFolder);
  }

  static std::string PrepareDamaged(const Damage& d) {
    std::string folder = ts::PreparePackage(d.xmlPackage, kFolder);
    if (d.removeFile != nullptr) DeleteFileA((folder + "\\" + d.removeFile).c_str());
    if (d.replaceFile != nullptr) ts::WriteFileText(folder + "\\" + d.replaceFile, d.content);
    return folder;
  }

  static void ExpectNothingInstalled() {
    EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, ts::kProductKey));
    EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, ts::kUninstallKey));
    EXPECT_FALSE(ts::FolderExists(ts::ProgramFilesDir() + "\\Varnex\\Ravozeve Vuzizirer"));
  }
};

TEST_P(PackageLoadingRun, SilentInstallEndsInInitializationPhase) {
  const Damage& d = GetParam();
  std::string folder = PrepareDamaged(d);
  ASSERT_TRUE(ts::FileExists(folder + "\\setup.exe"));
  ts::RunResult run = ts::RunSetup(folder, "/S");
  EXPECT_EQ(8u, run.exitCode);
  EXPECT_EQ("0008", ts::ResultRecord());
  EXPECT_TRUE(ts::MessageBoxes(run.windows).empty());
  ExpectNothingInstalled();
  // The failed load created nothing in the package folder.
  if (d.removeFile != nullptr) EXPECT_FALSE(ts::FileExists(folder + "\\" + d.removeFile));
  if (!d.xmlPackage) EXPECT_FALSE(ts::FileExists(folder + "\\VOD.xml"));
}

INSTANTIATE_TEST_SUITE_P(Damages, PackageLoadingRun, testing::ValuesIn(kDamages),
                         [](const testing::TestParamInfo<Damage>& info) {
                           return "Case" + std::to_string(info.index);
                         });

TEST_F(PackageLoadingRun, InteractiveInstallReportsTheInitializationPhase) {
  std::string folder = PrepareDamaged(kDamages[2]);
  ts::RunResult run = ts::RunSetup(folder, "");
  EXPECT_EQ(8u, run.exitCode);
  std::vector<ts::SeenWindow> boxes = ts::MessageBoxes(run.windows);
  ASSERT_EQ(1u, boxes.size());
  EXPECT_EQ("Failed in operation for initialization.", boxes[0].text);
  EXPECT_EQ("0008", ts::ResultRecord());
  // The install dialog never came up: the message was the only window.
  EXPECT_EQ(1u, run.windows.size());
  ExpectNothingInstalled();
}

// On Windows 98 the package's unicows.dll is loaded; without it the run ends
// in the initialization phase. An INI package needs no conversion, so
// nothing but the missing layer can stop it there.
TEST_F(PackageLoadingRun, Windows98NeedsTheUnicodeLayer) {
  const std::string app = "Software\\Wine\\AppDefaults\\setup.exe";
  for (bool withLayer : {true, false}) {
    ts::ResetMachineState();
    std::string folder = ts::PreparePackage(false, kFolder);
    if (!withLayer) {
      DeleteFileA((folder + "\\unicows.dll").c_str());
      // Wine carries a unicows.dll of its own: keep it from this program too.
      ts::WriteRegString(HKEY_CURRENT_USER, app + "\\DllOverrides", "unicows", "");
    }
    ts::SetWineVersion("setup.exe", "win98");
    ts::RunResult run = ts::RunSetup(folder, "/S");
    ts::DeleteRegTree(HKEY_CURRENT_USER, app + "\\DllOverrides");
    if (withLayer) {
      // Past the package and the target choice: whatever follows decides the rest.
      EXPECT_NE(8u, run.exitCode);
      EXPECT_NE("0008", ts::ResultRecord());
      EXPECT_NE("", ts::ResultRecord());
    } else {
      EXPECT_EQ(8u, run.exitCode);
      EXPECT_EQ("0008", ts::ResultRecord());
      ExpectNothingInstalled();
    }
  }
}

}  // namespace
