// The file step in runs of the real setup.exe on the sample packages: what
// stands where afterwards, what was recorded for the restart, and what the
// restart ("wineboot -r") then makes of it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/support.h"
#include "win/files_test_helpers.h"

using namespace files_test;

namespace {

const char kProduct[] = "Ravozeve Vuzizirer";

// The descriptor of the package's kind, in the package and installed.
std::string Descriptor(bool xml) { return xml ? "VOD.xml" : "DidIve.nvx"; }
std::string InstalledDescriptor(bool xml) { return xml ? "NvxSetup.xml" : "NvxSetup.ini"; }

std::string ProposedFolder() { return ts::ProgramFilesDir() + "\\Varnex\\Ravozeve Vuzizirer"; }
std::vector<std::string> StagingFolders() { return StagingFoldersIn(TempFolder()); }

// The contents of the final files, in the order of the set.
std::vector<std::string> Contents(const std::vector<std::string>& paths) {
  std::vector<std::string> contents;
  for (const std::string& path : paths) contents.push_back(ReadFileBytes(path));
  return contents;
}

class FilesRun : public ::testing::Test {
 protected:
  void SetUp() override { Clean(); }
  void TearDown() override {
    StopProduct();
    Clean();
  }
  void Clean() {
    ts::ResetMachineState();
    for (const std::string& staging : StagingFolders()) ts::DeleteTree(staging);
    RemoveWininit();
    ts::DeleteTree("C:\\files_e2e");
  }

  void Prepare(bool xml) {
    xml_ = xml;
    package_ = ts::PreparePackage(xml);
  }
  // What the package holds for entry i.
  std::string PackageContent(int i) const {
    return ReadFileBytes(package_ + "\\" + PackageName(i, Descriptor(xml_)));
  }
  std::vector<std::string> PackageContents() const {
    std::vector<std::string> contents;
    for (int i = 0; i < kProgramFileCount; ++i) contents.push_back(PackageContent(i));
    return contents;
  }
  // A new version of the package: every data file changes (the programs stay,
  // they must still run).
  void ChangePackage() {
    for (int i = 2; i < kProgramFileCount; ++i) {
      // unicows.dll is loaded on Windows 9x; text after the XML root would not parse.
      if (i == 9 || (i == 2 && xml_)) continue;
      std::string path = package_ + "\\" + PackageName(i, Descriptor(xml_));
      WriteFileBytes(path, ReadFileBytes(path) + "\r\n; version 2\r\n");
    }
  }
  ts::RunResult Setup(const std::string& args) { return ts::RunSetup(package_, args); }
  std::string ProgramFolder() const {
    std::string folder;
    ts::ReadRegString(HKEY_LOCAL_MACHINE, ts::kProductKey, "ProgDir", &folder);
    return folder;
  }

  // The installed stand-in product, holding its mutex.
  void StartProduct(const std::string& folder) {
    product_ = ts::StartProcess(folder + "\\DidIve.exe", "");
    ASSERT_NE(product_.handle, nullptr);
    for (int i = 0; i < 200; ++i) {
      HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, kProduct);
      if (mutex != nullptr) {
        CloseHandle(mutex);
        return;
      }
      Sleep(50);
    }
    FAIL() << "the product's mutex never appeared";
  }
  void StopProduct() {
    if (product_.handle == nullptr) return;
    TerminateProcess(product_.handle, 0);
    ts::FinishProcess(&product_, 10000);
  }

  bool xml_ = true;
  std::string package_;
  ts::Process product_;
};

// A fresh install, then an upgrade by a package of the other kind: the kind
// the package read decides which descriptor goes (the rows per system are the
// unit test's). Without a running product nothing waits for a restart.
TEST_F(FilesRun, PackageOfTheOtherKindReplacesTheDescriptor) {
  for (bool xml : {true, false}) {
    SCOPED_TRACE(xml ? "XML package" : "INI package over the XML one");
    Prepare(xml);
    ASSERT_EQ(0u, Setup("/S").exitCode);
    EXPECT_EQ("0000", ts::ResultRecord());
    ASSERT_EQ(ProposedFolder(), ProgramFolder());
    EXPECT_EQ(InstalledNames(InstalledDescriptor(xml)), FilesIn(ProposedFolder()));
    EXPECT_EQ(PackageContents(), Contents(FinalPaths(ProposedFolder(), InstalledDescriptor(xml))));
    EXPECT_TRUE(StagingFolders().empty());
    EXPECT_EQ("missing", PendingOperations());
  }
}

TEST_F(FilesRun, RunningProductOnNtGetsItsFilesAtTheRestart) {
  Prepare(true);
  ASSERT_EQ(0u, Setup("/S").exitCode);
  const std::string folder = ProgramFolder();
  const std::vector<std::string> finals = FinalPaths(folder, InstalledDescriptor(true));
  const std::vector<std::string> before = Contents(finals);
  ChangePackage();
  StartProduct(folder);

  ASSERT_EQ(0u, Setup("/S").exitCode);
  EXPECT_EQ("0000", ts::ResultRecord());
  EXPECT_EQ(before, Contents(finals));
  // The exact pending pairs are the unit test's; here: something waits.
  EXPECT_EQ(1u, StagingFolders().size());
  EXPECT_NE("missing", PendingOperations());

  StopProduct();
  RunRestart();
  EXPECT_EQ(PackageContents(), Contents(finals));
  EXPECT_NE(before, Contents(finals));
  EXPECT_TRUE(StagingFolders().empty());
}

