// The product key's writers and readers against the real registry.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "common/option_bits.h"
#include "common/text.h"
#include "registry/product_key.h"
#include "win/registry_test_keys.h"

using regtest::Dword;
using regtest::Raw;
using regtest::Sz;
using regtest::Value;

namespace {

const char kKey[] = "SOFTWARE\\KWO\\PlumwickSoftwareInstaller";
const std::string kKeyS = kKey;
const uint32_t kInstall = OptInstall;
const uint32_t kRemove = 0;

class ProductKeyTest : public ::testing::Test {
 protected:
  void SetUp() override { regtest::DeleteTree(HKEY_LOCAL_MACHINE, kKey); }
  void TearDown() override {
    regtest::StopWatchingWrites();
    regtest::DeleteTree(HKEY_LOCAL_MACHINE, kKey);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\KWO");  // only goes when empty
  }
  std::map<std::string, Value> Values() { return regtest::Values(HKEY_LOCAL_MACHINE, kKey); }
  void Set(const char* name, const Value& v) { regtest::SetValue(HKEY_LOCAL_MACHINE, kKey, name, v); }

  // The writers of a whole install, in the driver's order.
  void InstallAll(const char* downloadFolder = "C:\\DRIVERS", int internetFunction = 2) {
    ASSERT_EQ(RegisterProgramFolder("C:\\Program Files\\Ravozeve", kInstall), 1);
    ASSERT_EQ(RegisterNameAndVersion("Ravozeve Vuzizirer", "1.03.0000", kInstall), 1);
    ASSERT_EQ(RegisterSearchFolder("C:\\DRIVERS", kInstall), 1);
    ASSERT_EQ(RegisterGroupFolder("C:\\Menu\\Ravozeve", kInstall), 1);
    ASSERT_EQ(RegisterDownloadSettings(internetFunction, downloadFolder, kInstall), 1);
  }
};

TEST_F(ProductKeyTest, EachInstallWriterAddsExactlyItsValues) {
  ASSERT_EQ(RegisterProgramFolder("C:\\Program Files\\Ravozeve", kInstall), 1);
  std::map<std::string, Value> expected = {
      {"", Sz("C:\\Program Files\\Ravozeve\\DidIve.exe")},
      {"ProgDir", Sz("C:\\Program Files\\Ravozeve")}};
  EXPECT_EQ(Values(), expected);

  ASSERT_EQ(RegisterNameAndVersion("Ravozeve Vuzizirer", "1.03.0000", kInstall), 1);
  expected["Name"] = Sz("Ravozeve Vuzizirer");
  expected["Version"] = Sz("1.03.0000");
  EXPECT_EQ(Values(), expected);

  ASSERT_EQ(RegisterGroupFolder("C:\\Menu\\Ravozeve", kInstall), 1);
  expected["MenuDir"] = Sz("C:\\Menu\\Ravozeve");
  EXPECT_EQ(Values(), expected);

  ASSERT_EQ(RegisterDownloadSettings(1, "C:\\DRIVERS", kInstall), 1);
  expected["DownloadDir"] = Sz("C:\\DRIVERS");
  expected["InternetFunction"] = Dword(1);
  EXPECT_EQ(Values(), expected);
  EXPECT_TRUE(regtest::Subkeys(HKEY_LOCAL_MACHINE, kKey).empty());
}

// No separator is added or removed; a folder too long for the program path
// ("C:\" and 250 characters, plus "\DidIve.exe" is 264) fails.
TEST_F(ProductKeyTest, ProgramPathIsTheFolderTextAndTheProgramName) {
  const struct {
    std::string folder;
    int result;
    size_t paths;  // default values written
  } cases[] = {{"C:\\" + std::string(250, 'a'), 0, 0}, {"C:\\", 1, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folder);
    EXPECT_EQ(RegisterProgramFolder(c.folder.c_str(), kInstall), c.result);
    EXPECT_EQ(Values().count(""), c.paths);
  }
  EXPECT_EQ(Values()[""], Sz("C:\\\\DidIve.exe"));
}

TEST_F(ProductKeyTest, InstallOverAnotherDownloadFolderKeepsItAndOverwritesInternetFunction) {
  InstallAll("C:\\DRIVERS", 2);
  ASSERT_EQ(RegisterDownloadSettings(0, "D:\\Elsewhere", kInstall), 1);
  EXPECT_EQ(Values()["DownloadDir"], Sz("C:\\DRIVERS"));
  EXPECT_EQ(Values()["InternetFunction"], Dword(0));
}

// Writing needs the key; removing from a key that is gone finds nothing
// left to remove, which an uninstall run again must count as done.
TEST_F(ProductKeyTest, WritersOtherThanTheProgramFolderNeedTheKey) {
  for (uint32_t flags : {kInstall, kRemove}) {
    SCOPED_TRACE(flags);
    const int expected = flags == kRemove ? 1 : 0;
    EXPECT_EQ(RegisterNameAndVersion("N", "V", flags), expected);
    EXPECT_EQ(RegisterGroupFolder("G", flags), expected);
    EXPECT_EQ(RegisterDownloadSettings(1, "D", flags), expected);
    EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, kKey));
  }
  EXPECT_EQ(RegisterProgramFolder(nullptr, kRemove), 1);
  EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, kKey));
}

