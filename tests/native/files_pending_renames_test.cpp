#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/multi_string.h"
#include "files/pending_renames.h"

namespace {

// Pending operations as the system keeps them: pairs of zero-terminated
// source and destination, one more zero at the end.
std::string Pairs(const std::vector<std::pair<std::string, std::string>>& pairs) {
  std::string data;
  for (const auto& pair : pairs) {
    data += pair.first;
    data += '\0';
    data += pair.second;
    data += '\0';
  }
  data += '\0';
  return data;
}

int Concerns(const std::string& data, const char* name) {
  // A heap copy of exactly the data, so that reading past it is caught.
  std::vector<char> copy(data.begin(), data.end());
  return PendingOperationsConcern(copy.data(), copy.size(), name);
}

TEST(FilesPendingRenames, PendingOperationsByName) {
  const std::string uninstallerDeleted = Pairs({{"\\??\\C:\\WINDOWS\\_nvxu000.exe", ""}});
  const std::string severalPairs = Pairs({
      {"\\??\\C:\\WINDOWS\\TEMP\\VOD1.TMP\\DidIve.exe", "!\\??\\C:\\Prog\\DidIve.exe"},
      {"\\??\\C:\\x\\a.dll", "\\??\\C:\\y\\b.dll"},
      {"\\??\\C:\\WINDOWS\\TEMP\\VOD1.TMP\\", ""},
  });
  struct Case {
    const char* what;
    std::string data;
    const char* name;
    int pending;
  } cases[] = {
      {"deletion", uninstallerDeleted, "_nvxu000.exe", 1},
      {"other name", uninstallerDeleted, "_nvxu001.exe", 0},
      {"name only a suffix", uninstallerDeleted, "nvxu000.exe", 0},
      {"move by destination",
       Pairs({{"\\??\\C:\\T\\x.tmp", "!\\??\\C:\\WINDOWS\\_nvxu000.exe"}}), "_nvxu000.exe", 1},
      {"move from a file of that name to another",
       Pairs({{"\\??\\C:\\WINDOWS\\_nvxu000.exe", "\\??\\C:\\WINDOWS\\other.exe"}}),
       "_nvxu000.exe", 0},
      {"first of several pairs", severalPairs, "didive.exe", 1},
      {"second of several pairs", severalPairs, "B.DLL", 1},
      {"source of a move", severalPairs, "a.dll", 0},
      {"folder deletion has an empty last component", severalPairs, "VOD1.TMP", 0},
      {"after several moves, a deletion",
       Pairs({{"\\??\\C:\\a\\b.exe", "\\??\\C:\\a\\c.exe"},
              {"\\??\\C:\\d\\e.exe", "!\\??\\C:\\d\\f.exe"},
              {"\\??\\C:\\WINDOWS\\_nvxu000.exe", ""}}),
       "_nvxu000.exe", 1},
      {"string without backslash", Pairs({{"_nvxu000.exe", ""}}), "_nvxu000.exe", 1},
      {"empty value", std::string(), "_nvxu000.exe", 0},
      {"only the final zeros", std::string("\0\0", 2), "_nvxu000.exe", 0},
      {"empty name never matches", uninstallerDeleted, "", 0},
      {"data ending without the destination's zero",
       std::string("\\??\\C:\\T\\x\0!\\??\\C:\\WINDOWS\\_nvxu000.exe", 39), "_nvxu000.exe", 1},
      {"data cut inside the destination's name",
       std::string("\\??\\C:\\T\\x\0!\\??\\C:\\WINDOWS\\_nvxu000.exe", 37), "_nvxu000.exe", 0},
      {"data cut inside the source", std::string("\\??\\C:\\WINDOWS\\_nvxu0", 21),
       "_nvxu000.exe", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(Concerns(c.data, c.name), c.pending) << c.what;
}

// The same name in the first pair and the last: the walk stays in step.
TEST(FilesPendingRenames, WalkStaysInStepAcrossDeletions) {
  std::string data = Pairs({{"\\??\\C:\\a\\one.exe", ""},
                            {"\\??\\C:\\b\\src.exe", "\\??\\C:\\b\\two.exe"},
                            {"\\??\\C:\\c\\three.exe", ""}});
  EXPECT_EQ(Concerns(data, "one.exe"), 1);
  EXPECT_EQ(Concerns(data, "two.exe"), 1);
  EXPECT_EQ(Concerns(data, "three.exe"), 1);
  EXPECT_EQ(Concerns(data, "src.exe"), 0);
}

int SectionConcerns(const std::string& section, const char* name) {
  std::vector<char> copy(section.begin(), section.end());
  return RenameSectionConcerns(copy.data(), copy.size(), name);
}

TEST(FilesPendingRenames, RenameSectionByName) {
  struct Case {
    const char* what;
    std::string section;
    const char* name;
    int pending;
  } cases[] = {
      {"deletion", std::string("NUL=C:\\WINDOWS\\_NVXU000.EXE\0\0", 29), "_nvxu000.exe", 1},
      {"deletion, key in lower case", std::string("nul=C:\\WINDOWS\\_NVXU000.EXE\0\0", 29),
       "_nvxu000.exe", 1},
      {"move by destination",
       std::string("C:\\WINDOWS\\_NVXU000.EXE=C:\\WINDOWS\\TEMP\\VOD1.TMP\\X.EXE\0\0", 56),
       "_nvxu000.exe", 1},
      {"source of a move",
       std::string("C:\\WINDOWS\\OTHER.EXE=C:\\WINDOWS\\_NVXU000.EXE\0\0", 46), "_nvxu000.exe", 0},
      {"after other lines",
       std::string("C:\\A.DLL=C:\\B.DLL\0NUL=C:\\C.TMP\0NUL=C:\\WINDOWS\\_NVXU000.EXE\0\0", 58),
       "_nvxu000.exe", 1},
      {"line without equals sign", std::string("C:\\WINDOWS\\_NVXU000.EXE\0\0", 25),
       "_nvxu000.exe", 0},
      {"empty section", std::string("\0\0", 2), "_nvxu000.exe", 0},
      {"unterminated", std::string("NUL=C:\\_NVXU000.EXE", 19), "_nvxu000.exe", 1},
  };
  for (const Case& c : cases) EXPECT_EQ(SectionConcerns(c.section, c.name), c.pending) << c.what;
}

// What a withdrawal keeps: every operation that names none of the paths,
// in its order, other programs' among them.
TEST(FilesPendingRenames, WithdrawalKeepsTheOperationsOnOtherPaths) {
  const std::string paths = std::string("C:\\P\\DidIve.exe\0C:\\WINDOWS\\_nvxu000.exe\0", 40);
  const std::string theirs = Pairs({{"\\??\\C:\\x\\a.tmp", "\\??\\C:\\x\\b.tmp"}});
  struct Case {
    const char* what;
    std::string data;
    std::string kept;
    int left;
  } cases[] = {
      {"deletion", Pairs({{"\\??\\C:\\P\\DidIve.exe", ""}, {"\\??\\C:\\x\\a.tmp", "\\??\\C:\\x\\b.tmp"}}),
       theirs, 1},
      {"replacing move onto it, other case",
       Pairs({{"\\??\\C:\\x\\a.tmp", "\\??\\C:\\x\\b.tmp"},
              {"\\??\\C:\\T\\s", "!\\??\\c:\\p\\didive.EXE"}}),
       theirs, 1},
      {"move of it", Pairs({{"\\??\\C:\\WINDOWS\\_nvxu000.exe", "\\??\\C:\\y.exe"}}), std::string("\0\0", 2), 1},
      {"deletion then move, among others",
       Pairs({{"\\??\\C:\\P\\DidIve.exe", ""},
              {"\\??\\C:\\x\\a.tmp", "\\??\\C:\\x\\b.tmp"},
              {"\\??\\C:\\T\\s", "\\??\\C:\\P\\DidIve.exe"},
              {"\\??\\C:\\q.tmp", ""}}),
       Pairs({{"\\??\\C:\\x\\a.tmp", "\\??\\C:\\x\\b.tmp"}, {"\\??\\C:\\q.tmp", ""}}), 2},
      {"a longer path is another", Pairs({{"\\??\\C:\\P\\DidIve.exe.bak", ""}}),
       Pairs({{"\\??\\C:\\P\\DidIve.exe.bak", ""}}), 0},
      {"nothing pending", std::string(), std::string("\0\0", 2), 0},
  };
  for (const Case& c : cases) {
    MultiString kept;
    InitMultiString(&kept);
    std::vector<char> copy(c.data.begin(), c.data.end());
    EXPECT_EQ(KeepPendingOperationsApartFrom(copy.data(), copy.size(), paths.c_str(), &kept), c.left)
        << c.what;
    EXPECT_EQ(std::string(MultiStringText(&kept), MultiStringSize(&kept)), c.kept) << c.what;
    FreeMultiString(&kept);
  }
}

TEST(FilesPendingRenames, WithdrawalKeepsTheRenameLinesOnOtherPaths) {
  const std::string paths = std::string("C:\\PROGRA~1\\DIDIVE.EXE\0", 23);
  const std::string section =
      std::string("C:\\A.DLL=C:\\B.DLL\0NUL=C:\\PROGRA~1\\DIDIVE.EXE\0"
                  "c:\\progra~1\\didive.exe=C:\\WINDOWS\\TEMP\\VOD1.TMP\\DIDIVE.EXE\0"
                  "C:\\X.EXE=C:\\PROGRA~1\\DIDIVE.EXE\0NUL=C:\\C.TMP\0\0", 150);
  MultiString kept;
  InitMultiString(&kept);
  EXPECT_EQ(KeepRenameLinesApartFrom(section.data(), section.size(), paths.c_str(), &kept), 3);
  EXPECT_EQ(std::string(MultiStringText(&kept), MultiStringSize(&kept)),
            std::string("C:\\A.DLL=C:\\B.DLL\0NUL=C:\\C.TMP\0", 32));
  FreeMultiString(&kept);
}

}  // namespace
