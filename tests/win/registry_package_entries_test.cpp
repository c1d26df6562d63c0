// The fix-up of the package entries under the product key's "Install" subkey.
#include <gtest/gtest.h>

#include <string>

#include "registry/product_key.h"
#include "win/registry_test_keys.h"

using regtest::Dword;
using regtest::Raw;
using regtest::Sz;
using regtest::Value;

namespace {

const char kKey[] = "SOFTWARE\\KWO\\PlumwickSoftwareInstaller";
const std::string kInstall = std::string(kKey) + "\\Install";
const Value kEmptyList = Raw(REG_MULTI_SZ, std::string(1, '\0'));
const Value kNeverUpdated = Raw(REG_BINARY, std::string(8, '\0'));

struct EntryCase {
  const char* name;
  std::map<std::string, Value> before;
  std::map<std::string, Value> after;
};

// Each entry with what it holds before and must hold after one fix-up.
std::vector<EntryCase> Cases() {
  const Value list = Raw(REG_MULTI_SZ, std::string("a\0b\0\0", 5));
  const Value stamp = Raw(REG_BINARY, "12345678");
  return {
      // Bare entries: the product's own gets 512, any other 256.
      {"DIDIVE", {}, {{"NVX", Dword(512)}, {"RegVersion", kEmptyList}, {"DeviceInfo", kEmptyList}}},
      {"didive", {}, {{"NVX", Dword(512)}, {"RegVersion", kEmptyList}, {"DeviceInfo", kEmptyList}}},
      {"DidIve", {{"Catalog", Sz("c")}},
       {{"NVX", Dword(512)}, {"RegVersion", kEmptyList}, {"DeviceInfo", kEmptyList}}},
      {"DIDIVE2", {}, {{"NVX", Dword(256)}, {"RegVersion", kEmptyList}, {"DeviceInfo", kEmptyList}}},
      {"Printer", {}, {{"NVX", Dword(256)}, {"RegVersion", kEmptyList}, {"DeviceInfo", kEmptyList}}},
      // Complete entries stay as they are, "Catalog" goes.
      {"Complete",
       {{"NVX", Dword(7)}, {"RegVersion", list}, {"DeviceInfo", list}, {"Version", Sz("1.0")},
        {"LastUpdate", stamp}, {"Catalog", Raw(REG_BINARY, "x")}, {"Other", Sz("o")}},
       {{"NVX", Dword(7)}, {"RegVersion", list}, {"DeviceInfo", list}, {"Version", Sz("1.0")},
        {"LastUpdate", stamp}, {"Other", Sz("o")}}},
      // "NVX" longer than 4 bytes is replaced; a shorter one is the product's and stays.
      {"Long NVX", {{"NVX", Raw(REG_BINARY, "12345678")}, {"RegVersion", list}, {"DeviceInfo", list}},
       {{"NVX", Dword(256)}, {"RegVersion", list}, {"DeviceInfo", list}}},
      {"Short NVX", {{"NVX", Raw(REG_BINARY, "12")}, {"RegVersion", list}, {"DeviceInfo", list}},
       {{"NVX", Raw(REG_BINARY, "12")}, {"RegVersion", list}, {"DeviceInfo", list}}},
      {"Empty lists kept",
       {{"NVX", Dword(1)}, {"RegVersion", Raw(REG_MULTI_SZ, "")}, {"DeviceInfo", Sz("d")}},
       {{"NVX", Dword(1)}, {"RegVersion", Raw(REG_MULTI_SZ, "")}, {"DeviceInfo", Sz("d")}}},
      // "LastUpdate" for a "Version" of at most 3 bytes.
      {"Version empty", {{"NVX", Dword(1)}, {"RegVersion", list}, {"DeviceInfo", list},
                         {"Version", Sz("")}},
       {{"NVX", Dword(1)}, {"RegVersion", list}, {"DeviceInfo", list}, {"Version", Sz("")},
        {"LastUpdate", kNeverUpdated}}},
      {"Version two", {{"NVX", Dword(1)}, {"RegVersion", list}, {"DeviceInfo", list},
                       {"Version", Sz("ab")}, {"LastUpdate", stamp}},
       {{"NVX", Dword(1)}, {"RegVersion", list}, {"DeviceInfo", list}, {"Version", Sz("ab")},
        {"LastUpdate", kNeverUpdated}}},
      {"Version three", {{"NVX", Dword(1)}, {"RegVersion", list}, {"DeviceInfo", list},
                         {"Version", Sz("abc")}},
       {{"NVX", Dword(1)}, {"RegVersion", list}, {"DeviceInfo", list}, {"Version", Sz("abc")}}},
      {"Version too long to read", {{"NVX", Dword(1)}, {"RegVersion", list}, {"DeviceInfo", list},
                                    {"Version", Sz(std::string(300, 'v'))}},
       {{"NVX", Dword(1)}, {"RegVersion", list}, {"DeviceInfo", list},
        {"Version", Sz(std::string(300, 'v'))}}},
  };
}

class PackageEntriesTest : public ::testing::Test {
 protected:
  void SetUp() override { regtest::DeleteTree(HKEY_LOCAL_MACHINE, kKey); }
  void TearDown() override {
    regtest::DeleteTree(HKEY_LOCAL_MACHINE, kKey);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\KWO");
  }
  void Fill(const std::vector<EntryCase>& cases) {
    for (const EntryCase& c : cases) {
      regtest::CreateKey(HKEY_LOCAL_MACHINE, kInstall + "\\" + c.name);
      for (const auto& v : c.before) {
        regtest::SetValue(HKEY_LOCAL_MACHINE, kInstall + "\\" + c.name, v.first.c_str(), v.second);
      }
    }
  }
  void Check(const std::vector<EntryCase>& cases) {
    for (const EntryCase& c : cases) {
      EXPECT_EQ(regtest::Values(HKEY_LOCAL_MACHINE, kInstall + "\\" + c.name), c.after) << c.name;
    }
  }
};

TEST_F(PackageEntriesTest, EveryEntryGetsTheValuesItLacks) {
  std::vector<EntryCase> cases = Cases();
  Fill(cases);
  EXPECT_EQ(FixUpPackageEntries(), 1);
  Check(cases);
  // A second run changes nothing more.
  EXPECT_EQ(FixUpPackageEntries(), 1);
  Check(cases);
}

TEST_F(PackageEntriesTest, EntryThatCannotBeOpenedIsPassedOver) {
  std::vector<EntryCase> cases = Cases();
  Fill(cases);
  regtest::SetValue(HKEY_LOCAL_MACHINE, kInstall + "\\Locked", "Catalog", Sz("c"));
  ASSERT_TRUE(regtest::MakeKeyReadOnly(HKEY_LOCAL_MACHINE, kInstall + "\\Locked"));
  EXPECT_EQ(FixUpPackageEntries(), 1);
  Check(cases);
  std::map<std::string, Value> locked = {{"Catalog", Sz("c")}};
  EXPECT_EQ(regtest::Values(HKEY_LOCAL_MACHINE, kInstall + "\\Locked"), locked);
}

TEST_F(PackageEntriesTest, NothingToFixSucceeds) {
  EXPECT_EQ(FixUpPackageEntries(), 1);  // no product key
  regtest::CreateKey(HKEY_LOCAL_MACHINE, kKey);
  EXPECT_EQ(FixUpPackageEntries(), 1);  // no "Install"
  EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, kInstall));
  regtest::SetValue(HKEY_LOCAL_MACHINE, kInstall, "NVX", Sz("on the key itself"));
  EXPECT_EQ(FixUpPackageEntries(), 1);  // empty "Install"
  std::map<std::string, Value> own = {{"NVX", Sz("on the key itself")}};
  EXPECT_EQ(regtest::Values(HKEY_LOCAL_MACHINE, kInstall), own);
}

}  // namespace
