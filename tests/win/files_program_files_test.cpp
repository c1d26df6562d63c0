// The file step on real folders of the Wine prefix: what stands where
// afterwards, and what was recorded for the restart.
#include <gtest/gtest.h>

#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/option_bits.h"
#include "common/system_change.h"
#include "files/file_access.h"
#include "files/program_files.h"
#include "files_test_helpers.h"
#include "package/setup_package.h"

using namespace files_test;

namespace {

const std::string kPackage = "C:\\files_pkg";
const std::string kPrograms = "C:\\files_prog";
const std::string kFolder = kPrograms + "\\Ravozeve Vuzizirer";

// A folder on another drive than the Windows folder: Wine's drive Z: is the
// Unix root.
std::string OtherDriveFolder() {
  std::string folder = std::string("Z:") + SETUP_BUILD_DIR + "/files_zdrive";
  for (char& c : folder) if (c == '/') c = '\\';
  return folder;
}

void RemoveStagingFoldersIn(const std::string& folder) {
  for (const std::string& staging : StagingFoldersIn(folder)) ts::DeleteTree(staging);
}

struct Variant {
  bool xml;
  const char* descriptor;       // in the package
  const char* installed;        // in the program folder
  const char* otherInstalled;   // the other kind's descriptor
};
const Variant kIni = {false, "DidIve.nvx", "NvxSetup.ini", "NvxSetup.xml"};
const Variant kXml = {true, "VOD.xml", "NvxSetup.xml", "NvxSetup.ini"};

class ProgramFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    savedXml_ = g_setupPackage.isXmlDescriptor;
    Clean();
    ASSERT_TRUE(CreateDirectoryA(kPackage.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(kPrograms.c_str(), nullptr));
    for (int i = 0; i < kProgramFileCount; ++i) {
      std::string name = PackageName(i, kIni.descriptor);
      WriteFileBytes(kPackage + "\\" + name, "new " + name);
    }
    WriteFileBytes(kPackage + "\\" + kXml.descriptor, std::string("new ") + kXml.descriptor);
  }
  void TearDown() override {
    Clean();
    g_setupPackage.isXmlDescriptor = savedXml_;
  }
  void Clean() {
    ClearPendingOperations();
    RemoveWininit();
    ts::DeleteTree(kPackage);
    ts::DeleteTree(kPrograms);
    ts::DeleteTree(OtherDriveFolder());
    DeleteFileA(Uninstaller().c_str());
    RemoveStagingFoldersIn(TempFolder());
  }

  void UseVariant(const Variant& variant) { g_setupPackage.isXmlDescriptor = variant.xml; }

  // The final paths of the set for a variant, entry 0 the uninstaller.
  static std::vector<std::string> FinalPaths(const Variant& variant, const std::string& folder = kFolder) {
    return files_test::FinalPaths(folder, variant.installed);
  }
  // What the package holds for entry i.
  static std::string PackageContent(const Variant& variant, int i) {
    return "new " + PackageName(i, variant.descriptor);
  }
  // An earlier installation: every file of the set with "old" contents.
  void InstallOld(const Variant& variant, const std::string& folder = kFolder) {
    CreateDirectoryA(folder.c_str(), nullptr);
    for (const std::string& path : FinalPaths(variant, folder)) WriteFileBytes(path, "old");
  }
  void ExpectNewFiles(const Variant& variant, const std::string& folder = kFolder) {
    std::vector<std::string> paths = FinalPaths(variant, folder);
    for (int i = 0; i < kProgramFileCount; ++i) {
      EXPECT_EQ(ReadFileBytes(paths[i]), PackageContent(variant, i)) << paths[i];
    }
  }
  void ExpectOldFiles(const Variant& variant) {
    for (const std::string& path : FinalPaths(variant)) EXPECT_EQ(ReadFileBytes(path), "old") << path;
  }
  static std::vector<std::string> InstalledNames(const Variant& variant) {
    return files_test::InstalledNames(variant.installed);
  }

  // The folder on the other drive, made so that Everyone may modify what is
  // made in it, as a drive's root lets signed-in users do.
  static std::string MakeOtherDriveFolder() {
    const std::string folder = OtherDriveFolder();
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    EXPECT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA("D:(A;OICI;0x1301bf;;;WD)", SDDL_REVISION_1,
                                                                     &descriptor, nullptr));
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), descriptor, FALSE};
    EXPECT_TRUE(CreateDirectoryA(folder.c_str(), &attributes)) << folder;
    LocalFree(descriptor);
    return folder;
  }

  int savedXml_ = 0;
};

// --- Install, no running product ---