TEST_F(ProductKeyTest, UninstallKeepsInternetFunctionInstallEntriesAndForeignValues) {
  InstallAll();
  Set("ProxyServer", Sz("proxy:8080"));
  Set("Foreign", Dword(7));
  regtest::SetValue(HKEY_LOCAL_MACHINE, kKeyS + "\\Install\\DIDIVE", "NVX", Dword(512));

  EXPECT_EQ(RegisterProgramFolder(nullptr, kRemove), 1);
  EXPECT_EQ(RegisterNameAndVersion(nullptr, nullptr, kRemove), 1);
  EXPECT_EQ(RegisterGroupFolder(nullptr, kRemove), 1);
  EXPECT_EQ(RegisterDownloadSettings(0, nullptr, kRemove), 1);
  EXPECT_EQ(RegisterSearchFolder(nullptr, kRemove), 1);

  std::map<std::string, Value> expected = {{"InternetFunction", Dword(2)}, {"Foreign", Dword(7)}};
  EXPECT_EQ(Values(), expected);
  EXPECT_EQ(regtest::Subkeys(HKEY_LOCAL_MACHINE, kKey), std::vector<std::string>{"Install"});
  EXPECT_EQ(regtest::Values(HKEY_LOCAL_MACHINE, kKeyS + "\\Install\\DIDIVE")["NVX"], Dword(512));
}

// A value already missing (an uninstall that stopped part way) counts as
// removed: the writer removes the rest of its values and succeeds.
struct MissingCase {
  const char* label;
  const char* missing;
  int (*removal)();
  std::vector<std::string> remaining;  // of the values written by InstallAll
};

class UninstallWithMissingValueTest : public ProductKeyTest,
                                      public ::testing::WithParamInterface<MissingCase> {};

TEST_P(UninstallWithMissingValueTest, RemovesTheRestAndSucceeds) {
  const MissingCase& c = GetParam();
  InstallAll();
  Set("ProxyServer", Sz("proxy"));
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
  RegDeleteValueA(key, c.missing);
  RegCloseKey(key);

  EXPECT_EQ(c.removal(), 1) << c.label;
  std::vector<std::string> names;
  for (const auto& entry : Values()) names.push_back(entry.first);
  EXPECT_EQ(names, c.remaining) << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Chains, UninstallWithMissingValueTest,
    ::testing::Values(
        MissingCase{"default value missing", "",
                    [] { return RegisterProgramFolder(nullptr, kRemove); },
                    {"DownloadDir", "InternetFunction", "MenuDir", "Name", "ProxyServer", "Version"}},
        MissingCase{"ProgDir missing", "ProgDir",
                    [] { return RegisterProgramFolder(nullptr, kRemove); },
                    {"DownloadDir", "InternetFunction", "MenuDir", "Name", "ProxyServer", "Version"}},
        MissingCase{"Name missing", "Name",
                    [] { return RegisterNameAndVersion(nullptr, nullptr, kRemove); },
                    {"", "DownloadDir", "InternetFunction", "MenuDir", "ProgDir", "ProxyServer"}},
        MissingCase{"MenuDir missing", "MenuDir",
                    [] { return RegisterGroupFolder(nullptr, kRemove); },
                    {"", "DownloadDir", "InternetFunction", "Name", "ProgDir", "ProxyServer",
                     "Version"}},
        MissingCase{"DownloadDir missing", "DownloadDir",
                    [] { return RegisterDownloadSettings(0, nullptr, kRemove); },
                    {"", "InternetFunction", "MenuDir", "Name", "ProgDir", "Version"}}));

TEST_F(ProductKeyTest, UninstallRefusedDefaultValueDeletionKeepsProgDir) {
  ASSERT_EQ(RegisterProgramFolder("C:\\P", kInstall), 1);
  regtest::WatchWrites("");
  EXPECT_EQ(RegisterProgramFolder(nullptr, kRemove), 0);
  regtest::StopWatchingWrites();
  EXPECT_EQ(regtest::Log().names, std::vector<std::string>{""});
  EXPECT_EQ(Values().count("ProgDir"), 1u);
}

