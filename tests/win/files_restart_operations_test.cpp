// Replace-on-restart on both platform families, checked on the recorded data
// byte for byte; what a restart does with it is the program-files tests'.
#include <gtest/gtest.h>

#include <string>

#include "common/system_change.h"
#include "files/restart_operations.h"
#include "files_test_helpers.h"

using namespace files_test;

namespace {

const std::string kRoot = "C:\\files_restart";

// Pending operations as the system keeps them.
std::string Pairs(std::initializer_list<std::pair<std::string, std::string>> pairs) {
  std::string data;
  for (const auto& pair : pairs) data += pair.first + '\0' + pair.second + '\0';
  return data + '\0';
}

class RestartOperations : public ::testing::Test {
 protected:
  void SetUp() override {
    ts::DeleteTree(kRoot);
    ASSERT_TRUE(CreateDirectoryA(kRoot.c_str(), nullptr));
    ClearPendingOperations();
    RemoveWininit();
  }
  void TearDown() override {
    ClearPendingOperations();
    RemoveWininit();
    ts::DeleteTree(kRoot);
  }
  std::string MakeFile(const std::string& name, const std::string& content) {
    std::string path = kRoot + "\\" + name;
    WriteFileBytes(path, content);
    return path;
  }
  std::string MakeFolder(const std::string& name) {
    std::string path = kRoot + "\\" + name;
    EXPECT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
    return path;
  }
};

// --- NT family: the system's list of pending operations ---

TEST_F(RestartOperations, NtRecordsPairsInOrder) {
  ScopedWindowsVersion nt(VER_PLATFORM_WIN32_NT, 5);
  std::string staging = MakeFolder("VOD1.tmp");
  std::string staged = MakeFile("VOD1.tmp\\DidIve.exe", "new");
  std::string installed = MakeFile("DidIve.exe", "old");
  std::string stray = MakeFile("NvxSetup.xml", "stray");

  ASSERT_EQ(ScheduleDeleteAtRestart(stray.c_str()), 1);
  ASSERT_EQ(ScheduleMoveAtRestart(staged.c_str(), installed.c_str()), 1);
  ASSERT_EQ(ScheduleDeleteAtRestart((staging + "\\").c_str()), 1);

  // A move replaces its destination ("!").
  const std::string expected = Pairs({
      {"\\??\\" + stray, ""},
      {"\\??\\" + staged, "!\\??\\" + installed},
      {"\\??\\" + staging + "\\", ""},
  });
  EXPECT_EQ(PendingOperations(), expected);
  // Nothing changes before the restart.
  EXPECT_EQ(ReadFileBytes(installed), "old");
  EXPECT_TRUE(Exists(stray));
}

TEST_F(RestartOperations, NtDeleteListSchedulesEveryPath) {
  ScopedWindowsVersion nt(VER_PLATFORM_WIN32_NT, 4);
  std::string a = MakeFile("a.dll", "a");
  std::string b = MakeFile("b.dll", "b");
  std::string list = a + '\0' + b + '\0' + '\0';
  ASSERT_EQ(ScheduleDeleteListAtRestart(list.c_str()), 1);
  auto pairs = PendingPairs();
  ASSERT_EQ(pairs.size(), 2u);
  EXPECT_EQ(pairs[0].first, "\\??\\" + a);
  EXPECT_EQ(pairs[0].second, "");
  EXPECT_EQ(pairs[1].first, "\\??\\" + b);
  EXPECT_EQ(pairs[1].second, "");
  EXPECT_EQ(WininitText(), "missing");
}

TEST_F(RestartOperations, NothingIsRecordedWhenTheVersionCannotBeRead) {
  ScopedWindowsVersion unknown(VER_PLATFORM_WIN32_NT, 5);
  unknown.fail = true;
  std::string a = MakeFile("a.dll", "a");
  std::string list = a + '\0' + '\0';
  EXPECT_EQ(ScheduleDeleteAtRestart(a.c_str()), 0);
  EXPECT_EQ(ScheduleDeleteListAtRestart(list.c_str()), 0);
  EXPECT_EQ(ScheduleMoveAtRestart(a.c_str(), (kRoot + "\\b.dll").c_str()), 0);
  EXPECT_EQ(PendingOperations(), "missing");
  EXPECT_EQ(WininitText(), "missing");
}

// The value in UTF-16, as the system keeps it, byte for byte.
std::wstring WidePendingOperations() {
  HKEY key;
  std::wstring data = L"missing";
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_READ, &key) != ERROR_SUCCESS) return data;
  DWORD size = 0;
  if (RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS) {
    data.assign(size / sizeof(wchar_t), L'\0');
    RegQueryValueExW(key, L"PendingFileRenameOperations", nullptr, nullptr, reinterpret_cast<BYTE*>(&data[0]),
                     &size);
  }
  RegCloseKey(key);
  return data;
}

