// Shortcut files made and removed by the shortcut operations, read back
// through the shell link object.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/support.h"
#include "win/files_test_helpers.h"

#include "common/option_bits.h"
#include "common/system_library.h"
#include "package/shell_folders.h"
#include "package/shortcuts.h"

namespace {


// A program file to point at, in a folder of its own; two backslashes stand
// before the file name as in the installed program's path.
class ShortcutsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ts::IsolateShortcutFolders();
    base_ = "C:\\shortcut_tests";
    CreateDirectoryA(base_.c_str(), nullptr);
    programFolder_ = base_ + "\\Program";
    CreateDirectoryA(programFolder_.c_str(), nullptr);
    HANDLE file = CreateFileA((programFolder_ + "\\DidIve.exe").c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    programPath_ = programFolder_ + "\\\\DidIve.exe";
  }
  void TearDown() override {
    for (const std::string& path : cleanup_) {
      DeleteFileA(path.c_str());
      RemoveDirectoryA(path.c_str());
    }
    DeleteFileA((programFolder_ + "\\DidIve.exe").c_str());
    RemoveDirectoryA(programFolder_.c_str());
    RemoveDirectoryA(base_.c_str());
  }
  // Removed after the test, files and folders in the order given.
  void Clean(const std::string& path) { cleanup_.push_back(path); }

  std::string base_;
  std::string programFolder_;
  std::string programPath_;
  std::vector<std::string> cleanup_;
};

struct KindCase {
  const char* label;
  int folderId;
  int (*set)(const char*, const char*, uint32_t);
  int (*exists)(const char*);
};

const KindCase kKinds[] = {
    {"desktop", CSIDL_DESKTOP, SetDesktopShortcut, DesktopShortcutExists},
    {"start menu", CSIDL_COMMON_STARTMENU, SetStartMenuShortcut, StartMenuShortcutExists},
};

TEST_F(ShortcutsTest, CreatesReadsBackAndRemovesEachKind) {
  for (const KindCase& kind : kKinds) {
    SCOPED_TRACE(kind.label);
    const std::string name = "Shortcut Test Product";
    const std::string file = ts::SpecialFolder(kind.folderId) + "\\" + name + ".lnk";
    Clean(file);
    EXPECT_EQ(0, kind.exists(name.c_str()));

    ASSERT_EQ(1, kind.set(programPath_.c_str(), name.c_str(), OptInstall | OptSilent));
    ASSERT_TRUE(ts::FileExists(file));
    EXPECT_EQ(1, kind.exists(name.c_str()));
    ts::ShortcutData link = ts::ReadShortcut(file);
    ASSERT_TRUE(link.loaded);
    EXPECT_STRCASEEQ((programFolder_ + "\\DidIve.exe").c_str(), link.path.c_str());
    EXPECT_EQ(programPath_, link.iconPath);
    EXPECT_EQ(1, link.iconIndex);
    EXPECT_EQ(programFolder_ + "\\", link.workingFolder);

    // Creating again overwrites the file.
    EXPECT_EQ(1, kind.set(programPath_.c_str(), name.c_str(), OptInstall));

    EXPECT_EQ(1, kind.set(nullptr, name.c_str(), 0));
    EXPECT_FALSE(ts::FileExists(file));
    EXPECT_EQ(0, kind.exists(name.c_str()));
    // Removing what is not there succeeds and touches nothing.
    EXPECT_EQ(1, kind.set(nullptr, name.c_str(), OptSilent));
  }
}

TEST_F(ShortcutsTest, FindsAndRemovesANameWithAnExtension) {
  // A dotted name must not be searched without ".lnk".
  const std::string name = "Installer 2.0";
  const std::string file = ts::SpecialFolder(CSIDL_DESKTOP) + "\\" + name + ".lnk";
  Clean(file);
  ASSERT_EQ(1, SetDesktopShortcut(programPath_.c_str(), name.c_str(), OptInstall));
  ASSERT_TRUE(ts::FileExists(file));
  EXPECT_EQ(1, DesktopShortcutExists(name.c_str()));
  // A file named like the shortcut without ".lnk" is not the shortcut.
  const std::string bare = ts::SpecialFolder(CSIDL_DESKTOP) + "\\Installer 3.0";
  Clean(bare);
  HANDLE other = CreateFileA(bare.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, other);
  CloseHandle(other);
  EXPECT_EQ(0, DesktopShortcutExists("Installer 3.0"));

  EXPECT_EQ(1, SetDesktopShortcut(nullptr, name.c_str(), 0));
  EXPECT_FALSE(ts::FileExists(file));
  EXPECT_TRUE(ts::FileExists(bare));
}