TEST_F(ProductKeyTest, ReadOnlyProductKeyFailsEveryWriter) {
  ASSERT_EQ(RegisterProgramFolder("C:\\P", kInstall), 1);
  ASSERT_TRUE(regtest::MakeKeyReadOnly(HKEY_LOCAL_MACHINE, kKey));
  EXPECT_EQ(RegisterProgramFolder("C:\\Q", kInstall), 0);
  EXPECT_EQ(RegisterNameAndVersion("N", "V", kInstall), 0);
  EXPECT_EQ(RegisterGroupFolder("G", kInstall), 0);
  EXPECT_EQ(RegisterDownloadSettings(1, "D", kInstall), 0);
  EXPECT_EQ(RegisterProgramFolder(nullptr, kRemove), 0);
  std::map<std::string, Value> expected = {{"", Sz("C:\\P\\DidIve.exe")}, {"ProgDir", Sz("C:\\P")}};
  EXPECT_EQ(Values(), expected);
  // The readers still get what is there.
  char folder[MAX_PATH];
  EXPECT_EQ(ReadProgramFolder(folder), 1);
  EXPECT_STREQ(folder, "C:\\P");
}

// --- Readers -------------------------------------------------------------

using StringReader = int (*)(char* buffer, DWORD size);

const char kWindowsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion";
const char kWindowsSetting[] = "RegistryTestSetting";

struct ReaderCase {
  const char* label;
  const char* key;
  const char* valueName;
  StringReader read;
  DWORD fixedSize;  // readers without a size argument use 260 bytes
};

const ReaderCase kReaders[] = {
    {"ReadProgramFolder", kKey, "ProgDir", [](char* b, DWORD) { return ReadProgramFolder(b); },
     MAX_PATH},
    {"ReadProgramPath", kKey, "", [](char* b, DWORD s) { return ReadProgramPath(b, s); }, 0},
    {"ReadGroupFolder", kKey, "MenuDir", [](char* b, DWORD) { return ReadGroupFolder(b); }, MAX_PATH},
    {"ReadDownloadFolder", kKey, "DownloadDir",
     [](char* b, DWORD s) { return ReadDownloadFolder(b, s); }, 0},
    {"ReadWindowsSetting", kWindowsKey, kWindowsSetting,
     [](char* b, DWORD s) { return ReadWindowsSetting(kWindowsSetting, b, s); }, 0},
};

struct StoredCase {
  const char* label;
  Value stored;
  int expectedResult;
  std::string expectedText;
};

const StoredCase kStored[] = {
    {"plain text", Sz("C:\\Some Folder"), 1, "C:\\Some Folder"},
    {"empty text", Sz(""), 1, ""},
    {"no data at all", Raw(REG_SZ, ""), 1, ""},
    {"text stored without its zero", Raw(REG_SZ, "C:\\abc"), 1, "C:\\abc"},
    {"a number", Dword(5), 0, ""},
    {"an expandable text, not expanded", Raw(REG_EXPAND_SZ, std::string("%WINDIR%\0", 9)), 1,
     "%WINDIR%"},
    {"binary bytes", Raw(REG_BINARY, "abcdefgh"), 0, ""},
    {"a list", Raw(REG_MULTI_SZ, std::string("a\0b\0\0", 5)), 0, ""},
    {"text longer than the buffer", Sz(std::string(300, 'x')), 0, ""},
};

class ReaderTest : public ProductKeyTest {
 protected:
  void TearDown() override {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kWindowsKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
      RegDeleteValueA(key, kWindowsSetting);
      RegCloseKey(key);
    }
    ProductKeyTest::TearDown();
  }
  static void Store(const ReaderCase& reader, const Value& v) {
    regtest::SetValue(HKEY_LOCAL_MACHINE, reader.key, reader.valueName, v);
  }
};

TEST_F(ReaderTest, StoredDataIsReadOnlyAsTerminatedText) {
  for (const ReaderCase& reader : kReaders) {
    for (const StoredCase& stored : kStored) {
      SCOPED_TRACE(std::string(reader.label) + ": " + stored.label);
      Store(reader, stored.stored);
      // The buffer lies inside a larger block prefilled with marks.
      std::string block(MAX_PATH + 16, 'X');
      char* buffer = &block[8];
      EXPECT_EQ(reader.read(buffer, MAX_PATH), stored.expectedResult);
      EXPECT_EQ(std::string(buffer), stored.expectedText);
      EXPECT_EQ(block.substr(0, 8), std::string(8, 'X'));
      EXPECT_EQ(block.substr(8 + MAX_PATH), std::string(8, 'X'));
    }
  }
}