void SetWidePendingOperations(const std::wstring& data) {
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExW(key, L"PendingFileRenameOperations", 0, REG_MULTI_SZ,
                           reinterpret_cast<const BYTE*>(data.data()),
                           static_cast<DWORD>(data.size() * sizeof(wchar_t))),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

int RefuseEveryChange(const char*) { return 0; }

// Another program's pair with characters the code page lacks (a user
// profile in Chinese on a Western system) keeps every byte; the value is
// written back only when something of ours was withdrawn.
TEST_F(RestartOperations, WithdrawalKeepsForeignPairsByteForByte) {
  ScopedWindowsVersion nt(VER_PLATFORM_WIN32_NT, 5);
  const std::wstring theirs = std::wstring(L"\\??\\C:\\Users\\\u5F20\u4E09\\a.tmp") + L'\0' +
                             L"!\\??\\C:\\Users\\\u5F20\u4E09\\a.dll" + L'\0';
  const std::wstring ours =
      std::wstring(L"\\??\\C:\\WINDOWS\\TEMP\\VOD1.tmp\\DidIve.exe") + L'\0' + L"!\\??\\C:\\P\\DidIve.exe" + L'\0';
  const std::string paths = std::string("C:\\P\\DidIve.exe") + '\0' + '\0';
  struct Case {
    const char* what;
    std::wstring value;
    SystemChangeFilter filter;
  } cases[] = {
      {"ours withdrawn", ours + theirs + L'\0', nullptr},
      {"nothing of ours: no write", theirs + L'\0', RefuseEveryChange},
  };
  for (const Case& c : cases) {
    SetWidePendingOperations(c.value);
    SetSystemChangeFilter(c.filter);
    EXPECT_EQ(WithdrawRestartOperations(paths.c_str()), 1) << c.what;
    SetSystemChangeFilter(nullptr);
    EXPECT_EQ(WidePendingOperations(), theirs + L'\0') << c.what;
  }
}

// --- Windows 9x: the section "rename" of WININIT.INI ---

const std::string kForeignSection =
    "[rename]\r\nC:\\FOREIGN.DLL=C:\\FOREIGN.TMP\r\nNUL=C:\\OLD.TMP\r\n";

TEST_F(RestartOperations, NineXDeletionKeepsEarlierLines) {
  ScopedWindowsVersion win98(VER_PLATFORM_WIN32_WINDOWS, 4);
  MakeFolder("Long Folder Name");
  std::string file = MakeFile("Long Folder Name\\Setup Log.txt", "x");
  WriteFileBytes(WininitPath(), kForeignSection);

  ASSERT_EQ(ScheduleDeleteAtRestart(file.c_str()), 1);
  EXPECT_EQ(WininitText(), kForeignSection + "NUL=" + ShortPath(file) + "\r\n");
}

TEST_F(RestartOperations, NineXDeletionListWritesOneLinePerExistingPath) {
  ScopedWindowsVersion win98(VER_PLATFORM_WIN32_WINDOWS, 4);
  std::string a = MakeFile("first file.dll", "a");
  std::string b = MakeFile("B.DLL", "b");
  std::string missing = kRoot + "\\missing.dll";
  WriteFileBytes(WininitPath(), kForeignSection);

  std::string list = a + '\0' + missing + '\0' + b + '\0' + '\0';
  ASSERT_EQ(ScheduleDeleteListAtRestart(list.c_str()), 1);
  EXPECT_EQ(WininitText(),
            kForeignSection + "NUL=" + ShortPath(a) + "\r\nNUL=" + ShortPath(b) + "\r\n");
  EXPECT_EQ(PendingOperations(), "missing");
}

TEST_F(RestartOperations, NineXDeletionOfAMissingFileWritesNothing) {
  ScopedWindowsVersion win98(VER_PLATFORM_WIN32_WINDOWS, 4);
  EXPECT_EQ(ScheduleDeleteAtRestart((kRoot + "\\gone.exe").c_str()), 1);
  EXPECT_EQ(WininitText(), "missing");
}

TEST_F(RestartOperations, NineXMovesWriteShortDestinationEqualsShortSource) {
  ScopedWindowsVersion win98(VER_PLATFORM_WIN32_WINDOWS, 4);
  MakeFolder("Staging Folder");
  MakeFolder("Program Folder");
  std::string source1 = MakeFile("Staging Folder\\NvxSetup.dll", "new dll");
  std::string source2 = MakeFile("Staging Folder\\Long Library.dll", "new lib");
  std::string target1 = MakeFile("Program Folder\\NvxSetup.dll", "old dll");
  std::string target2 = MakeFile("Program Folder\\Long Library.dll", "old lib");

  ASSERT_EQ(ScheduleMoveAtRestart(source1.c_str(), target1.c_str()), 1);
  ASSERT_EQ(ScheduleMoveAtRestart(source2.c_str(), target2.c_str()), 1);
  std::string line1 = ShortPath(target1) + "=" + ShortPath(source1) + "\r\n";
  std::string line2 = ShortPath(target2) + "=" + ShortPath(source2) + "\r\n";
  EXPECT_EQ(WininitText(), "[rename]\r\n" + line1 + line2);
  EXPECT_EQ(ShortPath(target1).find(' '), std::string::npos);

  // The same destination again replaces its line.
  ASSERT_EQ(ScheduleMoveAtRestart(source2.c_str(), target1.c_str()), 1);
  EXPECT_EQ(WininitText(), "[rename]\r\n" + ShortPath(target1) + "=" + ShortPath(source2) + "\r\n" + line2);
}

TEST_F(RestartOperations, NineXMoveToANewFileNamesItInShortForm) {
  ScopedWindowsVersion win98(VER_PLATFORM_WIN32_WINDOWS, 4);
  std::string folder = MakeFolder("Program Folder");
  std::string source = MakeFile("staged unicows.dll", "u");
  WriteFileBytes(WininitPath(), kForeignSection);

  ASSERT_EQ(ScheduleMoveAtRestart(source.c_str(), (folder + "\\unicows.dll").c_str()), 1);
  std::string key = ShortPath(folder) + "\\unicows.dll";
  EXPECT_NE(key, folder + "\\unicows.dll");  // the folder's short form differs
  EXPECT_EQ(WininitText(), kForeignSection + key + "=" + ShortPath(source) + "\r\n");
}

TEST_F(RestartOperations, NineXMoveFailsRatherThanWriteAnEmptyOrLongKey) {
  ScopedWindowsVersion win98(VER_PLATFORM_WIN32_WINDOWS, 4);
  std::string folder = MakeFolder("Program Folder");
  std::string source = MakeFile("staged.bin", "s");
  struct Case {
    const char* what;
    std::string destination;
  } cases[] = {
      {"name not valid in 8.3 form", folder + "\\didive.exe.manifest"},
      {"name too long for 8.3", folder + "\\LongLibraryName.dll"},
      {"folder missing", kRoot + "\\No Such Folder\\a.dll"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ScheduleMoveAtRestart(source.c_str(), c.destination.c_str()), 0) << c.what;
  }
  EXPECT_EQ(ScheduleMoveAtRestart((kRoot + "\\no source.bin").c_str(), (folder + "\\a.dll").c_str()), 0);
  EXPECT_EQ(WininitText(), "missing");
}

// --- Whether an operation is pending for a file name ---

// The reading of the value by name is the native tests'; here the registry.
TEST_F(RestartOperations, RenamePendingOverRegistryValues) {
  ScopedWindowsVersion nt(VER_PLATFORM_WIN32_NT, 5);
  struct Case {
    const char* what;
    std::string value;
    const char* name;
    int pending;
  } cases[] = {
      {"uninstaller deletion", Pairs({{"\\??\\C:\\windows\\_nvxu000.exe", ""}}), "_nvxu000.exe", 1},
      {"move away from the name",
       Pairs({{"\\??\\C:\\windows\\_nvxu000.exe", "\\??\\C:\\windows\\old.exe"}}), "_nvxu000.exe", 0},
  };
  for (const Case& c : cases) {
    SetPendingOperations(c.value);
    EXPECT_EQ(IsRenamePending(c.name), c.pending) << c.what;
  }
  ClearPendingOperations();
  EXPECT_EQ(IsRenamePending("_nvxu000.exe"), 0);
}

// Windows 9x keeps no list in the registry, and WININIT.INI is not read.
TEST_F(RestartOperations, RenamePendingOn9xIsNeverFound) {
  std::string uninstaller = MakeFile("_nvxu000.exe", "u");
  ScopedWindowsVersion win98(VER_PLATFORM_WIN32_WINDOWS, 4);
  ASSERT_EQ(ScheduleDeleteAtRestart(uninstaller.c_str()), 1);
  EXPECT_EQ(IsRenamePending("_nvxu000.exe"), 0);
}

}  // namespace
