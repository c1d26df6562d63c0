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

// On Windows 98 the package's own unicows.dll is loaded (Wine's is kept out),
// and the XML descriptor's values are converted through it; without it the
// run ends in the initialization phase.
TEST_F(PackageLoadingRun, Windows98NeedsThePackagesUnicodeLayer) {
  const std::string overrides = "Software\\Wine\\AppDefaults\\setup.exe\\DllOverrides";
  for (bool xml : {true, false}) {
    for (bool withLayer : {true, false}) {
      SCOPED_TRACE(std::string(xml ? "XML" : "INI") + (withLayer ? " with" : " without") +
                   " unicows.dll");
      ts::ResetMachineState();
      std::string folder = ts::PreparePackage(xml, kFolder);
      if (!withLayer) DeleteFileA((folder + "\\unicows.dll").c_str());
      ts::WriteRegString(HKEY_CURRENT_USER, overrides, "unicows", "native");
      ts::SetWineVersion("setup.exe", "win98");
      ts::RunResult run = ts::RunSetup(folder, "/S");
      ts::DeleteRegTree(HKEY_CURRENT_USER, overrides);
      if (withLayer) {
        // Past the package and the target choice, which reads the product
        // name: whatever follows decides the rest.
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
}

std::string InstalledName() {
  std::string name;
  ts::ReadRegString(HKEY_LOCAL_MACHINE, ts::kProductKey, "Name", &name);
  return name;
}

TEST_F(PackageLoadingRun, CountingIniDescriptorWinsOverABrokenVodXml) {
  std::string folder = ts::PreparePackage(false, kFolder);
  ASSERT_TRUE(ts::WriteFileText(folder + "\\VOD.xml", "<?xml broken"));
  ASSERT_TRUE(ts::WriteFileText(folder + "\\DidIve.nvx",
                                "[NVX]\r\nXRELEASE=RELEASE\r\n"
                                "[RELEASE]\r\nNAME=Ravozeve Ini\r\nVERSION=3.10.0000\r\n"));
  ts::RunResult run = ts::RunSetup(folder, "/S");
  EXPECT_EQ(0u, run.exitCode);
  EXPECT_EQ("0000", ts::ResultRecord());
  EXPECT_EQ("Ravozeve Ini", InstalledName());
}

TEST_F(PackageLoadingRun, XmlDescriptorServesWhenDidIveNvxDoesNotCount) {
  std::string folder = ts::PreparePackage(true, kFolder);
  ASSERT_TRUE(ts::WriteFileText(folder + "\\DidIve.nvx",
                                "[NVX]\r\nXRELEASE=\r\n"
                                "[RELEASE]\r\nNAME=Not This Name\r\nVERSION=9.99.9999\r\n"));
  ts::RunResult run = ts::RunSetup(folder, "/S");
  EXPECT_EQ(0u, run.exitCode);
  EXPECT_EQ("0000", ts::ResultRecord());
  EXPECT_EQ("Ravozeve Vuzizirer", InstalledName());
  std::string version;
  ts::ReadRegString(HKEY_LOCAL_MACHINE, ts::kProductKey, "Version", &version);
  EXPECT_EQ("3.10.0000", version);
}

TEST_F(PackageLoadingRun, UninstallNeedsNoPackage) {
  std::string folder = ts::PreparePackage(true, kFolder);
  ASSERT_EQ(0u, ts::RunSetup(folder, "/S").exitCode);
  ASSERT_EQ("Ravozeve Vuzizirer", InstalledName());
  ASSERT_TRUE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, ts::kUninstallKey));

  // setup.exe alone in a folder of its own.
  const std::string alone = std::string(kFolder) + "-alone";
  ts::DeleteTree(alone);
  ASSERT_TRUE(CreateDirectoryA(alone.c_str(), nullptr));
  ASSERT_TRUE(CopyFileA((folder + "\\setup.exe").c_str(), (alone + "\\setup.exe").c_str(), FALSE));
  ts::RunResult run = ts::RunSetup(alone, "/U /S");
  EXPECT_EQ(0u, run.exitCode);
  EXPECT_EQ("0000", ts::ResultRecord());
  // What the install registered is gone.
  EXPECT_EQ("", InstalledName());
  EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, ts::kUninstallKey));
  ts::DeleteTree(alone);
}

}  // namespace