// Runs one after another without a restart between them, then the restart:
// the last run's intent stands, and another program's operation pending for
// the restart is carried out as it was recorded.
enum Step {
  kInstall,         // a silent install of the package as it stands
  kNewerPackage,    // the package's data files change
  kUninstall,       // a silent uninstall
  kStartProduct,    // the installed product starts and holds its mutex
  kStopProduct,
  kLockUninstallEntry,    // the system's uninstall entry cannot be deleted (it
                          // holds a subkey): an uninstall stops part way...
  kUnlockUninstallEntry,  // ...and can again
};

struct Sequence {
  const char* name;
  std::vector<Step> steps;
  std::vector<DWORD> exitCodes;  // of the installs and uninstalls, in order
  bool installed;                // after the restart: the last package's files
  bool on98 = true;              // Wine's 98 deletes a key with its subkeys
};

const Sequence kSequences[] = {
    {"uninstall, then install before the restart",
     {kInstall, kUninstall, kNewerPackage, kInstall}, {0, 0, 0}, true},
    {"uninstall while the product runs, install once it has ended",
     {kInstall, kStartProduct, kUninstall, kStopProduct, kNewerPackage, kInstall}, {0, 0, 0}, true},
    {"install while the product runs, uninstall once it has ended",
     {kInstall, kNewerPackage, kStartProduct, kInstall, kStopProduct, kUninstall}, {0, 0, 0}, false},
    {"install while the product runs, a newer package once it has ended",
     {kInstall, kNewerPackage, kStartProduct, kInstall, kStopProduct, kNewerPackage, kInstall},
     {0, 0, 0}, true},
    {"an uninstall that stopped part way, run again",
     {kInstall, kLockUninstallEntry, kUninstall, kUnlockUninstallEntry, kUninstall}, {0, 12, 0},
     false, false},
};

TEST_F(FilesRun, SequencesWithoutARestartEndAsTheirLastRunMeant) {
  const std::string kLock = std::string(ts::kUninstallKey) + "\\Lock";
  const std::string foreignSource = "C:\\files_e2e\\theirs.new";
  const std::string foreignTarget = "C:\\files_e2e\\theirs.dat";
  for (const char* version : {"", "win98"}) {
    for (const Sequence& sequence : kSequences) {
      if (*version != '\0' && !sequence.on98) continue;
      SCOPED_TRACE(std::string(sequence.name) + (*version ? " on 98" : " on NT"));
      Clean();
      ts::SetWineVersion("setup.exe", version);
      Prepare(false);
      CreateDirectoryA("C:\\files_e2e", nullptr);
      WriteFileBytes(foreignSource, "theirs");
      if (*version == '\0') {
        ASSERT_TRUE(MoveFileExA(foreignSource.c_str(), foreignTarget.c_str(), MOVEFILE_DELAY_UNTIL_REBOOT));
      } else {
        WriteFileBytes(foreignTarget, "old");
        WriteFileBytes(WininitPath(), "[rename]\r\n" + ShortPath(foreignTarget) + "=" +
                                          ShortPath(foreignSource) + "\r\n");
      }
      std::vector<DWORD> exitCodes;
      std::vector<std::string> installed;
      for (Step step : sequence.steps) {
        switch (step) {
          case kInstall:
            exitCodes.push_back(Setup("/S").exitCode);
            installed = PackageContents();
            break;
          case kNewerPackage: ChangePackage(); break;
          case kUninstall: exitCodes.push_back(Setup("/U /S").exitCode); break;
          case kStartProduct: StartProduct(ProposedFolder()); break;
          case kStopProduct: StopProduct(); break;
          case kLockUninstallEntry:
            ASSERT_TRUE(ts::WriteRegString(HKEY_LOCAL_MACHINE, kLock, "", ""));
            break;
          case kUnlockUninstallEntry: ts::DeleteRegTree(HKEY_LOCAL_MACHINE, kLock); break;
        }
      }
      EXPECT_EQ(sequence.exitCodes, exitCodes);
      RunRestart();
      const std::vector<std::string> finals = FinalPaths(ProposedFolder(), InstalledDescriptor(false));
      if (sequence.installed) {
        EXPECT_EQ(installed, Contents(finals));
        EXPECT_EQ(ProposedFolder(), ProgramFolder());
      } else {
        for (const std::string& path : finals) EXPECT_FALSE(Exists(path)) << path;
        EXPECT_EQ("", ProgramFolder());
        EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, ts::kUninstallKey));
      }
      EXPECT_EQ("theirs", ReadFileBytes(foreignTarget));
      EXPECT_FALSE(Exists(foreignSource));
    }
  }
}

}  // namespace
