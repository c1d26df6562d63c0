// What silent installs and uninstalls of the sample package leave in the
// registry: the product key, the search path, the uninstall entry, the
// interface path key and the browser button, and where a failing registry
// step stops the run.
#include <gtest/gtest.h>

#include <string>

#include "support/support.h"
#include "win/files_test_helpers.h"
#include "win/registry_test_keys.h"

using regtest::Dword;
using regtest::Sz;
using regtest::Value;

namespace {

const std::string kProduct = ts::kProductKey;
const std::string kSearch = kProduct + "\\SearchPath";
const char kImages[] = "C:\\NvxImages";
const char kDownloads[] = "C:\\NvxDownloads";
const char kLong[] = "C:\\NvxLong";

std::vector<std::string> Names(const std::map<std::string, Value>& values) {
  std::vector<std::string> names;
  for (const auto& entry : values) names.push_back(entry.first);
  return names;
}

class RegistryRun : public testing::Test {
 protected:
  void SetUp() override {
    Clean();
    package_ = ts::PreparePackage();
    ASSERT_TRUE(ts::FileExists(package_ + "\\setup.exe"));
  }
  void TearDown() override { Clean(); }
  void Clean() {
    for (const char* key : {ts::kUninstallKey, ts::kInterfaceKey, ts::kBrowserButtonKey}) {
      regtest::MakeKeyWritable(HKEY_LOCAL_MACHINE, key);
    }
    ts::ResetMachineState();
    for (const char* folder : {kImages, kDownloads, kLong}) ts::DeleteTree(folder);
    DeleteFileA("C:\\DRIVERS");
  }

  // Runs setup.exe silently; answers its exit code.
  DWORD Run(const std::string& args) { return ts::RunSetup(package_, args).exitCode; }

  void Install() { ASSERT_EQ(Run("/S"), 0u); }

  std::map<std::string, Value> ProductValues() {
    return regtest::Values(HKEY_LOCAL_MACHINE, kProduct);
  }
  bool Registered(const std::string& folder) {
    std::map<std::string, Value> values = regtest::Values(HKEY_LOCAL_MACHINE, kSearch + "\\" + folder);
    return values.count("") == 1 && values[""] == Sz(folder);
  }

