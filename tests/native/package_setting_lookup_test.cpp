#include <gtest/gtest.h>

#include <string.h>
#include <strings.h>

#include <string>
#include <vector>

#include "common/text.h"
#include "package/program_group.h"
#include "package/setting_lookup.h"

namespace {

// An INI file in memory, read the way GetPrivateProfileStringA reads one:
// case-insensitive names, the value or the default cut to size - 1.
struct Entry {
  const char* section;
  const char* key;
  const char* value;
};
const std::vector<Entry>* g_entries = nullptr;
std::vector<std::string>* g_sectionsAsked = nullptr;

uint32_t FakeProfileReader(const char* section, const char* key, const char* defaultText,
                           char* buffer, uint32_t size, const char* file) {
  EXPECT_STREQ("settings.dat", file);
  if (g_sectionsAsked != nullptr) g_sectionsAsked->push_back(section);
  const char* value = defaultText;
  for (const Entry& e : *g_entries) {
    if (strcasecmp(e.section, section) == 0 && strcasecmp(e.key, key) == 0) {
      value = e.value;
      break;
    }
  }
  if (size == 0) return 0;
  size_t n = strlen(value);
  if (n > size - 1) n = size - 1;
  memcpy(buffer, value, n);
  buffer[n] = '\0';
  return static_cast<uint32_t>(n);
}

const std::vector<Entry> kFile = {
    {"INIT", "TARGET", "%DIR%"},
    {"INIT", "PLAIN", "Ravozeve"},
    {"INIT", "DOUBLE", "%%"},
    {"INIT", "MISSING", "%NOWHERE%"},
    {"INIT", "NESTED", "%OUTER%"},
    {"STRINGS.0407", "DIR", "Programme\\Deutsch"},
    {"STRINGS.0007", "DIR", "Programme\\Allgemein"},
    {"STRINGS", "DIR", "Programs\\Neutral"},
    {"STRINGS", "OUTER", "%DIR%"},
};

class PackageSettingLookup : public ::testing::Test {
 protected:
  void SetUp() override {
    g_entries = &kFile;
    g_sectionsAsked = &asked_;
  }
  void TearDown() override {
    g_entries = nullptr;
    g_sectionsAsked = nullptr;
  }
  int Lookup(uint16_t language, const char* key, const char* defaultText, char* buffer,
             int size) {
    asked_.clear();
    return LookupSetting(FakeProfileReader, language, static_cast<uint16_t>(language & 0x3FF),
                         "INIT", key, defaultText, buffer, size, "settings.dat");
  }
  std::vector<std::string> asked_;
};

TEST_F(PackageSettingLookup, ResolvesByLanguageThenPrimaryThenNeutral) {
  struct Case {
    uint16_t language;
    const char* key;
    int length;  // 0: not found
    const char* text;
    std::vector<std::string> sections;  // every section read, in order
  } cases[] = {
      {0x0407, "TARGET", 17, "Programme\\Deutsch", {"INIT", "STRINGS.0407"}},
      {0x0C07, "TARGET", 19, "Programme\\Allgemein", {"INIT", "STRINGS.0C07", "STRINGS.0007"}},
      {0x0411, "TARGET", 16, "Programs\\Neutral", {"INIT", "STRINGS.0411", "STRINGS.0011", "STRINGS"}},
      // A resolved text is not examined again.
      {0x0409, "NESTED", 5, "%DIR%", {"INIT", "STRINGS.0409", "STRINGS.0009", "STRINGS"}},
      // Only a value that begins and ends with "%" is a reference.
      {0x0407, "PLAIN", 8, "Ravozeve", {"INIT"}},
      // "%%" names the empty text, which no section holds.
      {0x0407, "DOUBLE", 0, "", {"INIT", "STRINGS.0407", "STRINGS.0007", "STRINGS"}},
  };
  for (const Case& c : cases) {
    char buffer[260];
    memset(buffer, 'Q', sizeof(buffer));
    EXPECT_EQ(c.length, Lookup(c.language, c.key, "", buffer, sizeof(buffer)))
        << c.key << " on " << std::hex << c.language;
    EXPECT_STREQ(c.text, buffer) << c.key << " on " << std::hex << c.language;
    EXPECT_EQ(c.sections, asked_) << c.key << " on " << std::hex << c.language;
  }
}

TEST_F(PackageSettingLookup, MissingKeyLeavesBufferUntouched) {
  char buffer[16] = "before";
  EXPECT_EQ(0, Lookup(0x0407, "NOSUCHKEY", "", buffer, sizeof(buffer)));
  EXPECT_STREQ("before", buffer);
}

TEST_F(PackageSettingLookup, UnresolvedReferenceLeavesTheDefaultInBuffer) {
  char buffer[16] = "before";
  EXPECT_EQ(0, Lookup(0x0407, "MISSING", "", buffer, sizeof(buffer)));
  EXPECT_STREQ("", buffer);
  std::vector<std::string> all = {"INIT", "STRINGS.0407", "STRINGS.0007", "STRINGS"};
  EXPECT_EQ(all, asked_);
}

TEST_F(PackageSettingLookup, NeverWritesPastTheCallersSize) {
  struct Case {
    const char* key;
    int size;
    int length;
    const char* text;
  } cases[] = {
      // A plain value is cut as the profile reader cuts it.
      {"PLAIN", 4, 3, "Rav"},
      {"PLAIN", 9, 8, "Ravozeve"},
      // A value cut before its closing sign is no reference.
      {"TARGET", 4, 3, "%DI"},
      {"TARGET", 6, 5, "Progr"},
      {"PLAIN", 1, 0, ""},
  };
  for (const Case& c : cases) {
    char buffer[32];
    memset(buffer, 'Q', sizeof(buffer));
    buffer[31] = '\0';
    EXPECT_EQ(c.length, Lookup(0x0407, c.key, "", buffer, c.size)) << c.key << " " << c.size;
    if (c.length > 0) EXPECT_STREQ(c.text, buffer) << c.key << " " << c.size;
    EXPECT_EQ('Q', buffer[c.size]) << "wrote past size " << c.size;
  }
}

TEST_F(PackageSettingLookup, LongValueIsReadIntoAtMost259Characters) {
  std::string longValue(400, 'v');
  std::vector<Entry> file = {{"INIT", "LONG", longValue.c_str()}};
  g_entries = &file;
  std::vector<char> buffer(600, 'Q');
  EXPECT_EQ(259, Lookup(0x0407, "LONG", "", buffer.data(), static_cast<int>(buffer.size())));
  EXPECT_EQ(std::string(259, 'v'), std::string(buffer.data()));
}

TEST_F(PackageSettingLookup, RefusesUnusableBuffers) {
  char buffer[4] = "abc";
  EXPECT_EQ(0, Lookup(0x0407, "PLAIN", "", buffer, 0));
  EXPECT_EQ(0, Lookup(0x0407, "PLAIN", "", buffer, -5));
  EXPECT_STREQ("abc", buffer);
  EXPECT_EQ(0, Lookup(0x0407, "PLAIN", "", nullptr, 4));
  EXPECT_EQ(0, LookupSetting(nullptr, 0x0407, 7, "INIT", "PLAIN", "", buffer, 4, "settings.dat"));
}

TEST(PackageSettingReference, BeginsAndEndsWithASign) {
  struct Case {
    const char* value;
    const char* name;  // null: not a reference
  } cases[] = {
      {"%DIR%", "DIR"}, {"%a%", "a"}, {"%%%", "%"}, {"%A B%", "A B"}, {"%", ""},
      {"%%", ""},       {"%DIR", nullptr}, {"DIR%", nullptr}, {"", nullptr}, {"x%DIR%", nullptr},
  };
  for (const Case& c : cases) {
    char value[32];
    ASSERT_EQ(1, TextCopy(value, sizeof(value), c.value));
    const char* name = CutSettingReference(value);
    if (c.name == nullptr) {
      EXPECT_EQ(nullptr, name) << c.value;
      EXPECT_STREQ(c.value, value) << "changed " << c.value;
    } else {
      ASSERT_NE(nullptr, name) << c.value;
      EXPECT_STREQ(c.name, name) << c.value;
    }
  }
}

TEST(PackageLanguageSection, FourUpperCaseHexDigits) {
  struct Case {
    uint16_t id;
    const char* section;
  } cases[] = {{0x0407, "STRINGS.0407"}, {0x0007, "STRINGS.0007"}, {0x0412, "STRINGS.0412"},
               {0x0C0A, "STRINGS.0C0A"}, {0x0000, "STRINGS.0000"}, {0xFFFF, "STRINGS.FFFF"}};
  for (const Case& c : cases) {
    char section[16];
    ASSERT_EQ(1, FormatLanguageSection(c.id, section, sizeof(section)));
    EXPECT_STREQ(c.section, section);
  }
  char small[12] = "x";
  EXPECT_EQ(0, FormatLanguageSection(0x0407, small, sizeof(small)));
  EXPECT_STREQ("x", small);
}

TEST(PackageProgramGroup, ChoosesTheBaseFolderByValueAndPlatform) {
  struct Case {
    const char* group;
    int isNt;
    int folder;
  } cases[] = {
      {"Tools", 1, GroupFolderCommonPrograms},     {"Tools", 0, GroupFolderPrograms},
      {"\\Tools", 1, GroupFolderCommonStartMenu}, {"\\Tools", 0, GroupFolderStartMenu},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.folder, ProgramGroupFolderId(c.group, c.isNt)) << c.group << " nt=" << c.isNt;
  }
}

