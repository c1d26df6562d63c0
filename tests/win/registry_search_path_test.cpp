// The search-path tree and the recursive key deletion.
#include <gtest/gtest.h>

#include <string>

#include "common/option_bits.h"
#include "registry/product_key.h"
#include "win/registry_test_keys.h"

using regtest::Sz;
using regtest::Value;

namespace {

const char kKey[] = "SOFTWARE\\KWO\\PlumwickSoftwareInstaller";
const std::string kSearch = std::string(kKey) + "\\SearchPath";

class SearchPathTest : public ::testing::Test {
 protected:
  void SetUp() override { regtest::DeleteTree(HKEY_LOCAL_MACHINE, kKey); }
  void TearDown() override {
    regtest::DeleteTree(HKEY_LOCAL_MACHINE, kKey);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\KWO");
  }
  // Values of the key of a folder's path below "SearchPath".
  std::map<std::string, Value> At(const std::string& below) {
    return regtest::Values(HKEY_LOCAL_MACHINE, kSearch + "\\" + below);
  }
  std::vector<std::string> SubkeysAt(const std::string& below) {
    return regtest::Subkeys(HKEY_LOCAL_MACHINE, below.empty() ? kSearch : kSearch + "\\" + below);
  }
  bool Exists(const std::string& below) {
    return ts::RegKeyExists(HKEY_LOCAL_MACHINE, kSearch + "\\" + below);
  }
};

TEST_F(SearchPathTest, OneKeyLevelPerFolderComponent) {
  ASSERT_EQ(RegisterSearchFolder("C:\\DRIVERS", OptInstall), 1);
  EXPECT_EQ(SubkeysAt(""), std::vector<std::string>{"C:"});
  EXPECT_TRUE(At("C:").empty());
  EXPECT_EQ(SubkeysAt("C:"), std::vector<std::string>{"DRIVERS"});
  std::map<std::string, Value> expected = {{"", Sz("C:\\DRIVERS")}};
  EXPECT_EQ(At("C:\\DRIVERS"), expected);
  EXPECT_TRUE(SubkeysAt("C:\\DRIVERS").empty());
}

TEST_F(SearchPathTest, ParentRegisteredLaterRemovesTheFolderInsideIt) {
  ASSERT_EQ(RegisterSearchFolder("C:\\DRIVERS\\Video\\Cards", OptInstall), 1);
  ASSERT_EQ(RegisterSearchFolder("C:\\DRIVERS\\Sound", OptInstall), 1);
  ASSERT_EQ(RegisterSearchFolder("C:\\IMAGES", OptInstall), 1);
  ASSERT_EQ(RegisterSearchFolder("C:\\DRIVERS", OptInstall), 1);
  EXPECT_TRUE(SubkeysAt("C:\\DRIVERS").empty());
  std::map<std::string, Value> expected = {{"", Sz("C:\\DRIVERS")}};
  EXPECT_EQ(At("C:\\DRIVERS"), expected);
  // A folder beside it stays.
  EXPECT_EQ(At("C:\\IMAGES")[""], Sz("C:\\IMAGES"));
}

TEST_F(SearchPathTest, EmptyingAlsoDropsOtherValuesOfTheFolderKey) {
  regtest::SetValue(HKEY_LOCAL_MACHINE, kSearch + "\\C:\\DRIVERS", "Foreign", Sz("x"));
  regtest::SetValue(HKEY_LOCAL_MACHINE, kSearch + "\\C:\\DRIVERS\\A", "", Sz("C:\\DRIVERS\\A"));
  ASSERT_EQ(RegisterSearchFolder("C:\\DRIVERS", OptInstall), 1);
  std::map<std::string, Value> expected = {{"", Sz("C:\\DRIVERS")}};
  EXPECT_EQ(At("C:\\DRIVERS"), expected);
  EXPECT_TRUE(SubkeysAt("C:\\DRIVERS").empty());
}

TEST_F(SearchPathTest, FolderRegisteredAfterItsParentGoesBelowIt) {
  ASSERT_EQ(RegisterSearchFolder("C:\\DRIVERS", OptInstall), 1);
  ASSERT_EQ(RegisterSearchFolder("C:\\DRIVERS\\A", OptInstall), 1);
  EXPECT_EQ(At("C:\\DRIVERS")[""], Sz("C:\\DRIVERS"));
  EXPECT_EQ(SubkeysAt("C:\\DRIVERS"), std::vector<std::string>{"A"});
  EXPECT_EQ(At("C:\\DRIVERS\\A")[""], Sz("C:\\DRIVERS\\A"));
  // Registering the same folder again keeps the tree as it is.
  ASSERT_EQ(RegisterSearchFolder("C:\\DRIVERS\\A", OptInstall), 1);
  EXPECT_EQ(At("C:\\DRIVERS")[""], Sz("C:\\DRIVERS"));
  EXPECT_EQ(At("C:\\DRIVERS\\A")[""], Sz("C:\\DRIVERS\\A"));
}

TEST_F(SearchPathTest, UninstallRemovesTheWholeSubkeyAndKeepsTheProductKey) {
  ASSERT_EQ(RegisterProgramFolder("C:\\P", OptInstall), 1);
  ASSERT_EQ(RegisterSearchFolder("C:\\DRIVERS", OptInstall), 1);
  ASSERT_EQ(RegisterSearchFolder("D:\\IMAGES\\X", OptInstall), 1);
  regtest::SetValue(HKEY_LOCAL_MACHINE, kSearch, "Foreign", Sz("x"));
  EXPECT_EQ(RegisterSearchFolder(nullptr, 0), 1);
  EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, kSearch));
  EXPECT_TRUE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, kKey));
  EXPECT_EQ(regtest::Values(HKEY_LOCAL_MACHINE, kKey).size(), 2u);
  // Nothing left to remove is no failure.
  EXPECT_EQ(RegisterSearchFolder(nullptr, 0), 1);
}

