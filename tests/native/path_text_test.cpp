#include <gtest/gtest.h>

#include <string.h>

#include "common/path_text.h"

namespace {

TEST(FilesPathText, ShortNames) {
  struct Case {
    const char* name;
    int valid;
  } cases[] = {
      {"_nvxu000.exe", 1}, {"DidIve.exe", 1},   {"NvxSetup.ini", 1}, {"NVXSYSID.vxd", 1},
      {"unicows.dll", 1},  {"README", 1},       {"A", 1},            {"A.B", 1},
      {"ok~1$!.{}", 1},    {"\xC4rger.txt", 1},  // code-page letters are allowed
      {"", 0},             {".exe", 0},         {"NAME.", 0},        {"NineChars.exe", 0},
      {"name.html", 0},    {"a.b.c", 0},        {"my file.txt", 0},  {"a=b.txt", 0},
      {"a;b.txt", 0},      {"a+b.txt", 0},      {"a[1].txt", 0},     {"a,b", 0},
      {"NUL", 0},          {"nul.txt", 0},      {"CON", 0},          {"com1.dll", 0},
      {"LPT9", 0},         {"CLOCK$", 0},       {"COM0", 1},         {"COMX", 1},
      {"didive.exe.manifest", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(IsValidShortName(c.name), c.valid) << c.name;
}

TEST(FilesPathText, Roots) {
  struct Case {
    const char* path;
    size_t root;
  } cases[] = {
      {"C:\\Program Files", 2}, {"d:", 2},           {"\\\\srv\\share\\a\\b", 11},
      {"\\\\srv\\share", 11},   {"\\\\srv\\", 0},    {"\\\\srv", 0},
      {"\\\\\\share", 0},       {"relative\\x", 0},  {"", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(PathRootLength(c.path), c.root) << c.path;
}

TEST(FilesPathText, FullPaths) {
  struct Case {
    const char* path;
    int full;
  } cases[] = {
      {"C:\\Program Files\\Vuz", 1}, {"C:\\", 1},  {"\\\\srv\\share\\Vuz", 1},
      {"", 0},                      {"C:", 0},     {"C:Vuz", 0},
      {"\\Vuz", 0},                {"Vuz", 0},    {"\\\\srv", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(IsFullPath(c.path), c.full) << c.path;
}

TEST(FilesPathText, SameRoot) {
  struct Case {
    const char* first;
    const char* second;
    int same;
  } cases[] = {
      {"C:\\WINDOWS\\TEMP\\VOD1.TMP\\", "C:\\Program Files\\Vuz", 1},
      {"C:\\WINDOWS", "c:\\x", 1},
      {"C:\\WINDOWS", "D:\\Vuz", 0},
      {"C:\\WINDOWS", "\\\\srv\\share\\Vuz", 0},
      {"\\\\SRV\\Share\\a", "\\\\srv\\share\\b", 1},
      {"\\\\srv\\share\\a", "\\\\srv\\share2\\a", 0},
      {"C:\\WINDOWS", "relative", 1},  // cannot be told
  };
  for (const auto& c : cases) EXPECT_EQ(SameRoot(c.first, c.second), c.same) << c.first << " " << c.second;
}

TEST(FilesPathText, LastComponentAndNames) {
  const char* path = "!\\??\\C:\\WINDOWS\\_nvxu000.exe";
  size_t offset = LastComponentOffset(path, strlen(path));
  EXPECT_STREQ(path + offset, "_nvxu000.exe");
  EXPECT_EQ(LastComponentOffset("plain", 5), 0u);
  EXPECT_EQ(LastComponentOffset("C:\\dir\\", 7), 7u);
  // Only the given length counts.
  EXPECT_EQ(LastComponentOffset("ab\\cd", 2), 0u);

  EXPECT_TRUE(NameEqualsNoCase("_NVXU000.EXE", 12, "_nvxu000.exe"));
  EXPECT_TRUE(NameEqualsNoCase("_nvxu000.exeXYZ", 12, "_NVXU000.exe"));
  EXPECT_FALSE(NameEqualsNoCase("_nvxu000.ex", 11, "_nvxu000.exe"));
  EXPECT_FALSE(NameEqualsNoCase("_nvxu000.exe", 12, "_nvxu000.ex"));
  EXPECT_FALSE(NameEqualsNoCase("_nvxu001.exe", 12, "_nvxu000.exe"));
}

}  // namespace