  std::string package_;
};

// One install and its uninstall: what each writes, what the uninstall keeps,
// and that a second uninstall finds nothing installed.
TEST_F(RegistryRun, InstallWritesItsKeysAndUninstallKeepsWhatIsNotItsOwn) {
  ASSERT_NO_FATAL_FAILURE(Install());
  std::map<std::string, Value> product = ProductValues();
  std::vector<std::string> names = {"",     "DownloadDir", "InternetFunction", "MenuDir",
                                    "Name", "ProgDir",     "Version"};
  EXPECT_EQ(Names(product), names);
  const std::string folder = product["ProgDir"].data.c_str();
  EXPECT_EQ(product["ProgDir"], Sz(folder));
  EXPECT_EQ(product[""], Sz(folder + "\\DidIve.exe"));
  EXPECT_EQ(product["Name"], Sz("Ravozeve Vuzizirer"));
  EXPECT_EQ(product["Version"], Sz("3.10.0000"));
  EXPECT_EQ(product["MenuDir"].type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(product["DownloadDir"], Sz("C:\\DRIVERS"));
  EXPECT_EQ(product["InternetFunction"].type, static_cast<DWORD>(REG_DWORD));

  std::map<std::string, Value> entry = {
      {"DisplayName", Sz("Ravozeve Vuzizirer")},
      {"UninstallString", Sz("_nvxu000.exe /U")},
      {"DisplayIcon", Sz(ts::WindowsDir() + "\\_nvxu000.exe,0")},
      {"DisplayVersion", Sz("3.10.0000")}};
  EXPECT_EQ(regtest::Values(HKEY_LOCAL_MACHINE, ts::kUninstallKey), entry);
  std::map<std::string, Value> interfacePath = {
      {"InterfacePath", Sz(ts::WindowsDir() + "\\_nvxu000.exe")},
      {"VeruZadovo", Dword(2)},
      {"Farrowmind", Dword(0)}};
  EXPECT_EQ(regtest::Values(HKEY_LOCAL_MACHINE, ts::kInterfaceKey), interfacePath);

  // The button follows the internet function that was stored, for the
  // 64-bit browser too.
  bool wanted = !(product["InternetFunction"] == Dword(0));
  EXPECT_EQ(ts::RegKeyExists(HKEY_LOCAL_MACHINE, ts::kBrowserButtonKey), wanted);
  EXPECT_EQ(ts::RegKeyExists(HKEY_LOCAL_MACHINE, ts::kBrowserButtonKey, KEY_WOW64_64KEY), wanted);
  if (wanted) {
    std::map<std::string, Value> button = regtest::Values(HKEY_LOCAL_MACHINE, ts::kBrowserButtonKey);
    // The program path of the target choice: the folder, "\\" and "\\DidIve.exe",
    // with the doubled backslash the shortcuts store too.
    EXPECT_EQ(button["Exec"], Sz(folder + "\\\\DidIve.exe"));
    EXPECT_EQ(button["ButtonText"], Sz("Ravozeve Vuzizirer"));
    EXPECT_EQ(button.size(), 6u);
  }

  regtest::SetValue(HKEY_LOCAL_MACHINE, kProduct + "\\Install\\DIDIVE", "Version", Sz(""));
  regtest::SetValue(HKEY_LOCAL_MACHINE, kProduct, "Foreign", Sz("kept"));
  regtest::SetValue(HKEY_LOCAL_MACHINE, kProduct, "ProxyServer", Sz("proxy:80"));
  EXPECT_EQ(Run("/U /S"), 0u);
  EXPECT_EQ(ts::ResultRecord(), "0000");
  std::map<std::string, Value> kept = {{"Foreign", Sz("kept")},
                                       {"InternetFunction", product["InternetFunction"]}};
  EXPECT_EQ(ProductValues(), kept);
  EXPECT_EQ(regtest::Subkeys(HKEY_LOCAL_MACHINE, kProduct), std::vector<std::string>{"Install"});
  EXPECT_EQ(regtest::Values(HKEY_LOCAL_MACHINE, kProduct + "\\Install\\DIDIVE")["Version"], Sz(""));
  EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, ts::kUninstallKey));
  EXPECT_TRUE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, ts::kInterfaceKey));
  EXPECT_TRUE(regtest::Values(HKEY_LOCAL_MACHINE, ts::kInterfaceKey).empty());
  EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, ts::kBrowserButtonKey));
  EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, ts::kBrowserButtonKey, KEY_WOW64_64KEY));
  // The program files go now, the running uninstaller at the restart; the
  // folder stays.
  const std::string uninstaller = ts::WindowsDir() + "\\_nvxu000.exe";
  EXPECT_FALSE(ts::FileExists(folder + "\\DidIve.exe"));
  EXPECT_TRUE(ts::FolderExists(folder));
  EXPECT_EQ((std::vector<std::pair<std::string, std::string>>{{"\\??\\" + uninstaller, ""}}),
            files_test::PendingPairs());

  EXPECT_EQ(Run("/U /S"), 8u);
  EXPECT_EQ(ts::ResultRecord(), "0008");
}

TEST_F(RegistryRun, RegisteredDownloadFolderIsTheOneInTheSearchPath) {
  ASSERT_TRUE(CreateDirectoryA(kDownloads, nullptr));
  ASSERT_TRUE(CreateDirectoryA("C:\\DRIVERS", nullptr));
  regtest::SetValue(HKEY_LOCAL_MACHINE, kProduct, "DownloadDir", Sz(kDownloads));
  ASSERT_NO_FATAL_FAILURE(Install());
  EXPECT_TRUE(Registered(kDownloads));
  EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, kSearch + "\\C:\\DRIVERS"));
  EXPECT_EQ(ProductValues()["DownloadDir"], Sz(kDownloads));
}

TEST_F(RegistryRun, DefaultDownloadFolderInPlaceIsRegistered) {
  ASSERT_TRUE(CreateDirectoryA("C:\\DRIVERS", nullptr));
  ASSERT_NO_FATAL_FAILURE(Install());
  EXPECT_TRUE(Registered("C:\\DRIVERS"));
  EXPECT_EQ(ProductValues()["DownloadDir"], Sz("C:\\DRIVERS"));
  // A second install registers it again, now from "DownloadDir".
  EXPECT_EQ(Run("/S"), 0u);
  EXPECT_TRUE(Registered("C:\\DRIVERS"));
}