TEST_F(SearchPathTest, FolderTooLongForTheKeyPathFailsWithoutAKey) {
  // "SOFTWARE\KWO\PlumwickSoftwareInstaller\SearchPath\" takes 50 of the 260
  // bytes: a folder of 209 characters fits, 210 do not.
  std::string folder = "C:";
  while (folder.size() < 209) folder += "\\" + std::string(40, 'f');
  folder.resize(209);
  ASSERT_NE(folder.back(), '\\');
  EXPECT_EQ(RegisterSearchFolder(folder.c_str(), OptInstall), 1);
  EXPECT_EQ(At(folder)[""], Sz(folder));
  regtest::DeleteTree(HKEY_LOCAL_MACHINE, kSearch);

  std::string longer = folder + "g";
  EXPECT_EQ(RegisterSearchFolder(longer.c_str(), OptInstall), 0);
  EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, kSearch));
}

TEST_F(SearchPathTest, DeleteKeyTreeWithANameDeletesTheKeyAndEverythingBelow) {
  const std::string root = std::string(kKey) + "\\Tree";
  regtest::SetValue(HKEY_LOCAL_MACHINE, root, "", Sz("r"));
  regtest::SetValue(HKEY_LOCAL_MACHINE, root, "v", Sz("v"));
  for (const char* sub : {"\\a", "\\a\\b", "\\a\\b\\c", "\\d", "\\e\\f"}) {
    regtest::SetValue(HKEY_LOCAL_MACHINE, root + sub, "x", Sz("x"));
    regtest::SetValue(HKEY_LOCAL_MACHINE, root + sub, "y", regtest::Dword(1));
  }
  regtest::SetValue(HKEY_LOCAL_MACHINE, kKey, "Beside", Sz("b"));
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  EXPECT_EQ(DeleteKeyTree(key, "Tree"), 1);
  RegCloseKey(key);
  EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, root));
  EXPECT_EQ(regtest::Values(HKEY_LOCAL_MACHINE, kKey).size(), 1u);
}

TEST_F(SearchPathTest, DeleteKeyTreeWithoutANameEmptiesTheKey) {
  const std::string root = std::string(kKey) + "\\Tree";
  regtest::SetValue(HKEY_LOCAL_MACHINE, root, "", Sz("r"));
  regtest::SetValue(HKEY_LOCAL_MACHINE, root, "v", Sz("v"));
  regtest::SetValue(HKEY_LOCAL_MACHINE, root + "\\a\\b", "x", Sz("x"));
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, root.c_str(), 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  EXPECT_EQ(DeleteKeyTree(key, nullptr), 1);
  RegCloseKey(key);
  EXPECT_TRUE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, root));
  EXPECT_TRUE(regtest::Values(HKEY_LOCAL_MACHINE, root).empty());
  EXPECT_TRUE(regtest::Subkeys(HKEY_LOCAL_MACHINE, root).empty());
}

TEST_F(SearchPathTest, DeleteKeyTreeOfAMissingKeySucceeds) {
  EXPECT_EQ(DeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\KWO\\PlumwickSoftwareInstaller\\None"), 1);
  EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, kKey));
}

}  // namespace