TEST_F(ReaderTest, MissingKeyOrValueReadsNothing) {
  for (bool keyExists : {false, true}) {
    if (keyExists) Set("Other", Sz("x"));
    for (const ReaderCase& reader : kReaders) {
      SCOPED_TRACE(std::string(reader.label) + (keyExists ? ": no value" : ": no key"));
      char buffer[MAX_PATH];
      memset(buffer, 'X', sizeof(buffer));
      EXPECT_EQ(reader.read(buffer, MAX_PATH), 0);
      EXPECT_EQ(buffer[0], '\0');
    }
  }
}

TEST_F(ReaderTest, SizedReadersKeepToTheSizeGiven) {
  const struct {
    const char* label;
    Value stored;
    int result;
    std::string text;
  } cases[] = {
      {"fits with its zero in 6 bytes", Sz("abcde"), 1, "abcde"},
      {"one byte too long", Sz("abcdef"), 0, ""},
      // Room for the zero is needed also when it is not stored.
      {"stored without its zero", Raw(REG_SZ, "abcdef"), 0, ""},
  };
  for (const ReaderCase& reader : kReaders) {
    if (reader.fixedSize != 0) continue;
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(reader.label) + ": " + c.label);
      std::string block(32, 'X');
      Store(reader, c.stored);
      EXPECT_EQ(reader.read(&block[0], 6), c.result);
      EXPECT_EQ(std::string(block.c_str()), c.text);
      EXPECT_EQ(block.substr(6), std::string(26, 'X'));
    }
  }
}

struct VersionCase {
  std::string stored;
  std::string shown;
};

TEST_F(ReaderTest, NameAndVersionUnpackEightCharacterVersions) {
  const VersionCase cases[] = {{"0103000B", "1.03.000B"}, {"01030000", "1.03.0000"},
                               {"0300000A", "3.00.000A"}, {"1.03.0000", "1.03.0000"},
                               {"3.0", "3.0"},            {"", ""}};
  Set("Name", Sz("Ravozeve Vuzizirer"));
  for (const VersionCase& c : cases) {
    SCOPED_TRACE(c.stored);
    Set("Version", Sz(c.stored));
    char name[MAX_PATH];
    char version[MAX_PATH];
    EXPECT_EQ(ReadNameAndVersion(name, version), 1);
    EXPECT_STREQ(name, "Ravozeve Vuzizirer");
    EXPECT_EQ(std::string(version), c.shown);
    // The stored text is not changed.
    EXPECT_EQ(Values()["Version"], Sz(c.stored));
  }
}

TEST_F(ReaderTest, NameAndVersionNeedBoth) {
  char name[MAX_PATH];
  char version[MAX_PATH];
  EXPECT_EQ(ReadNameAndVersion(name, version), 0);  // no key
  Set("Version", Sz("1.03.0000"));
  ASSERT_EQ(1, TextCopy(version, sizeof(version), "untouched"));
  EXPECT_EQ(ReadNameAndVersion(name, version), 0);  // no name: version not read
  EXPECT_STREQ(version, "untouched");
  Set("Name", Sz("N"));
  Set("Version", Dword(3));
  EXPECT_EQ(ReadNameAndVersion(name, version), 0);
  EXPECT_STREQ(name, "N");
  EXPECT_STREQ(version, "");
}

TEST_F(ReaderTest, InternetFunctionIsAFourByteNumber) {
  struct Case {
    const char* label;
    Value stored;
    int expectedResult;
    int expectedValue;
  } cases[] = {
      {"zero", Dword(0), 1, 0},
      {"two", Dword(2), 1, 2},
      {"two bytes", Raw(REG_BINARY, std::string("\x01\x00", 2)), 0, -7},
      {"eight bytes", Raw(REG_BINARY, std::string(8, '\x01')), 0, -7},
      // Four bytes are a number whatever their type.
      {"four binary bytes", Raw(REG_BINARY, std::string(4, '\0')), 1, 0},
      {"text of four bytes", Sz("123"), 1, 0x00333231},
  };
  int value = -7;
  EXPECT_EQ(ReadInternetFunction(&value), 0);
  EXPECT_EQ(value, -7);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    Set("InternetFunction", c.stored);
    value = -7;
    EXPECT_EQ(ReadInternetFunction(&value), c.expectedResult);
    EXPECT_EQ(value, c.expectedValue);
  }
}

}  // namespace