TEST_F(ProgramFiles, FreshInstallPutsElevenFilesAndTheUninstallerInPlace) {
  for (const Variant* variant : {&kIni, &kXml}) {
    SCOPED_TRACE(variant->installed);
    ScopedWindowsVersion xp(VER_PLATFORM_WIN32_NT, 5);
    UseVariant(*variant);
    ASSERT_EQ(InstallProgramFiles(nullptr, kPackage.c_str(), kFolder.c_str(), 0), 1);
    EXPECT_EQ(FilesIn(kFolder), InstalledNames(*variant));
    ExpectNewFiles(*variant);
    EXPECT_TRUE(StagingFoldersIn(TempFolder()).empty());
    EXPECT_EQ(PendingOperations(), "missing");
    ts::DeleteTree(kFolder);
    DeleteFileA(Uninstaller().c_str());
  }
}

TEST_F(ProgramFiles, InstallReplacesAnEarlierInstallationOfEitherKind) {
  struct Case {
    const Variant* before;
    const Variant* package;
    DWORD platform;
    bool manifestStays;
  } cases[] = {
      {&kXml, &kIni, VER_PLATFORM_WIN32_NT, false},
      {&kIni, &kXml, VER_PLATFORM_WIN32_NT, false},
      {&kXml, &kIni, VER_PLATFORM_WIN32_WINDOWS, true},
      {&kIni, &kXml, VER_PLATFORM_WIN32_WINDOWS, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.package->installed) + (c.platform == VER_PLATFORM_WIN32_NT ? " NT" : " 9x"));
    ScopedWindowsVersion version(c.platform, c.platform == VER_PLATFORM_WIN32_NT ? 5 : 4);
    InstallOld(*c.before);
    WriteFileBytes(kFolder + "\\didive.exe.manifest", "manifest");
    WriteFileBytes(kFolder + "\\user.dat", "kept");
    UseVariant(*c.package);
    ASSERT_EQ(InstallProgramFiles(nullptr, kPackage.c_str(), kFolder.c_str(), 0), 1);
    ExpectNewFiles(*c.package);
    EXPECT_FALSE(Exists(kFolder + "\\" + c.package->otherInstalled));
    EXPECT_EQ(Exists(kFolder + "\\didive.exe.manifest"), c.manifestStays);
    EXPECT_EQ(ReadFileBytes(kFolder + "\\user.dat"), "kept");
    EXPECT_TRUE(StagingFoldersIn(TempFolder()).empty());
    EXPECT_EQ(PendingOperations(), "missing");
    EXPECT_EQ(WininitText(), "missing");
    ts::DeleteTree(kFolder);
    DeleteFileA(Uninstaller().c_str());
  }
}

// Refuses to create the root of drive C: as Windows does (access denied);
// Wine answers that it exists.
int RefuseCreatingTheRoot(const char* change) { return std::string(change) != "create folder C:\\"; }

TEST_F(ProgramFiles, ProgramFolderIsCreatedLevelByLevel) {
  ScopedWindowsVersion xp(VER_PLATFORM_WIN32_NT, 5);
  UseVariant(kIni);
  const std::string deep = kPrograms + "\\one\\two\\three\\Ravozeve Vuzizirer";
  struct Case {
    std::string folder;
    std::string filesAt;
  } cases[] = {
      {deep, deep},
      // A trailing backslash names the same folder.
      {deep + "\\", deep},
      // A root exists and is used as it is.
      {"C:\\", "C:"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.folder);
    ts::DeleteTree(kPrograms + "\\one");
    SetSystemChangeFilter(RefuseCreatingTheRoot);
    EXPECT_EQ(InstallProgramFiles(nullptr, kPackage.c_str(), c.folder.c_str(), 0), 1);
    SetSystemChangeFilter(nullptr);
    ExpectNewFiles(kIni, c.filesAt);
  }
  for (const std::string& path : FinalPaths(kIni, "C:")) DeleteFileA(path.c_str());
}

TEST_F(ProgramFiles, FolderOnAMissingDriveFailsBeforeAnythingIsInPlace) {
  ScopedWindowsVersion xp(VER_PLATFORM_WIN32_NT, 5);
  UseVariant(kIni);
  ASSERT_FALSE(Exists("Q:\\"));
  EXPECT_EQ(InstallProgramFiles(nullptr, kPackage.c_str(), "Q:\\Ravozeve Vuzizirer", 0), 0);
  EXPECT_FALSE(Exists(Uninstaller()));
  EXPECT_EQ(PendingOperations(), "missing");
}