TEST(PackageProgramGroup, BuildsTheFolderFromBaseAndValue) {
  struct Case {
    const char* base;
    const char* group;
    size_t size;
    int ok;
    const char* folder;
  } cases[] = {
      {"C:\\Menu\\Programs", ".", 260, 1, "C:\\Menu\\Programs"},
      {"C:\\Menu\\Programs", ".ignored\\rest", 260, 1, "C:\\Menu\\Programs"},
      {"C:\\Menu", "\\", 260, 1, "C:\\Menu"},
      {"C:\\Menu", "\\Tools", 260, 1, "C:\\Menu\\Tools"},
      {"C:\\Menu\\Programs", "Tools", 260, 1, "C:\\Menu\\Programs\\Tools"},
      {"C:\\Menu\\Programs", "Ravozeve Vuzizirer", 260, 1,
       "C:\\Menu\\Programs\\Ravozeve Vuzizirer"},
      // Exactly fitting, and one byte short.
      {"C:\\M", "Tools", 11, 1, "C:\\M\\Tools"},
      {"C:\\M", "Tools", 10, 0, nullptr},
      {"C:\\M", "\\Tools", 10, 0, nullptr},
      {"C:\\M", ".", 4, 0, nullptr},
      // No base folder: no group.
      {"", "Tools", 260, 0, nullptr},
      {"", ".", 260, 0, nullptr},
  };
  for (const Case& c : cases) {
    char folder[300] = "untouched";
    EXPECT_EQ(c.ok, BuildProgramGroupFolder(c.base, c.group, folder, c.size))
        << c.base << " + " << c.group;
    EXPECT_STREQ(c.ok ? c.folder : "untouched", folder) << c.base << " + " << c.group;
  }
}

}  // namespace
