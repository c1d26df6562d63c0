// The system's uninstall entry and the interface path key.
#include <gtest/gtest.h>

#include <string>

#include "common/option_bits.h"
#include "registry/uninstall_entry.h"
#include "win/registry_test_keys.h"

using regtest::Dword;
using regtest::Sz;
using regtest::Value;

namespace {

const std::string kUninstall = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const std::string kEntry = kUninstall + "\\PlumwickSoftwareInstaller";
const std::string kInterface = kUninstall + "\\{5E0C71A2-8B3D-4F6A-9C21-0D7E4B93A6F8}";

class UninstallEntryTest : public ::testing::Test {
 protected:
  void SetUp() override { Clean(); }
  void TearDown() override {
    regtest::StopWatchingWrites();
    Clean();
  }
  void Clean() {
    regtest::DeleteTree(HKEY_LOCAL_MACHINE, kEntry);
    regtest::DeleteTree(HKEY_LOCAL_MACHINE, kInterface);
  }
  std::map<std::string, Value> Entry() { return regtest::Values(HKEY_LOCAL_MACHINE, kEntry); }
  std::map<std::string, Value> Interface() {
    return regtest::Values(HKEY_LOCAL_MACHINE, kInterface);
  }
  std::string Icon() { return ts::WindowsDir() + "\\_nvxu000.exe,0"; }
};

TEST_F(UninstallEntryTest, InstallWritesTheFourValues) {
  regtest::SetValue(HKEY_LOCAL_MACHINE, kEntry, "SystemComponent", Dword(1));
  ASSERT_EQ(RegisterUninstallEntry("_nvxu000.exe", "Ravozeve Vuzizirer", "1.03.0000", OptInstall), 1);
  std::map<std::string, Value> expected = {
      {"DisplayName", Sz("Ravozeve Vuzizirer")},
      {"UninstallString", Sz("_nvxu000.exe /U")},
      {"DisplayIcon", Sz(Icon())},
      {"DisplayVersion", Sz("1.03.0000")}};
  EXPECT_EQ(Entry(), expected);
}

TEST_F(UninstallEntryTest, KeepSettingsLeavesTheDisplayNameAlone) {
  regtest::SetValue(HKEY_LOCAL_MACHINE, kEntry, "DisplayName", Sz("Renamed by the user"));
  regtest::SetValue(HKEY_LOCAL_MACHINE, kEntry, "UninstallString", Sz("old /U"));
  regtest::SetValue(HKEY_LOCAL_MACHINE, kEntry, "DisplayVersion", Sz("1.00.0000"));
  regtest::SetValue(HKEY_LOCAL_MACHINE, kEntry, "SystemComponent", Sz("1"));
  ASSERT_EQ(RegisterUninstallEntry("_nvxu000.exe", "Ravozeve Vuzizirer", "1.03.0000",
                                   OptInstall | OptKeepSettings),
            1);
  std::map<std::string, Value> expected = {
      {"DisplayName", Sz("Renamed by the user")},
      {"UninstallString", Sz("_nvxu000.exe /U")},
      {"DisplayIcon", Sz(Icon())},
      {"DisplayVersion", Sz("1.03.0000")}};
  EXPECT_EQ(Entry(), expected);
}

TEST_F(UninstallEntryTest, KeepSettingsWithoutAnEntryCreatesItWithoutADisplayName) {
  ASSERT_EQ(RegisterUninstallEntry("_nvxu000.exe", "Ravozeve Vuzizirer", "1.03.0000",
                                   OptInstall | OptKeepSettings),
            1);
  std::map<std::string, Value> expected = {
      {"UninstallString", Sz("_nvxu000.exe /U")},
      {"DisplayIcon", Sz(Icon())},
      {"DisplayVersion", Sz("1.03.0000")}};
  EXPECT_EQ(Entry(), expected);
}

// The first value that cannot be set ends the chain; "SystemComponent" goes anyway.
TEST_F(UninstallEntryTest, RefusedValueEndsTheChain) {
  regtest::ExpectARefusedValueEndsTheChain(
      {HKEY_LOCAL_MACHINE, kEntry, {"DisplayName", "UninstallString", "DisplayIcon", "DisplayVersion"},
       {"SystemComponent"},
       [] { return RegisterUninstallEntry("_nvxu000.exe", "N", "V", OptInstall); },
       [] { regtest::SetValue(HKEY_LOCAL_MACHINE, kEntry, "SystemComponent", Dword(1)); }});
}

TEST_F(UninstallEntryTest, UninstallDeletesTheKey) {
  ASSERT_EQ(RegisterUninstallEntry("_nvxu000.exe", "N", "V", OptInstall), 1);
  EXPECT_EQ(RegisterUninstallEntry(nullptr, nullptr, nullptr, 0), 1);
  EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, kEntry));
  EXPECT_TRUE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, kUninstall));
  // An entry gone already counts as removed: the uninstall can run again.
  EXPECT_EQ(RegisterUninstallEntry(nullptr, nullptr, nullptr, 0), 1);
}

TEST_F(UninstallEntryTest, InterfacePathValuesAndTypes) {
  ASSERT_EQ(RegisterInterfacePath("_nvxu000.exe", OptInstall), 1);
  std::map<std::string, Value> expected = {
      {"InterfacePath", Sz(ts::WindowsDir() + "\\_nvxu000.exe")},
      {"VeruZadovo", Dword(2)},
      {"Farrowmind", Dword(0)}};
  EXPECT_EQ(Interface(), expected);
}

TEST_F(UninstallEntryTest, InterfacePathRefusedValueEndsTheChain) {
  regtest::ExpectARefusedValueEndsTheChain(
      {HKEY_LOCAL_MACHINE, kInterface, {"InterfacePath", "VeruZadovo", "Farrowmind"}, {},
       [] { return RegisterInterfacePath("_nvxu000.exe", OptInstall); }, nullptr});
}

TEST_F(UninstallEntryTest, InterfacePathUninstallKeepsTheKeyAndForeignValues) {
  ASSERT_EQ(RegisterInterfacePath("_nvxu000.exe", OptInstall), 1);
  regtest::SetValue(HKEY_LOCAL_MACHINE, kInterface, "Foreign", Sz("f"));
  EXPECT_EQ(RegisterInterfacePath(nullptr, 0), 1);
  EXPECT_TRUE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, kInterface));
  std::map<std::string, Value> expected = {{"Foreign", Sz("f")}};
  EXPECT_EQ(Interface(), expected);
  // Values already gone: still removed.
  EXPECT_EQ(RegisterInterfacePath(nullptr, 0), 1);
}

// Windows 9x and NT 4.0 never get the key; an uninstall there must not fail.
TEST_F(UninstallEntryTest, InterfacePathUninstallWithoutTheKeySucceeds) {
  EXPECT_EQ(RegisterInterfacePath(nullptr, 0), 1);
  EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, kInterface));
}

TEST_F(UninstallEntryTest, InterfacePathThatCannotBeOpenedFails) {
  ASSERT_EQ(RegisterInterfacePath("_nvxu000.exe", OptInstall), 1);
  ASSERT_TRUE(regtest::MakeKeyReadOnly(HKEY_LOCAL_MACHINE, kInterface));
  EXPECT_EQ(RegisterInterfacePath(nullptr, 0), 0);
  EXPECT_EQ(RegisterInterfacePath("_nvxu000.exe", OptInstall), 0);
  EXPECT_EQ(Interface().size(), 3u);
}

}  // namespace