TEST_F(ProgramFiles, MissingPackageFileChangesNothingAtTheFinalPlaces) {
  ScopedWindowsVersion xp(VER_PLATFORM_WIN32_NT, 5);
  struct Case {
    const Variant* variant;
    const char* missing;
  } cases[] = {
      {&kIni, "NVXSYSID.vxd"}, {&kIni, "setup.exe"}, {&kIni, "NvxFlash.dll"},
      {&kIni, "DidIve.nvx"},   {&kXml, "VOD.xml"},   {&kXml, "DidIve"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.missing);
    ts::DeleteTree(kFolder);
    InstallOld(*c.variant);
    UseVariant(*c.variant);
    std::string missing = kPackage + "\\" + c.missing;
    std::string content = ReadFileBytes(missing);
    ASSERT_TRUE(DeleteFileA(missing.c_str()));
    EXPECT_EQ(InstallProgramFiles(nullptr, kPackage.c_str(), kFolder.c_str(), 0), 0);
    ExpectOldFiles(*c.variant);
    EXPECT_EQ(FilesIn(kFolder), InstalledNames(*c.variant));
    EXPECT_EQ(PendingOperations(), "missing");
    WriteFileBytes(missing, content);
    RemoveStagingFoldersIn(TempFolder());
  }
  // Nor is a missing program folder created.
  ts::DeleteTree(kFolder);
  DeleteFileA(Uninstaller().c_str());
  DeleteFileA((kPackage + "\\nvxlibb.dll").c_str());
  EXPECT_EQ(InstallProgramFiles(nullptr, kPackage.c_str(), kFolder.c_str(), 0), 0);
  EXPECT_FALSE(Exists(kFolder));
  EXPECT_FALSE(Exists(Uninstaller()));
}

// Twelve long paths make lists far longer than 2600 bytes; every file must
// still arrive under its whole name.
TEST_F(ProgramFiles, LongProgramFolderPathsAreNotCut) {
  ScopedWindowsVersion xp(VER_PLATFORM_WIN32_NT, 5);
  UseVariant(kIni);
  std::string deep = kPrograms;
  while (deep.size() < 225) deep += "\\" + std::string(40, 'd');
  deep.resize(225);
  ASSERT_GT(11 * (deep.size() + 14), 2600u);
  ASSERT_EQ(InstallProgramFiles(nullptr, kPackage.c_str(), deep.c_str(), 0), 1);
  ExpectNewFiles(kIni, deep);
  EXPECT_EQ(FilesIn(deep), InstalledNames(kIni));
}

// --- Install while the product runs: everything at the restart ---

// One replacing move per file and no deletion of a final path: a staged copy
// gone by the restart leaves the old file in place.
TEST_F(ProgramFiles, RunningProductOnNtSchedulesOneReplacingMovePerFile) {
  ScopedWindowsVersion xp(VER_PLATFORM_WIN32_NT, 5);
  InstallOld(kIni);
  WriteFileBytes(kFolder + "\\NvxSetup.xml", "old xml");
  WriteFileBytes(kFolder + "\\didive.exe.manifest", "manifest");
  UseVariant(kIni);
  ASSERT_EQ(InstallProgramFiles(nullptr, kPackage.c_str(), kFolder.c_str(), 1), 1);

  ExpectOldFiles(kIni);
  EXPECT_EQ(ReadFileBytes(kFolder + "\\NvxSetup.xml"), "old xml");
  std::vector<std::string> staging = StagingFoldersIn(TempFolder());
  ASSERT_EQ(staging.size(), 1u);
  std::vector<std::pair<std::string, std::string>> expected = {
      {"\\??\\" + kFolder + "\\NvxSetup.xml", ""},
      {"\\??\\" + kFolder + "\\didive.exe.manifest", ""},
  };
  std::vector<std::string> finals = FinalPaths(kIni);
  for (int i = 0; i < kProgramFileCount; ++i) {
    expected.push_back({"\\??\\" + staging[0] + "\\" + InstalledName(i, kIni.installed), "!\\??\\" + finals[i]});
  }
  expected.push_back({"\\??\\" + staging[0] + "\\", ""});
  EXPECT_EQ(PendingPairs(), expected);

  RunRestart();
  ExpectNewFiles(kIni);
  EXPECT_EQ(FilesIn(kFolder), InstalledNames(kIni));
  EXPECT_TRUE(StagingFoldersIn(TempFolder()).empty());
}

