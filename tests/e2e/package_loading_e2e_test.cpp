// Runs of setup.exe from damaged or incomplete setup packages: every one ends
// in the initialization phase, before anything on the machine changes.
#include <gtest/gtest.h>

#include <string>

#include "support/support.h"

namespace {

const char kFolder[] = "C:\\pkgload";

// Each damage a package can have ends its load (the unit tests hold the
// cases); a run shows what the end of a load means for setup.exe.
struct Damage {
  bool xmlPackage;          // start from the XML package, else the INI one
  const char* removeFile;   // a file taken out of the package
};

const Damage kDamages[] = {
    {false, "NvxSetup.dat"},
    {true, "VOD.xml"},
};

class PackageLoadingRun : public testing::Test {
 protected:
  void SetUp() override { ts::ResetMachineState(); }
  void TearDown() override {
    ts::ResetMachineState();
    ts::DeleteTree(kFolder);
  }

  static std::string PrepareDamaged(const Damage& d) {
    std::string folder = ts::PreparePackage(d.xmlPackage, kFolder);
    DeleteFileA((folder + "\\" + d.removeFile).c_str());
    return folder;
  }

  static void ExpectNothingInstalled() {
    EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, ts::kProductKey));
    EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, ts::kUninstallKey));
    EXPECT_FALSE(ts::FolderExists(ts::ProgramFilesDir() + "\\Varnex\\Ravozeve Vuzizirer"));
  }
};

TEST_F(PackageLoadingRun, SilentInstallEndsInInitializationPhase) {
  const Damage& d = kDamages[0];
  std::string folder = PrepareDamaged(d);
  ASSERT_TRUE(ts::FileExists(folder + "\\setup.exe"));
  ts::RunResult run = ts::RunSetup(folder, "/S");
  EXPECT_EQ(8u, run.exitCode);
  EXPECT_EQ("0008", ts::ResultRecord());
  EXPECT_TRUE(ts::MessageBoxes(run.windows).empty());
  ExpectNothingInstalled();
  // The failed load created nothing in the package folder.
  EXPECT_FALSE(ts::FileExists(folder + "\\" + d.removeFile));
  EXPECT_FALSE(ts::FileExists(folder + "\\VOD.xml"));
}

TEST_F(PackageLoadingRun, InteractiveInstallReportsTheInitializationPhase) {
  std::string folder = PrepareDamaged(kDamages[1]);
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
