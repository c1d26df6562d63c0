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

// Rows whose lookup fails or whose value another row shares; the lookup
// tests prove the paths of the others by their values.
TEST(PackageKeyMapPath, RowsBuildTheirPathAndAnswer) {
  const std::string base = "/build/nvx[@id=DIDIVE]/xrelease/release[@id=RELEASE]/";
  struct Case {
    const char* key;
    const char* tail;    // path after the release
    const char* answer;  // "" for the element text
  } cases[] = {
      {"PARENTS", "dependency[@id=NVX]", ""},
      {"HOTKEY", "dependency[@id=HOTKEY]", ""},
      {"REGVERSION", "uninstall", "reg"},
      {"SMI.HWCTL", "smiflag[@id=HWCTL]", ""},
      {"SMI.BLUETOOTH", "smiflag[@id=BLUETOOTH]", ""},
      {"SETUPFORM.SILENT", "setup[@method=SILENT]", "form"},
      {"OSTYPE", "os[@id=NT]", "type"},
  };
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

}  // namespace