TEST_F(ProgramFiles, RunningProductOn9xWritesMoveLinesAfterEarlierLines) {
  ScopedWindowsVersion win98(VER_PLATFORM_WIN32_WINDOWS, 4);
  InstallOld(kIni);
  DeleteFileA((kFolder + "\\NvxFlash.dll").c_str());  // new in this version
  WriteFileBytes(kFolder + "\\NvxSetup.xml", "old xml");
  WriteFileBytes(kFolder + "\\didive.exe.manifest", "manifest");
  WriteFileBytes(kPrograms + "\\foreign.tmp", "foreign");
  const std::string foreignLine = "NUL=" + ShortPath(kPrograms + "\\foreign.tmp") + "\r\n";
  WriteFileBytes(WininitPath(), "[rename]\r\n" + foreignLine);
  UseVariant(kIni);
  ASSERT_EQ(InstallProgramFiles(nullptr, kPackage.c_str(), kFolder.c_str(), 1), 1);

  std::vector<std::string> staging = StagingFoldersIn(TempFolder());
  ASSERT_EQ(staging.size(), 1u);
  std::string expected = "[rename]\r\n" + foreignLine + "NUL=" + ShortPath(kFolder + "\\NvxSetup.xml") + "\r\n";
  std::vector<std::string> finals = FinalPaths(kIni);
  for (int i = 0; i < kProgramFileCount; ++i) {
    std::string destination = i == 11 ? ShortPath(kFolder) + "\\NvxFlash.dll" : ShortPath(finals[i]);
    expected += destination + "=" + ShortPath(staging[0] + "\\" + InstalledName(i, kIni.installed)) + "\r\n";
  }
  EXPECT_EQ(WininitText(), expected);
  EXPECT_EQ(PendingOperations(), "missing");
  for (int i = 0; i < 11; ++i) EXPECT_EQ(ReadFileBytes(finals[i]), "old") << finals[i];
  EXPECT_FALSE(Exists(finals[11]));

  RunRestart();
  ExpectNewFiles(kIni);
  EXPECT_FALSE(Exists(kPrograms + "\\foreign.tmp"));
  EXPECT_FALSE(Exists(kFolder + "\\NvxSetup.xml"));
  EXPECT_TRUE(Exists(kFolder + "\\didive.exe.manifest"));
}

std::vector<std::string> g_securedPaths;
DWORD WINAPI RecordSecuredPath(LPSTR name, SE_OBJECT_TYPE, SECURITY_INFORMATION, PSID, PSID, PACL, PACL) {
  g_securedPaths.push_back(name);
  return ERROR_SUCCESS;
}

// A restart cannot move a file across volumes: the copies for a program
// folder on another drive wait in it under temporary names, secured like the
// files they become, and the moves consume them, on 9x too, where no folder
// could be removed at the restart. A folder the length rule just lets
// through holds them as well.
TEST_F(ProgramFiles, RunningProductWithTheProgramOnAnotherDriveStagesThere) {
  struct Case {
    const char* what;
    DWORD platform, major;
    size_t length;  // of the program folder, 0 for its plain name
  } cases[] = {
      {"XP", VER_PLATFORM_WIN32_NT, 5, 0},
      {"98", VER_PLATFORM_WIN32_WINDOWS, 4, 0},
      {"XP, the longest folder", VER_PLATFORM_WIN32_NT, 5, 260 - 14},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ScopedWindowsVersion version(c.platform, c.major);
    const std::string parent = MakeOtherDriveFolder();
    std::string folder = parent + "\\Ravozeve Vuzizirer";
    if (c.length == 0) {
      InstallOld(kIni, folder);
    } else {
      // Ends in a short name: a staging folder beside it would need more room.
      folder = parent;
      while (folder.size() + 41 + 4 <= c.length) folder += "\\" + std::string(40, 'd');
      folder += "\\" + std::string(c.length - folder.size() - 3, 'e') + "\\a";
      ASSERT_EQ(folder.size(), c.length);
    }
    UseVariant(kIni);
    g_securedPaths.clear();
    g_setNamedSecurityInfo = RecordSecuredPath;
    const int installed = InstallProgramFiles(nullptr, kPackage.c_str(), folder.c_str(), 1);
    g_setNamedSecurityInfo = SetNamedSecurityInfoA;
    ASSERT_EQ(installed, 1);
    std::vector<std::string> waiting = NamesIn(folder, "VOD*.tmp", false);
    EXPECT_EQ(waiting.size(), 11u);
    EXPECT_TRUE(StagingFoldersIn(parent).empty());
    if (c.platform == VER_PLATFORM_WIN32_NT) {
      for (const std::string& name : waiting) {
        EXPECT_NE(std::find(g_securedPaths.begin(), g_securedPaths.end(), folder + "\\" + name), g_securedPaths.end())
            << name;
      }
    }

    RunRestart();
    ExpectNewFiles(kIni, folder);
    EXPECT_EQ(FilesIn(folder), InstalledNames(kIni));
    if (c.platform == VER_PLATFORM_WIN32_NT) EXPECT_TRUE(StagingFoldersIn(TempFolder()).empty());
    ts::DeleteTree(parent);
    RemoveWininit();
    RemoveStagingFoldersIn(TempFolder());
  }
}

// The package is read whole before anything is made on the program folder's
// drive: a file missing from it leaves that drive as it was.
TEST_F(ProgramFiles, MissingPackageFileMakesNothingOnTheOtherDrive) {
  ScopedWindowsVersion xp(VER_PLATFORM_WIN32_NT, 5);
  UseVariant(kIni);
  const std::string parent = MakeOtherDriveFolder();
  ASSERT_TRUE(DeleteFileA((kPackage + "\\nvxlibb.dll").c_str()));
  const std::string folder = parent + "\\new\\Ravozeve Vuzizirer";
  EXPECT_EQ(InstallProgramFiles(nullptr, kPackage.c_str(), folder.c_str(), 1), 0);
  EXPECT_TRUE(NamesIn(parent, "new", true).empty());
}

