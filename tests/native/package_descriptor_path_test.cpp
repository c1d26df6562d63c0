#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "package/descriptor_key_map.h"

namespace {

std::string PathOf(const char* key, const char* package = "DIDIVE",
                   const char* release = "RELEASE", std::string* answer = nullptr) {
  const DescriptorKeyRow* row = FindDescriptorKey(key);
  if (row == nullptr) return "<no row>";
  char path[DescriptorPathCapacity];
  const char* attribute = nullptr;
  if (!BuildDescriptorPath(row, package, release, path, sizeof(path), &attribute)) {
    return "<does not fit>";
  }
  if (answer != nullptr) *answer = attribute != nullptr ? attribute : "";
  return path;
}

TEST(PackageKeyMapPath, EveryRowBuildsItsPathAndAnswer) {
  const std::string base = "/build/nvx[@id=DIDIVE]/xrelease/release[@id=RELEASE]/";
  struct Case {
    const char* key;
    const char* tail;    // path after the release
    const char* answer;  // "" for the element text
  } cases[] = {
      {"DEVICE", "device", ""},
      {"NAME", "title", ""},
      {"VERSION", "version", ""},
      {"SETUP", "setup", ""},
      {"UNINSTALL", "uninstall", ""},
      {"9X", "os[@id=9X]", ""},
      {"NT", "os[@id=NT]", ""},
      {"PARENTS", "dependency[@id=NVX]", ""},
      {"IE", "dependency[@id=IE]", ""},
      {"DX", "dependency[@id=DX]", ""},
      {"PM", "dependency[@id=PM]", ""},
      {"HOTKEY", "dependency[@id=HOTKEY]", ""},
      {"SETUPFORM", "setup", "form"},
      {"REGVERSION", "uninstall", "reg"},
      {"SMI.HWCTL", "smiflag[@id=HWCTL]", ""},
      {"SMI.BLUETOOTH", "smiflag[@id=BLUETOOTH]", ""},
      {"SETUP.SILENT", "setup[@method=SILENT]", ""},
      {"SETUPFORM.SILENT", "setup[@method=SILENT]", "form"},
      {"SETUP.SUCCESS", "setup", "success"},
      {"SETUP.SILENT.SUCCESS", "setup[@method=SILENT]", "success"},
      {"SMBIOS.SW135", "smbiosflag[@id=SW135]", ""},
      {"LASTCRITICALUPDATE", "lastversion[@id=CRITICAL]", ""},
      {"OSTYPE", "os[@id=NT]", "type"},
      {"MMC-3", "dependency[@id=MMC-3]", ""},
      {"MMC-3.BUS", "dependency[@id=MMC-3]", "bus"},
  };
  ASSERT_EQ(sizeof(cases) / sizeof(cases[0]), static_cast<size_t>(DescriptorKeyCount));
  for (const Case& c : cases) {
    std::string answer = "<unset>";
    EXPECT_EQ(base + c.tail, PathOf(c.key, "DIDIVE", "RELEASE", &answer)) << c.key;
    EXPECT_EQ(c.answer, answer) << c.key;
  }
}

TEST(PackageKeyMapPath, KeysMatchWithoutRegardToCase) {
  struct Case {
    const char* key;
    const char* element;  // null: not in the table
  } cases[] = {
      {"NAME", "title"},         {"name", "title"},         {"Name", "title"},
      {"nAmE", "title"},         {"setup.silent", "setup"}, {"mmc-3.bus", "dependency"},
      {"9x", "os"},              {"TITLE", nullptr},        {"NAME ", nullptr},
      {"NAM", nullptr},          {"NAMES", nullptr},        {"", nullptr},
      {"SETUP.", nullptr},       {"MMC_3", nullptr},
  };
  for (const Case& c : cases) {
    const DescriptorKeyRow* row = FindDescriptorKey(c.key);
    if (c.element == nullptr) {
      EXPECT_EQ(nullptr, row) << c.key;
    } else {
      ASSERT_NE(nullptr, row) << c.key;
      EXPECT_STREQ(c.element, row->element) << c.key;
    }
  }
  EXPECT_EQ(nullptr, FindDescriptorKey(nullptr));
}

TEST(PackageKeyMapPath, FirstOfTwoRowsForTheSameElementWins) {
  // SETUP and SETUPFORM share the element; the key decides the answer.
  std::string answer;
  PathOf("SETUP", "DIDIVE", "RELEASE", &answer);
  EXPECT_EQ("", answer);
  PathOf("setupform", "DIDIVE", "RELEASE", &answer);
  EXPECT_EQ("form", answer);
}

TEST(PackageKeyMapPath, PathThatDoesNotFitFailsWithoutWritingPast) {
  const std::string fixed = "/build/nvx[@id=]/xrelease/release[@id=RELEASE]/";
  struct Case {
    const char* key;
    size_t tailLength;  // length of the path without the package id
  } cases[] = {
      {"NAME", fixed.size() + strlen("title")},
      {"OSTYPE", fixed.size() + strlen("os[@id=NT]")},
      {"SETUP.SILENT.SUCCESS", fixed.size() + strlen("setup[@method=SILENT]")},
  };
  for (const Case& c : cases) {
    // A package id that makes the path exactly 259 characters fits; one more does not.
    for (size_t extra = 0; extra < 2; ++extra) {
      std::string package(259 - c.tailLength + extra, 'P');
      char path[DescriptorPathCapacity + 8];
      memset(path, 'Z', sizeof(path));
      const char* answer = nullptr;
      int built = BuildDescriptorPath(FindDescriptorKey(c.key), package.c_str(), "RELEASE", path,
                                      DescriptorPathCapacity, &answer);
      EXPECT_EQ(extra == 0 ? 1 : 0, built) << c.key << " +" << extra;
      if (built) EXPECT_EQ(259u, strlen(path)) << c.key;
      for (size_t i = DescriptorPathCapacity; i < sizeof(path); ++i) {
        ASSERT_EQ('Z', path[i]) << "wrote past the path buffer for " << c.key;
      }
    }
  }
}

TEST(PackageKeyMapPath, PredicateThatDoesNotFitFails) {
  // The element fits, its predicate does not.
  const std::string fixed = "/build/nvx[@id=]/xrelease/release[@id=RELEASE]/os";
  std::string package(259 - fixed.size(), 'P');
  char path[DescriptorPathCapacity];
  const char* answer = nullptr;
  EXPECT_EQ(0, BuildDescriptorPath(FindDescriptorKey("NT"), package.c_str(), "RELEASE", path,
                                   sizeof(path), &answer));
}

}  // namespace
