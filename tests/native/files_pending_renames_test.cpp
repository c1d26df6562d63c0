#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "files/multi_string.h"
#include "files/pending_renames.h"

namespace {

// Pending operations as the system keeps them: pairs of zero-terminated
// source and destination, one more zero at the end.
std::wstring Pairs(const std::vector<std::pair<std::wstring, std::wstring>>& pairs) {
  std::wstring data;
  for (const auto& pair : pairs) {
    data += pair.first;
    data += L'\0';
    data += pair.second;
    data += L'\0';
  }
  data += L'\0';
  return data;
}

int Concerns(const std::wstring& data, const wchar_t* name) {
  // A heap copy of exactly the data, so that reading past it is caught.
  std::vector<wchar_t> copy(data.begin(), data.end());
  return PendingOperationsConcern(copy.data(), copy.size(), name);
}

TEST(FilesPendingRenames, PendingOperationsByName) {
  const std::wstring uninstallerDeleted = Pairs({{L"\\??\\C:\\WINDOWS\\_nvxu000.exe", L""}});
  const std::wstring severalPairs = Pairs({
      {L"\\??\\C:\\WINDOWS\\TEMP\\VOD1.TMP\\DidIve.exe", L"!\\??\\C:\\Prog\\DidIve.exe"},
      {L"\\??\\C:\\x\\a.dll", L"\\??\\C:\\y\\b.dll"},
      {L"\\??\\C:\\WINDOWS\\TEMP\\VOD1.TMP\\", L""},
  });
  const std::wstring cut = std::wstring(L"\\??\\C:\\T\\x\0!\\??\\C:\\WINDOWS\\_nvxu000.exe", 39);
  struct Case {
    const char* what;
    std::wstring data;
    const wchar_t* name;
    int pending;
  } cases[] = {
      {"deletion", uninstallerDeleted, L"_nvxu000.exe", 1},
      {"other name", uninstallerDeleted, L"_nvxu001.exe", 0},
      {"name only a suffix", uninstallerDeleted, L"nvxu000.exe", 0},
      {"move by destination",
       Pairs({{L"\\??\\C:\\T\\x.tmp", L"!\\??\\C:\\WINDOWS\\_nvxu000.exe"}}), L"_nvxu000.exe", 1},
      {"move from a file of that name to another",
       Pairs({{L"\\??\\C:\\WINDOWS\\_nvxu000.exe", L"\\??\\C:\\WINDOWS\\other.exe"}}),
       L"_nvxu000.exe", 0},
      {"first of several pairs", severalPairs, L"didive.exe", 1},
      {"second of several pairs", severalPairs, L"B.DLL", 1},
      {"source of a move", severalPairs, L"a.dll", 0},
      {"folder deletion has an empty last component", severalPairs, L"VOD1.TMP", 0},
      {"after several moves, a deletion",
       Pairs({{L"\\??\\C:\\a\\b.exe", L"\\??\\C:\\a\\c.exe"},
              {L"\\??\\C:\\d\\e.exe", L"!\\??\\C:\\d\\f.exe"},
              {L"\\??\\C:\\WINDOWS\\_nvxu000.exe", L""}}),
       L"_nvxu000.exe", 1},
      {"string without backslash", Pairs({{L"_nvxu000.exe", L""}}), L"_nvxu000.exe", 1},
      {"a character outside the code page elsewhere in the path",
       Pairs({{L"\\??\\C:\\Users\\\u5F20\u4E09\\_nvxu000.exe", L""}}), L"_nvxu000.exe", 1},
      {"empty value", std::wstring(), L"_nvxu000.exe", 0},
      {"only the final zeros", std::wstring(L"\0\0", 2), L"_nvxu000.exe", 0},
      {"empty name never matches", uninstallerDeleted, L"", 0},
      {"data ending without the destination's zero", cut, L"_nvxu000.exe", 1},
      {"data cut inside the destination's name", cut.substr(0, 37), L"_nvxu000.exe", 0},
      {"data cut inside the source", std::wstring(L"\\??\\C:\\WINDOWS\\_nvxu0"),
       L"_nvxu000.exe", 0},
  };
  for (const Case& c : cases) EXPECT_EQ(Concerns(c.data, c.name), c.pending) << c.what;
}

// The same name in the first pair and the last: the walk stays in step.
TEST(FilesPendingRenames, WalkStaysInStepAcrossDeletions) {
  std::wstring data = Pairs({{L"\\??\\C:\\a\\one.exe", L""},
                             {L"\\??\\C:\\b\\src.exe", L"\\??\\C:\\b\\two.exe"},
                             {L"\\??\\C:\\c\\three.exe", L""}});
  EXPECT_EQ(Concerns(data, L"one.exe"), 1);
  EXPECT_EQ(Concerns(data, L"two.exe"), 1);
  EXPECT_EQ(Concerns(data, L"three.exe"), 1);
  EXPECT_EQ(Concerns(data, L"src.exe"), 0);
}

// What a withdrawal keeps: every operation that names none of the paths,
// in its order, other programs' among them; and the staged copies whose moves
// onto the paths it left out.
TEST(FilesPendingRenames, WithdrawalKeepsTheOperationsOnOtherPaths) {
  const std::wstring paths = std::wstring(L"C:\\P\\DidIve.exe\0C:\\WINDOWS\\_nvxu000.exe\0", 40);
  const std::wstring theirs = Pairs({{L"\\??\\C:\\x\\a.tmp", L"\\??\\C:\\x\\b.tmp"}});
  const std::wstring none(L"\0", 1);
  struct Case {
    const char* what;
    std::wstring data;
    std::wstring kept;
    std::wstring moved;
    int left;
  } cases[] = {
      {"deletion", Pairs({{L"\\??\\C:\\P\\DidIve.exe", L""}, {L"\\??\\C:\\x\\a.tmp", L"\\??\\C:\\x\\b.tmp"}}),
       theirs, none, 1},
      {"replacing move onto it, other case",
       Pairs({{L"\\??\\C:\\x\\a.tmp", L"\\??\\C:\\x\\b.tmp"},
              {L"\\??\\C:\\T\\s", L"!\\??\\c:\\p\\didive.EXE"}}),
       theirs, std::wstring(L"C:\\T\\s\0\0", 8), 1},
      {"move of it", Pairs({{L"\\??\\C:\\WINDOWS\\_nvxu000.exe", L"\\??\\C:\\y.exe"}}), none, none, 1},
      {"move from one of the paths onto another",
       Pairs({{L"\\??\\C:\\WINDOWS\\_nvxu000.exe", L"\\??\\C:\\P\\DidIve.exe"}}), none, none, 1},
      {"deletion then move, among others",
       Pairs({{L"\\??\\C:\\P\\DidIve.exe", L""},
              {L"\\??\\C:\\x\\a.tmp", L"\\??\\C:\\x\\b.tmp"},
              {L"\\??\\C:\\T\\s", L"\\??\\C:\\P\\DidIve.exe"},
              {L"\\??\\C:\\q.tmp", L""}}),
       Pairs({{L"\\??\\C:\\x\\a.tmp", L"\\??\\C:\\x\\b.tmp"}, {L"\\??\\C:\\q.tmp", L""}}),
       std::wstring(L"C:\\T\\s\0\0", 8), 2},
      {"a longer path is another", Pairs({{L"\\??\\C:\\P\\DidIve.exe.bak", L""}}),
       Pairs({{L"\\??\\C:\\P\\DidIve.exe.bak", L""}}), none, 0},
      {"a pair cut at the end is kept whole",
       std::wstring(L"\\??\\C:\\P\\DidIve.exe\0\0\\??\\C:\\z", 29),
       std::wstring(L"\\??\\C:\\z\0\0\0", 11), none, 1},
      {"nothing pending", std::wstring(), none, none, 0},
  };
  for (const Case& c : cases) {
    // Heap copies of exactly the data and the room the callers give.
    std::vector<wchar_t> data(c.data.begin(), c.data.end());
    std::vector<wchar_t> kept(data.size() + 3, L'*');
    std::vector<wchar_t> moved(data.size() + 2, L'*');
    size_t keptCount = 0;
    EXPECT_EQ(KeepPendingOperationsApartFrom(data.data(), data.size(), paths.c_str(), kept.data(),
                                             &keptCount, moved.data()),
              c.left)
        << c.what;
    EXPECT_EQ(std::wstring(kept.data(), keptCount), c.kept) << c.what;
    EXPECT_EQ(std::wstring(moved.data(), c.moved.size()), c.moved) << c.what;
  }
}

TEST(FilesPendingRenames, WithdrawalKeepsTheRenameLinesOnOtherPaths) {
  const std::string paths = std::string("C:\\PROGRA~1\\DIDIVE.EXE\0", 23);
  const std::string section =
      std::string("C:\\A.DLL=C:\\B.DLL\0NUL=C:\\PROGRA~1\\DIDIVE.EXE\0"
                  "c:\\progra~1\\didive.exe=C:\\WINDOWS\\TEMP\\VOD1.TMP\\DIDIVE.EXE\0"
                  "C:\\X.EXE=C:\\PROGRA~1\\DIDIVE.EXE\0NUL=C:\\C.TMP\0\0", 150);
  MultiString kept;
  MultiString moved;
  InitMultiString(&kept);
  InitMultiString(&moved);
  EXPECT_EQ(KeepRenameLinesApartFrom(section.data(), section.size(), paths.c_str(), &kept, &moved), 3);
  EXPECT_EQ(std::string(MultiStringText(&kept), MultiStringSize(&kept)),
            std::string("C:\\A.DLL=C:\\B.DLL\0NUL=C:\\C.TMP\0", 32));
  EXPECT_EQ(std::string(MultiStringText(&moved), MultiStringSize(&moved)),
            std::string("C:\\WINDOWS\\TEMP\\VOD1.TMP\\DIDIVE.EXE\0\0", 37));
  FreeMultiString(&kept);
  FreeMultiString(&moved);
}

}  // namespace
