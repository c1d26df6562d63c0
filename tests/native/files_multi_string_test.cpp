#include <gtest/gtest.h>

#include <string>

#include "files/multi_string.h"

namespace {

std::string Bytes(const MultiString& list) {
  return std::string(MultiStringText(&list), MultiStringSize(&list));
}

struct ListGuard {
  MultiString list;
  ListGuard() { InitMultiString(&list); }
  ~ListGuard() { FreeMultiString(&list); }
};

TEST(FilesMultiString, EmptyListIsTwoZeros) {
  ListGuard g;
  EXPECT_EQ(Bytes(g.list), std::string("\0\0", 2));
  EXPECT_EQ(g.list.count, 0);
  EXPECT_EQ(MultiStringEntry(&g.list, 0), nullptr);
}

TEST(FilesMultiString, EntriesEndWithZeroAndListWithOneMore) {
  ListGuard g;
  ASSERT_TRUE(AppendEntry(&g.list, "NUL=", "C:\\A.TXT"));
  ASSERT_TRUE(AppendEntry(&g.list, "x", nullptr, "z"));
  EXPECT_EQ(Bytes(g.list), std::string("NUL=C:\\A.TXT\0xz\0\0", 17));
  EXPECT_EQ(g.list.count, 2);
  EXPECT_STREQ(MultiStringEntry(&g.list, 1), "xz");
  EXPECT_EQ(MultiStringEntry(&g.list, 2), nullptr);
  EXPECT_EQ(MultiStringEntry(&g.list, -1), nullptr);
}

TEST(FilesMultiString, PathsGetExactlyOneBackslash) {
  struct Case {
    const char* folder;
    const char* name;
    const char* path;
  } cases[] = {
      {"C:\\Program Files\\Vuz", "DidIve.exe", "C:\\Program Files\\Vuz\\DidIve.exe"},
      {"D:\\", "unicows.dll", "D:\\unicows.dll"},
  };
  for (const Case& c : cases) {
    ListGuard g;
    ASSERT_TRUE(AppendPath(&g.list, c.folder, c.name));
    EXPECT_STREQ(MultiStringEntry(&g.list, 0), c.path) << c.folder;
  }
}

// Twelve long paths need far more than the 2600 bytes a fixed list would
// hold; none may be cut.
TEST(FilesMultiString, LongPathsAreKeptWhole) {
  ListGuard g;
  std::string folder = "C:\\" + std::string(240, 'f');
  for (int i = 0; i < 12; ++i) {
    ASSERT_TRUE(AppendPath(&g.list, folder.c_str(), ("file" + std::to_string(i) + ".dll").c_str()));
  }
  ASSERT_EQ(g.list.count, 12);
  size_t expectedSize = 1;
  for (int i = 0; i < 12; ++i) {
    std::string expected = folder + "\\file" + std::to_string(i) + ".dll";
    EXPECT_EQ(MultiStringEntry(&g.list, i), expected);
    expectedSize += expected.size() + 1;
  }
  EXPECT_GT(expectedSize, 2600u);
  EXPECT_EQ(MultiStringSize(&g.list), expectedSize);
  EXPECT_EQ(MultiStringText(&g.list)[expectedSize - 1], '\0');
  EXPECT_EQ(MultiStringText(&g.list)[expectedSize - 2], '\0');
}

TEST(FilesMultiString, AppendEntriesCopiesAMultiString) {
  struct Case {
    std::string data;  // what a caller read, maybe without its ending zeros
    std::string expected;
    int count;
  } cases[] = {
      {std::string("a=1\0b=2\0\0", 9), std::string("a=1\0b=2\0\0", 9), 2},
      {std::string("a=1\0b=2", 7), std::string("a=1\0b=2\0\0", 9), 2},  // cut off by the end
      {std::string("\0a=1\0", 5), std::string("\0\0", 2), 0},           // empty at once
      {std::string(), std::string("\0\0", 2), 0},
  };
  for (const Case& c : cases) {
    ListGuard g;
    ASSERT_TRUE(AppendEntries(&g.list, c.data.data(), c.data.size()));
    EXPECT_EQ(Bytes(g.list), c.expected);
    EXPECT_EQ(g.list.count, c.count);
  }
}

TEST(FilesMultiString, AppendEntriesKeepsWhatWasThere) {
  ListGuard g;
  ASSERT_TRUE(AppendEntry(&g.list, "first"));
  ASSERT_TRUE(AppendEntries(&g.list, "NUL=A\0NUL=B\0", 13));
  EXPECT_EQ(Bytes(g.list), std::string("first\0NUL=A\0NUL=B\0\0", 19));
  EXPECT_EQ(g.list.count, 3);
}

}  // namespace