// What each folder was made with, read from what was handed to the system:
// Wine keeps no access list of its own.
struct MadeFolder {
  std::string path;
  bool protectedList;
  std::string owner;
  std::vector<Ace> aces;
};
std::vector<MadeFolder> g_madeFolders;

BOOL WINAPI RecordFolder(LPCSTR path, LPSECURITY_ATTRIBUTES attributes) {
  MadeFolder made = {path, false, "none", {}};
  PSECURITY_DESCRIPTOR descriptor = attributes != nullptr ? attributes->lpSecurityDescriptor : nullptr;
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  PSID owner = nullptr;
  PACL list = nullptr;
  BOOL present = FALSE, defaulted = FALSE;
  if (descriptor != nullptr && GetSecurityDescriptorControl(descriptor, &control, &revision) &&
      GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) &&
      GetSecurityDescriptorDacl(descriptor, &present, &list, &defaulted) && present) {
    made = {path, (control & SE_DACL_PROTECTED) != 0, SidText(owner), AcesOf(list)};
  }
  g_madeFolders.push_back(made);
  return CreateDirectoryA(path, attributes);
}

// Nothing on its way into place is open to users, whatever the parent hands
// down: the staging folder and the program folder this run makes carry a
// protected list of their own, which what is created in them inherits.
TEST_F(ProgramFiles, FoldersTheInstallMakesAreClosedToUsers) {
  ScopedWindowsVersion xp(VER_PLATFORM_WIN32_NT, 5);
  UseVariant(kIni);
  const std::string parent = MakeOtherDriveFolder();
  const std::string folder = parent + "\\Ravozeve Vuzizirer";
  g_madeFolders.clear();
  g_createFolder = RecordFolder;
  const int installed = InstallProgramFiles(nullptr, kPackage.c_str(), folder.c_str(), 1);
  g_createFolder = CreateDirectoryA;
  ASSERT_EQ(installed, 1);
  std::vector<std::string> windowsStaging = StagingFoldersIn(TempFolder());
  ASSERT_EQ(windowsStaging.size(), 1u);

  const int inherited = OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE;
  const std::vector<Ace> staging = {{ACCESS_ALLOWED_ACE_TYPE, inherited, GENERIC_ALL, "S-1-5-18"},
                                    {ACCESS_ALLOWED_ACE_TYPE, inherited, GENERIC_ALL, "S-1-5-32-544"}};
  const std::vector<Ace> program = {
      {ACCESS_ALLOWED_ACE_TYPE, inherited, GENERIC_READ | GENERIC_EXECUTE, "S-1-1-0"},
      {ACCESS_ALLOWED_ACE_TYPE, inherited, GENERIC_ALL, "S-1-5-32-544"}};
  struct Case {
    const char* what;
    std::string path;
    std::vector<Ace> aces;
  } cases[] = {
      {"staging folder in TEMP", windowsStaging[0], staging},
      {"new program folder", folder, program},
  };
  GENERIC_MAPPING files = {FILE_GENERIC_READ, FILE_GENERIC_WRITE, FILE_GENERIC_EXECUTE, FILE_ALL_ACCESS};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto made = std::find_if(g_madeFolders.begin(), g_madeFolders.end(),
                             [&](const MadeFolder& m) { return m.path == c.path; });
    ASSERT_NE(made, g_madeFolders.end());
    EXPECT_TRUE(made->protectedList);
    EXPECT_EQ(made->owner, "S-1-5-32-544");
    EXPECT_EQ(made->aces, c.aces);
    // Everyone, Users and Authenticated Users: nothing that writes or deletes.
    for (const Ace& ace : made->aces) {
      if (ace.sid != "S-1-1-0" && ace.sid != "S-1-5-32-545" && ace.sid != "S-1-5-11") continue;
      DWORD rights = ace.mask;
      MapGenericMask(&rights, &files);
      EXPECT_EQ(rights & (FILE_WRITE_DATA | FILE_APPEND_DATA | DELETE | FILE_DELETE_CHILD | WRITE_DAC | WRITE_OWNER), 0u)
          << ace;
    }
  }
}