TEST_F(RegistryRun, ImageFoldersAndTheDownloadListFillTheSearchPath) {
  // "C:\NvxImages;C:\NvxImages\Extra" and "\DRIVERS;\DRIVERS\Download".
  ASSERT_TRUE(CreateDirectoryA(kImages, nullptr));
  ASSERT_TRUE(CreateDirectoryA((std::string(kImages) + "\\Extra").c_str(), nullptr));
  ASSERT_NO_FATAL_FAILURE(Install());
  EXPECT_TRUE(Registered(kImages));
  EXPECT_TRUE(Registered(std::string(kImages) + "\\Extra"));
  // No download folder was in place: the first missing entry of the list is made.
  EXPECT_TRUE(ts::FolderExists("C:\\DRIVERS"));
  EXPECT_FALSE(ts::FolderExists("C:\\DRIVERS\\Download"));
  EXPECT_TRUE(Registered("C:\\DRIVERS"));
  EXPECT_EQ(ProductValues()["DownloadDir"], Sz("C:\\DRIVERS"));
}

// Empty entries of the lists are passed over. In the download list one would
// name the drive itself ("C:"), which exists: as the last entry walked it
// would become the download folder.
TEST_F(RegistryRun, EmptyListEntriesArePassedOver) {
  ASSERT_TRUE(ts::SetPackageSetting(package_, "DOWNLOAD", ";\\DRIVERS;;"));
  ASSERT_TRUE(ts::SetPackageSetting(package_, "IMAGEPATH", ";C:\\NvxImages;;C:\\NvxImages\\Extra;"));
  ASSERT_TRUE(CreateDirectoryA(kImages, nullptr));
  ASSERT_TRUE(CreateDirectoryA((std::string(kImages) + "\\Extra").c_str(), nullptr));
  // A file C:\DRIVERS is no download folder in place, but it exists: the
  // list is walked to its end and nothing is made.
  ASSERT_TRUE(ts::WriteFileText("C:\\DRIVERS", "not a folder"));
  ASSERT_NO_FATAL_FAILURE(Install());
  DeleteFileA("C:\\DRIVERS");
  EXPECT_TRUE(Registered(kImages));
  EXPECT_TRUE(Registered(std::string(kImages) + "\\Extra"));
  EXPECT_EQ(ProductValues()["DownloadDir"], Sz("C:\\DRIVERS"));
  EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, kSearch + "\\C:\\DRIVERS"));
}

// A download folder whose search-path key would not fit: the install goes on
// through the search-path steps and then fails before "MenuDir".
TEST_F(RegistryRun, SearchPathEntryThatFailsEndsTheInstallInPhase12) {
  std::string folder = kLong;
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  while (folder.size() < 200) {
    folder += "\\" + std::string(45, 'd');
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
  }
  ASSERT_GT(folder.size(), 209u);
  regtest::SetValue(HKEY_LOCAL_MACHINE, kProduct, "DownloadDir", Sz(folder));
  EXPECT_EQ(Run("/S"), 12u);
  EXPECT_EQ(ts::ResultRecord(), "000C");
  std::vector<std::string> written = {"", "DownloadDir", "Name", "ProgDir", "Version"};
  EXPECT_EQ(Names(ProductValues()), written);
  EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, kSearch));
  EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, ts::kUninstallKey));
}

// An uninstall entry that cannot be changed: everything before it is written,
// nothing after it.
TEST_F(RegistryRun, FailingUninstallEntryEndsTheInstallInPhase12) {
  regtest::CreateKey(HKEY_LOCAL_MACHINE, ts::kUninstallKey);
  ASSERT_TRUE(regtest::MakeKeyReadOnly(HKEY_LOCAL_MACHINE, ts::kUninstallKey));
  regtest::SetValue(HKEY_LOCAL_MACHINE, kProduct + "\\Install\\DIDIVE", "Catalog", Sz("c"));
  EXPECT_EQ(Run("/S"), 12u);
  EXPECT_EQ(ts::ResultRecord(), "000C");
  std::vector<std::string> written = {"",     "DownloadDir", "InternetFunction", "MenuDir",
                                      "Name", "ProgDir",     "Version"};
  EXPECT_EQ(Names(ProductValues()), written);
  // The fix-up ran before the failing step.
  EXPECT_EQ(regtest::Values(HKEY_LOCAL_MACHINE, kProduct + "\\Install\\DIDIVE").count("Catalog"), 0u);
  EXPECT_TRUE(regtest::Values(HKEY_LOCAL_MACHINE, ts::kUninstallKey).empty());
  EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, ts::kInterfaceKey));
}

}  // namespace