TEST_F(ShortcutsTest, StartMenuShortcutGoesToTheCommonStartMenuOnNt) {
  const std::string name = "Shortcut Test Common";
  const std::string common = ts::SpecialFolder(CSIDL_COMMON_STARTMENU) + "\\" + name + ".lnk";
  const std::string own = ts::SpecialFolder(CSIDL_STARTMENU) + "\\" + name + ".lnk";
  const std::string desktop = ts::SpecialFolder(CSIDL_DESKTOP) + "\\" + name + ".lnk";
  const std::string commonDesktop = ts::SpecialFolder(CSIDL_COMMON_DESKTOPDIRECTORY) + "\\" + name + ".lnk";
  ASSERT_NE(common, own);
  Clean(common);
  Clean(desktop);
  ASSERT_EQ(1, SetStartMenuShortcut(programPath_.c_str(), name.c_str(), OptInstall));
  ASSERT_EQ(1, SetDesktopShortcut(programPath_.c_str(), name.c_str(), OptInstall));
  EXPECT_TRUE(ts::FileExists(common));
  EXPECT_FALSE(ts::FileExists(own));
  EXPECT_TRUE(ts::FileExists(desktop));
  if (commonDesktop != desktop) EXPECT_FALSE(ts::FileExists(commonDesktop));
}

class GroupShortcutTest : public ShortcutsTest {
 protected:
  void SetUp() override {
    ShortcutsTest::SetUp();
    programs_ = base_ + "\\Programs";
    CreateDirectoryA(programs_.c_str(), nullptr);
    group_ = programs_ + "\\Ravozeve";
    link_ = group_ + "\\Ravozeve Vuzizirer.lnk";
  }
  void TearDown() override {
    Clean(link_);
    Clean(group_);
    Clean(programs_);
    ShortcutsTest::TearDown();
  }
  // A shortcut in folder whose icon location is iconPath.
  std::string PlantLink(const std::string& folder, const std::string& name, const std::string& iconPath) {
    CreateDirectoryA(folder.c_str(), nullptr);
    const std::string file = folder + "\\" + name;
    // Made through the same operation, then pointed elsewhere if asked.
    EXPECT_EQ(1, SetGroupShortcut(iconPath.c_str(), file.c_str(), folder.c_str(), OptInstall));
    Clean(file);
    return file;
  }
  std::string programs_;
  std::string group_;
  std::string link_;
};

TEST_F(GroupShortcutTest, CreatesTheGroupAndRemovesItWhenEmpty) {
  for (bool otherFile : {false, true}) {
    SCOPED_TRACE(otherFile ? "group holds another file" : "group empty");
    ASSERT_FALSE(ts::FolderExists(group_));
    ASSERT_EQ(1, SetGroupShortcut(programPath_.c_str(), link_.c_str(), group_.c_str(), OptInstall));
    ASSERT_TRUE(ts::FileExists(link_));
    ts::ShortcutData link = ts::ReadShortcut(link_);
    ASSERT_TRUE(link.loaded);
    EXPECT_EQ(programPath_, link.iconPath);
    std::string other;
    if (otherFile) other = PlantLink(group_, "Other.lnk", "C:\\Other\\Other.exe");

    EXPECT_EQ(1, SetGroupShortcut(nullptr, link_.c_str(), group_.c_str(), 0));
    EXPECT_FALSE(ts::FileExists(link_));
    EXPECT_EQ(otherFile, ts::FolderExists(group_));
    if (otherFile) EXPECT_TRUE(ts::FileExists(other));
    // Removing again finds nothing and still succeeds.
    EXPECT_EQ(1, SetGroupShortcut(nullptr, link_.c_str(), group_.c_str(), 0));
  }
}

TEST_F(GroupShortcutTest, FailsWhenTheShortcutCannotBeSaved) {
  // Only one folder level is created; the save below a missing one fails.
  const std::string deep = programs_ + "\\Missing\\Deeper";
  EXPECT_EQ(0, SetGroupShortcut(programPath_.c_str(), (deep + "\\X.lnk").c_str(), deep.c_str(),
                                OptInstall));
  EXPECT_FALSE(ts::FolderExists(deep));
}

struct OldGroupCase {
  const char* label;
  const char* oldGroup;
  const char* iconPath;  // "" = the program path itself
  bool upperCase;        // icon location differs in letter case only
  bool extraFile;        // the old group holds another file too
  bool removed;
};

const OldGroupCase kOldGroupCases[] = {
    {"same program", "Plumwick", "", false, false, true},
    {"same program, other letter case", "Access KWO", "", true, false, true},
    {"same program, other files stay", "Plumwick", "", false, true, true},
    {"another program", "Access KWO", "C:\\Elsewhere\\\\DidIve.exe", false, false, false},
    {"group of another name", "Plumwick Old", "", false, false, false},
};

// The stub that Windows 9x has in place of the wide listing.
HANDLE WINAPI FindFirstFileWOf9x(LPCWSTR, WIN32_FIND_DATAW*) {
  SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
  return INVALID_HANDLE_VALUE;
}