// A move to another volume makes new files there, with what their folder
// hands down: each gets its own list again where it lands.
TEST_F(ProgramFiles, FilesMovedToAnotherDriveGetTheirRightsThere) {
  ScopedWindowsVersion xp(VER_PLATFORM_WIN32_NT, 5);
  UseVariant(kIni);
  const std::string folder = MakeOtherDriveFolder() + "\\Ravozeve Vuzizirer";
  g_securedPaths.clear();
  g_setNamedSecurityInfo = RecordSecuredPath;
  const int installed = InstallProgramFiles(nullptr, kPackage.c_str(), folder.c_str(), 0);
  g_setNamedSecurityInfo = SetNamedSecurityInfoA;
  ASSERT_EQ(installed, 1);
  ExpectNewFiles(kIni, folder);
  // The twelve staged copies, then the eleven that crossed to drive Z:.
  ASSERT_EQ(g_securedPaths.size(), 23u);
  std::vector<std::string> finals = FinalPaths(kIni, folder);
  std::vector<std::string> landed(g_securedPaths.begin() + 12, g_securedPaths.end());
  EXPECT_EQ(landed, std::vector<std::string>(finals.begin() + 1, finals.end()));
}

int RefuseFolderRemoval(const char* change) { return strncmp(change, "remove folder ", 14) != 0; }

// A staging folder that cannot be removed once its files are in place does
// not fail the step: it goes at the restart.
TEST_F(ProgramFiles, StagingFolderThatCannotBeRemovedGoesAtTheRestart) {
  ScopedWindowsVersion xp(VER_PLATFORM_WIN32_NT, 5);
  UseVariant(kIni);
  SetSystemChangeFilter(RefuseFolderRemoval);
  const int installed = InstallProgramFiles(nullptr, kPackage.c_str(), kFolder.c_str(), 0);
  SetSystemChangeFilter(nullptr);
  ASSERT_EQ(installed, 1);
  ExpectNewFiles(kIni);
  std::vector<std::string> staging = StagingFoldersIn(TempFolder());
  ASSERT_EQ(staging.size(), 1u);
  EXPECT_EQ(PendingPairs(), (std::vector<std::pair<std::string, std::string>>{{"\\??\\" + staging[0] + "\\", ""}}));
}

// An install while the product ran left its staged copies to be moved at the
// restart. An install before that restart withdraws the moves, and the
// copies go: now, or at the restart while one is held open.
TEST_F(ProgramFiles, StagedCopiesWhoseMovesAreWithdrawnAreDeleted) {
  ScopedWindowsVersion xp(VER_PLATFORM_WIN32_NT, 5);
  UseVariant(kIni);
  InstallOld(kIni);
  ASSERT_EQ(InstallProgramFiles(nullptr, kPackage.c_str(), kFolder.c_str(), 1), 1);
  std::vector<std::string> earlier = StagingFoldersIn(TempFolder());
  ASSERT_EQ(earlier.size(), 1u);
  const std::string held = earlier[0] + "\\DidIve.exe";
  HANDLE handle = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(handle, INVALID_HANDLE_VALUE);

  const int installed = InstallProgramFiles(nullptr, kPackage.c_str(), kFolder.c_str(), 0);
  CloseHandle(handle);
  ASSERT_EQ(installed, 1);
  ExpectNewFiles(kIni);
  EXPECT_EQ(FilesIn(earlier[0]), std::vector<std::string>{"DidIve.exe"});
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"\\??\\" + earlier[0] + "\\", ""},  // the earlier run's, kept
      {"\\??\\" + held, ""},
  };
  EXPECT_EQ(PendingPairs(), expected);
}

// --- Install right after an uninstall, before the restart ---

