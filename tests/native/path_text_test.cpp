#include <gtest/gtest.h>

#include <string.h>

#include "common/lead_bytes.h"
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

// The second byte of a double-byte character may be 0x5C: only a backslash
// of its own splits a path, in the code page the path is read in.
TEST(FilesPathText, DoubleByteCharacters) {
  struct Case {
    unsigned codePage;
    const char* path;
    int last;  // offset of the last backslash, -1 for none
    int endsWithBackslash;
    size_t root;
  } cases[] = {
      // "ソフト" and "一覧表" (932), "功能" and "許" (950), "乗" and "软件乗" (936):
      // 0x5C in the middle and at the end of names; "표" (949) has no such byte.
      {932, "C:\\\x83\x5C\x83t\x83g\\\x88\xEA\x97\x97\x95\x5C", 9, 0, 2},
      {932, "C:\\\x88\xEA\x97\x97\x95\x5C\\", 9, 1, 2},
      {932, "\\\\\x95\x5C\\\x8B\xA4\x97L\\x", 9, 0, 9},
      {932, "C:\\x\x95", 2, 0, 2},  // a lead byte that ends the text
      {950, "C:\\\xA5\x5C\xAF\xE0\\\xB3\x5C", 7, 0, 2},
      {950, "\\\\\xB3\x5C\\share", 4, 0, 10},
      {936, "C:\\\x81\x5Cx\\\xC8\xED\xBC\xFE\x81\x5C\\", 13, 1, 2},
      {949, "C:\\\xC7\xA5\\", 5, 1, 2},
      {1252, "C:\\Caf\xE9\\", 7, 1, 2},
      {1252, "C:\\\x88\xEA\x97\x97\x95\x5C", 8, 1, 2},  // the same bytes, no lead bytes
  };
  for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
    const Case& c = cases[i];
    SCOPED_TRACE(testing::Message() << "row " << i << ", code page " << c.codePage);
    g_pathCodePage = c.codePage;
    const char* last = FindLastBackslash(c.path);
    EXPECT_EQ(last != nullptr ? static_cast<int>(last - c.path) : -1, c.last);
    EXPECT_EQ(LastComponentOffset(c.path, strlen(c.path)), static_cast<size_t>(c.last + 1));
    EXPECT_EQ(EndsWithBackslash(c.path), c.endsWithBackslash);
    EXPECT_EQ(PathRootLength(c.path), c.root);
  }
  g_pathCodePage = AnsiCodePage;
}

}  // namespace