TEST_F(GroupShortcutTest, ClearsOlderGroupsBesideTheNewOne) {
  for (bool nt : {true, false}) {
    files_test::ScopedWindowsVersion version(nt ? VER_PLATFORM_WIN32_NT : VER_PLATFORM_WIN32_WINDOWS,
                                             nt ? 5 : 4);
    if (!nt) g_findFirstFileW = FindFirstFileWOf9x;
    for (const OldGroupCase& c : kOldGroupCases) {
      SCOPED_TRACE(std::string(c.label) + (nt ? " on NT" : " on 98"));
      const std::string oldGroup = programs_ + "\\" + c.oldGroup;
      std::string icon = c.iconPath[0] != '\0' ? c.iconPath : programPath_;
      if (c.upperCase) CharUpperA(&icon[0]);
      const std::string old = PlantLink(oldGroup, "Old Product.lnk", icon);
      Clean(oldGroup);
      std::string extra;
      if (c.extraFile) extra = PlantLink(oldGroup, "Readme.lnk", "C:\\Other\\Readme.exe");

      ASSERT_EQ(1, SetGroupShortcut(programPath_.c_str(), link_.c_str(), group_.c_str(), OptInstall));
      EXPECT_TRUE(ts::FileExists(link_));
      EXPECT_EQ(!c.removed, ts::FileExists(old));
      EXPECT_EQ(!c.removed || c.extraFile, ts::FolderExists(oldGroup));
      if (c.extraFile) EXPECT_TRUE(ts::FileExists(extra));

      DeleteFileA(old.c_str());
      if (!extra.empty()) DeleteFileA(extra.c_str());
      RemoveDirectoryA(oldGroup.c_str());
    }
    g_findFirstFileW = FindFirstFileW;
  }
}

TEST_F(GroupShortcutTest, KeepsTheShortcutOfAGroupThatCarriesAnOldName) {
  // The current group itself is called "Plumwick": an upgrade must not
  // empty it and then fail to save into the removed folder.
  group_ = programs_ + "\\Plumwick";
  link_ = group_ + "\\Ravozeve Vuzizirer.lnk";
  ASSERT_EQ(1, SetGroupShortcut(programPath_.c_str(), link_.c_str(), group_.c_str(), OptInstall));
  ASSERT_EQ(1, SetGroupShortcut(programPath_.c_str(), link_.c_str(), group_.c_str(), OptInstall));
  EXPECT_TRUE(ts::FileExists(link_));
}

// The program group's change notification flushes; on Windows 9x without
// waiting (0x2000 alone).
UINT g_notifyFlags = 0;
void WINAPI RecordNotification(LONG, UINT flags, LPCVOID, LPCVOID) { g_notifyFlags = flags; }

TEST_F(GroupShortcutTest, NotifiesTheShellWithTheFlushOfEachFamily) {
  for (bool nt : {true, false}) {
    files_test::ScopedWindowsVersion version(nt ? VER_PLATFORM_WIN32_NT : VER_PLATFORM_WIN32_WINDOWS,
                                             nt ? 5 : 4);
    g_notifyShell = RecordNotification;
    for (uint32_t mode : {static_cast<uint32_t>(OptInstall), 0u}) {
      g_notifyFlags = 0;
      EXPECT_EQ(1, SetGroupShortcut(programPath_.c_str(), link_.c_str(), group_.c_str(), mode));
      EXPECT_EQ(nt ? 0x1000u : 0x2000u, g_notifyFlags) << (nt ? "NT" : "9x") << " mode " << mode;
    }
    g_notifyShell = SHChangeNotify;
  }
}

// shell32 before version 5.0 (Windows 98, NT 4.0) lacks the folder query;
// "shfolder.dll" of the system folder has it.
struct FolderQueryCase {
  const char* label;
  bool shell32Has;
  bool shfolderHas;
  bool found;
};

const FolderQueryCase kFolderQueryCases[] = {
    {"shell32", true, true, true},
    {"shfolder.dll", false, true, true},
    {"neither", false, false, false},
};

const FolderQueryCase* g_folderCase = nullptr;
std::vector<std::string> g_loaded;

FARPROC WINAPI FindExportOf(HMODULE module, LPCSTR name) {
  bool shell32 = module == GetModuleHandleA("shell32.dll");
  if (shell32 ? !g_folderCase->shell32Has : !g_folderCase->shfolderHas) return nullptr;
  return GetProcAddress(module, name);
}

HMODULE WINAPI RecordLoad(LPCSTR path) {
  g_loaded.push_back(path);
  return LoadLibraryA(path);
}

TEST(ShellFolder, TakesTheQueryOfShell32ElseOfShfolderFromTheSystemFolder) {
  char system[MAX_PATH] = {};
  GetSystemDirectoryA(system, MAX_PATH);
  const std::string expected = ts::SpecialFolder(CSIDL_PROGRAMS);
  ASSERT_FALSE(expected.empty());
  for (const FolderQueryCase& c : kFolderQueryCases) {
    SCOPED_TRACE(c.label);
    g_folderCase = &c;
    g_loaded.clear();
    g_findProcedure = FindExportOf;
    g_loadLibrary = RecordLoad;
    char folder[MAX_PATH];
    int found = GetShellFolder(CSIDL_PROGRAMS, folder);
    g_findProcedure = GetProcAddress;
    g_loadLibrary = LoadLibraryA;
    EXPECT_EQ(c.found, found == 1);
    EXPECT_EQ(c.found ? expected : std::string(), folder);
    std::vector<std::string> loads;
    if (!c.shell32Has) loads.push_back(std::string(system) + "\\shfolder.dll");
    EXPECT_EQ(loads, g_loaded);
  }
}

}  // namespace