// The uninstall left the deletion of the uninstaller for the restart: an
// install before the restart withdraws it and puts the whole set in place now.
// An operation of another program on a file of that name stays, and the new
// uninstaller is moved into place once more after it.
TEST_F(ProgramFiles, InstallAfterAnUninstallWithdrawsItsPendingDeletion) {
  for (DWORD platform : {static_cast<DWORD>(VER_PLATFORM_WIN32_NT), static_cast<DWORD>(VER_PLATFORM_WIN32_WINDOWS)}) {
    const bool nt = platform == VER_PLATFORM_WIN32_NT;
    SCOPED_TRACE(nt ? "NT" : "9x");
    ScopedWindowsVersion version(platform, nt ? 5 : 4);
    InstallOld(kIni);
    UseVariant(kIni);
    ASSERT_EQ(RemoveProgramFiles(kFolder.c_str(), 0), 1);
    ASSERT_EQ(InstallProgramFiles(nullptr, kPackage.c_str(), kFolder.c_str(), 0), 1);
    ExpectNewFiles(kIni);
    EXPECT_TRUE(StagingFoldersIn(TempFolder()).empty());
    if (nt) {
      EXPECT_TRUE(PendingPairs().empty());
    } else {
      EXPECT_EQ(WininitText(), "[rename]\r\n");
    }
    RunRestart();
    ExpectNewFiles(kIni);
    Clean();
    SetUp();
  }
  // Another program's deletion of a file of the uninstaller's name.
  ScopedWindowsVersion xp(VER_PLATFORM_WIN32_NT, 5);
  UseVariant(kIni);
  const std::string foreign = kPrograms + "\\_nvxu000.exe";
  WriteFileBytes(foreign, "theirs");
  ASSERT_TRUE(MoveFileExA(foreign.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
  ASSERT_EQ(InstallProgramFiles(nullptr, kPackage.c_str(), kFolder.c_str(), 0), 1);
  ExpectNewFiles(kIni);  // copied now
  std::vector<std::string> staging = StagingFoldersIn(TempFolder());
  ASSERT_EQ(staging.size(), 1u);
  std::vector<std::pair<std::string, std::string>> expected = {
      {"\\??\\" + foreign, ""},
      {"\\??\\" + staging[0] + "\\_nvxu000.exe", "!\\??\\" + Uninstaller()},
  };
  EXPECT_EQ(PendingPairs(), expected);
  RunRestart();
  EXPECT_FALSE(Exists(foreign));
  ExpectNewFiles(kIni);
}

// --- Uninstall ---

TEST_F(ProgramFiles, UninstallDeletesElevenFilesAndTheUninstallerAtTheRestart) {
  for (DWORD platform : {static_cast<DWORD>(VER_PLATFORM_WIN32_NT), static_cast<DWORD>(VER_PLATFORM_WIN32_WINDOWS)}) {
    const bool nt = platform == VER_PLATFORM_WIN32_NT;
    SCOPED_TRACE(nt ? "NT" : "9x");
    ScopedWindowsVersion version(platform, nt ? 5 : 4);
    InstallOld(kIni);
    WriteFileBytes(kFolder + "\\user.dat", "kept");
    UseVariant(kIni);
    ASSERT_EQ(RemoveProgramFiles(kFolder.c_str(), 0), 1);

    EXPECT_EQ(FilesIn(kFolder), std::vector<std::string>{"user.dat"});
    EXPECT_EQ(ReadFileBytes(Uninstaller()), "old");
    if (nt) {
      EXPECT_EQ(PendingPairs(), (std::vector<std::pair<std::string, std::string>>{{"\\??\\" + Uninstaller(), ""}}));
    } else {
      EXPECT_EQ(WininitText(), "[rename]\r\nNUL=" + ShortPath(Uninstaller()) + "\r\n");
    }
    RunRestart();
    EXPECT_FALSE(Exists(Uninstaller()));
    EXPECT_TRUE(IsFolder(kFolder));
    // The folder stays also when nothing is left in it.
    DeleteFileA((kFolder + "\\user.dat").c_str());
    InstallOld(kIni);
    ASSERT_EQ(RemoveProgramFiles(kFolder.c_str(), 0), 1);
    EXPECT_TRUE(IsFolder(kFolder));
    EXPECT_TRUE(FilesIn(kFolder).empty());
    Clean();
    SetUp();
  }
}

TEST_F(ProgramFiles, UninstallTakesTheKindOfDescriptorThatWasInstalled) {
  ScopedWindowsVersion xp(VER_PLATFORM_WIN32_NT, 5);
  InstallOld(kXml);
  WriteFileBytes(kFolder + "\\NvxSetup.ini", "not ours");
  UseVariant(kXml);
  ASSERT_EQ(RemoveProgramFiles(kFolder.c_str(), 0), 1);
  EXPECT_EQ(FilesIn(kFolder), std::vector<std::string>{"NvxSetup.ini"});
}

// A file of the set that is already gone does not stop the others' removal;
// a read-only one (copied from a CD) goes too.
TEST_F(ProgramFiles, UninstallWithAFileAlreadyGoneRemovesTheRest) {
  ScopedWindowsVersion xp(VER_PLATFORM_WIN32_NT, 5);
  InstallOld(kIni);
  ASSERT_TRUE(DeleteFileA((kFolder + "\\NvxSetup.dat").c_str()));
  ASSERT_TRUE(SetFileAttributesA((kFolder + "\\DidIve.exe").c_str(), FILE_ATTRIBUTE_READONLY));
  UseVariant(kIni);
  ASSERT_EQ(RemoveProgramFiles(kFolder.c_str(), 0), 1);
  EXPECT_TRUE(FilesIn(kFolder).empty());
  EXPECT_EQ(PendingPairs().size(), 1u);
}

// Turns a file of the set into a folder holding a user's file just before
// its deletion, as another program could between the look and the deletion.
std::string g_swapped;
int SwapFileForFolder(const char* change) {
  if (std::string(change) == "delete " + g_swapped) {
    DeleteFileA(g_swapped.c_str());
    CreateDirectoryA(g_swapped.c_str(), nullptr);
    WriteFileBytes(g_swapped + "\\user.dat", "kept");
  }
  return 1;
}

// The deletion of a file never recurses into a folder that took its place.
TEST_F(ProgramFiles, UninstallNeverDeletesAFolderThatTookAFilesPlace) {
  ScopedWindowsVersion xp(VER_PLATFORM_WIN32_NT, 5);
  InstallOld(kIni);
  UseVariant(kIni);
  g_swapped = kFolder + "\\NvxSetup.dll";
  SetSystemChangeFilter(SwapFileForFolder);
  const int removed = RemoveProgramFiles(kFolder.c_str(), 0);
  SetSystemChangeFilter(nullptr);
  EXPECT_EQ(removed, 0);
  EXPECT_EQ(ReadFileBytes(g_swapped + "\\user.dat"), "kept");
}

TEST_F(ProgramFiles, UninstallWhileTheProductRunsSchedulesAllTwelve) {
  for (DWORD platform : {static_cast<DWORD>(VER_PLATFORM_WIN32_NT), static_cast<DWORD>(VER_PLATFORM_WIN32_WINDOWS)}) {
    const bool nt = platform == VER_PLATFORM_WIN32_NT;
    SCOPED_TRACE(nt ? "NT" : "9x");
    ScopedWindowsVersion version(platform, nt ? 5 : 4);
    InstallOld(kIni);
    const std::string foreignLine = "C:\\A.DLL=C:\\B.DLL\r\n";
    if (!nt) WriteFileBytes(WininitPath(), "[rename]\r\n" + foreignLine);
    UseVariant(kIni);
    ASSERT_EQ(RemoveProgramFiles(kFolder.c_str(), 1), 1);

    ExpectOldFiles(kIni);
    std::vector<std::string> finals = FinalPaths(kIni);
    if (nt) {
      std::vector<std::pair<std::string, std::string>> expected;
      for (const std::string& path : finals) expected.push_back({"\\??\\" + path, ""});
      EXPECT_EQ(PendingPairs(), expected);
    } else {
      std::string expected = "[rename]\r\n" + foreignLine;
      for (const std::string& path : finals) expected += "NUL=" + ShortPath(path) + "\r\n";
      EXPECT_EQ(WininitText(), expected);
      EXPECT_EQ(PendingOperations(), "missing");
      // Keep the restart from running the foreign line.
      RemoveWininit();
      WriteFileBytes(WininitPath(), "[rename]\r\n" + expected.substr(10 + foreignLine.size()));
    }
    RunRestart();
    EXPECT_TRUE(FilesIn(kFolder).empty());
    EXPECT_FALSE(Exists(Uninstaller()));
    EXPECT_TRUE(IsFolder(kFolder));
    Clean();
    SetUp();
  }
}

// An empty or relative folder would put the set under the current folder or
// at the root of the current drive.
TEST_F(ProgramFiles, FolderThatIsNotAFullPathIsRefused) {
  ScopedWindowsVersion xp(VER_PLATFORM_WIN32_NT, 5);
  UseVariant(kIni);
  ASSERT_TRUE(SetCurrentDirectoryA(kPrograms.c_str()));
  WriteFileBytes(kPrograms + "\\DidIve.exe", "not ours");
  for (const char* folder : {"", "Vuz", "C:Vuz", "\\files_prog"}) {
    SCOPED_TRACE(folder);
    EXPECT_EQ(InstallProgramFiles(nullptr, kPackage.c_str(), folder, 0), 0);
    // An uninstall without a program folder removes only what is left: the
    // uninstaller, gone here already.
    const int removal = folder[0] == '\0' ? 1 : 0;
    EXPECT_EQ(RemoveProgramFiles(folder, 0), removal);
    EXPECT_EQ(RemoveProgramFiles(folder, 1), removal);
  }
  SetCurrentDirectoryA("C:\\");
  EXPECT_EQ(ReadFileBytes(kPrograms + "\\DidIve.exe"), "not ours");
  EXPECT_FALSE(Exists(kPrograms + "\\Vuz"));
  EXPECT_FALSE(Exists(Uninstaller()));
  EXPECT_EQ(PendingOperations(), "missing");
  EXPECT_TRUE(StagingFoldersIn(TempFolder()).empty());
}

// --- The step as the driver calls it ---

TEST_F(ProgramFiles, StepChoosesByTheInstallBit) {
  ScopedWindowsVersion xp(VER_PLATFORM_WIN32_NT, 5);
  UseVariant(kIni);
  InstallOld(kIni);
  // Without the install bit the files go.
  ASSERT_EQ(ProcessProgramFiles(nullptr, kFolder.c_str(), 0, OptSilent), 1);
  EXPECT_TRUE(FilesIn(kFolder).empty());
  ClearPendingOperations();
  // With it, the package is the running program's folder, which holds no
  // program files here: nothing may arrive.
  const std::string other = kPrograms + "\\Other";
  EXPECT_EQ(ProcessProgramFiles(nullptr, other.c_str(), 0, OptInstall | OptSilent), 0);
  EXPECT_FALSE(Exists(other));
  EXPECT_EQ(PendingOperations(), "missing");
}

}  // namespace
