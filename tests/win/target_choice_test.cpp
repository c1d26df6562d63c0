// The target choice over a package's files and the product key: what it
// proposes, what an earlier installation changes, and what it refuses.
#include <windows.h>
#include <shlobj.h>

#include <functional>
#include <string>

#include <gtest/gtest.h>


#include "common/run_records.h"
#include "common/text.h"
#include "driver/setup_sequence.h"
#include "package/setup_package.h"
#include "package/shortcuts.h"
#include "package/target_choice.h"
#include "resources/resource_ids.h"
#include "support/support.h"
#include "win/registry_test_keys.h"

namespace {


const char kPackage[] = "C:\\target_choice_tests";
const char kName[] = "Ravozeve Test";
const char kVersion[] = "3.10.0000";

std::string Settings(const std::string& init, const std::string& radar = "FILE=radar.dat") {
  return "[INIT]\r\n" + init + "\r\n[RADAR]\r\n" + radar + "\r\n";
}

const std::string kDefaultInit = "TARGET=Varnex\\Test Folder\r\nGROUP=Test Group";

std::string ModuleFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  return folder.substr(0, folder.rfind('\\'));
}

class TargetChoiceTest : public testing::Test {
 protected:
  void SetUp() override {
    ts::IsolateShortcutFolders();
    ts::ResetMachineState();
    CreateDirectoryA(kPackage, nullptr);
    ZeroMemory(&g_setupPackage, sizeof(g_setupPackage));
    g_setupPackage.instance = GetModuleHandleA(nullptr);
    TextCopy(g_setupPackage.settingsPath, MAX_PATH, (std::string(kPackage) + "\\NvxSetup.dat").c_str());
    TextCopy(g_setupPackage.descriptorPath, MAX_PATH, (std::string(kPackage) + "\\DidIve.nvx").c_str());
    WriteRelease(kName, kVersion);
    WriteSettings(Settings(kDefaultInit));
    Restart(OptInstall | OptSilent);
  }
  void TearDown() override {
    ts::DeleteTree(kPackage);
    ts::ResetMachineState();
  }
  // A new run of the choice with these options.
  void Restart(uint32_t flags) {
    InitSetupContext(&context_);
    context_.flags = flags;
  }
  void WriteSettings(const std::string& text) {
    ASSERT_TRUE(ts::WriteFileText(g_setupPackage.settingsPath, text));
  }
  void WriteRelease(const std::string& name, const std::string& version) {
    std::string text = "[NVX]\r\nXRELEASE=1\r\n[RELEASE]\r\n";
    if (!name.empty()) text += "NAME=" + name + "\r\n";
    if (!version.empty()) text += "VERSION=" + version + "\r\n";
    ASSERT_TRUE(ts::WriteFileText(g_setupPackage.descriptorPath, text));
  }
  // An earlier installation in the product key; empty texts are left out.
  void RegisterEarlier(const std::string& folder, const std::string& name, const std::string& version,
                       const std::string& group = "") {
    if (!folder.empty()) ts::WriteRegString(HKEY_LOCAL_MACHINE, ts::kProductKey, "ProgDir", folder);
    if (!name.empty()) ts::WriteRegString(HKEY_LOCAL_MACHINE, ts::kProductKey, "Name", name);
    if (!version.empty()) ts::WriteRegString(HKEY_LOCAL_MACHINE, ts::kProductKey, "Version", version);
    if (!group.empty()) ts::WriteRegString(HKEY_LOCAL_MACHINE, ts::kProductKey, "MenuDir", group);
  }
  void StoreInternetFunction(DWORD value) {
    ts::WriteRegDword(HKEY_LOCAL_MACHINE, ts::kProductKey, "InternetFunction", value);
  }
  std::string Group() const { return ts::SpecialFolder(CSIDL_COMMON_PROGRAMS) + "\\Test Group"; }
  std::string Proposed() const { return ts::ProgramFilesDir() + "\\Varnex\\Test Folder"; }

  SetupContext context_;
  const InstallTarget& target() const { return context_.target; }
};

TEST_F(TargetChoiceTest, FreshSilentInstallTakesTheProposedValues) {
  ASSERT_EQ(1, ChooseTarget(&context_));
  EXPECT_EQ(0, context_.cancelled);
  EXPECT_EQ(OptInstall | OptSilent | OptFreshInstall, target().flags);
  EXPECT_STREQ(kName, target().productName);
  EXPECT_STREQ(kVersion, target().productVersion);
  EXPECT_EQ(ModuleFolder(), target().sourceFolder);
  EXPECT_EQ(1, target().internetFunction);
  EXPECT_EQ(1, target().browserButton);
  EXPECT_EQ(0, target().desktopShortcut);
  EXPECT_EQ(0, target().startMenuShortcut);
  EXPECT_EQ(Proposed(), target().targetFolder);
  EXPECT_EQ(Group(), target().groupFolder);
  EXPECT_EQ(Group() + "\\" + kName + ".lnk", target().groupShortcutPath);
  // Two backslashes before the file name, as the shortcuts store it.
  EXPECT_EQ(Proposed() + "\\\\DidIve.exe", target().programPath);
  EXPECT_STREQ("", target().previousName);
  EXPECT_STREQ("", target().previousGroupShortcutPath);
  EXPECT_STREQ("", context_.previousVersion);
}

TEST_F(TargetChoiceTest, ExistingShortcutsAreWantedAgain) {
  const std::string program = "C:\\Somewhere\\\\DidIve.exe";
  ASSERT_EQ(1, SetDesktopShortcut(program.c_str(), kName, OptInstall));
  ASSERT_EQ(1, ChooseTarget(&context_));
  EXPECT_EQ(1, target().desktopShortcut);
  EXPECT_EQ(0, target().startMenuShortcut);
  SetDesktopShortcut(nullptr, kName, 0);
  ASSERT_EQ(1, SetStartMenuShortcut(program.c_str(), kName, OptInstall));
  ASSERT_EQ(1, ChooseTarget(&context_));
  EXPECT_EQ(0, target().desktopShortcut);
  EXPECT_EQ(1, target().startMenuShortcut);
  SetStartMenuShortcut(nullptr, kName, 0);
}

struct UpgradeCase {
  const char* label;
  const char* version;     // stored "Version"
  const char* shown;       // as previousVersion
  int storedFunction;      // -1: no "InternetFunction"
  int internetFunction;    // expected
};

const UpgradeCase kUpgradeCases[] = {
    {"above 3.00.0000, stored 0", "3.01.0000", "3.01.0000", 0, 0},
    {"packed above, stored 0", "0301000A", "3.01.000A", 0, 0},
    {"above, stored 1", "3.01.0000", "3.01.0000", 1, 1},
    {"above, nothing stored", "3.01.0000", "3.01.0000", -1, 1},
    {"equal, stored 0", "3.00.0000", "3.00.0000", 0, 1},
    {"below, stored 0", "2.50.0000", "2.50.0000", 0, 1},
    {"10.00.0000 is below by bytes", "10.00.0000", "10.00.0000", 0, 1},
};

TEST_F(TargetChoiceTest, UpgradeKeepsTheFolderAndAppliesTheStoredInternetFunction) {
  for (const UpgradeCase& c : kUpgradeCases) {
    SCOPED_TRACE(c.label);
    ts::DeleteRegTree(HKEY_LOCAL_MACHINE, ts::kProductKey);
    RegisterEarlier("D:\\Earlier Folder", "Earlier Name", c.version);
    if (c.storedFunction >= 0) StoreInternetFunction(static_cast<DWORD>(c.storedFunction));
    Restart(OptInstall | OptSilent);
    ASSERT_EQ(1, ChooseTarget(&context_));
    EXPECT_EQ(OptInstall | OptSilent, target().flags);
    EXPECT_STREQ("D:\\Earlier Folder", target().targetFolder);
    EXPECT_STREQ("D:\\Earlier Folder\\\\DidIve.exe", target().programPath);
    EXPECT_STREQ("Earlier Name", target().previousName);
    EXPECT_STREQ(c.shown, context_.previousVersion);
    EXPECT_EQ(Group() + "\\Earlier Name.lnk", target().previousGroupShortcutPath);
    EXPECT_EQ(c.internetFunction, target().internetFunction);
    EXPECT_EQ(c.internetFunction, target().browserButton);
  }
}

TEST_F(TargetChoiceTest, StoredZeroTurnsTheInternetFunctionOffInAFreshInstall) {
  StoreInternetFunction(0);
  ASSERT_EQ(1, ChooseTarget(&context_));
  EXPECT_NE(0u, target().flags & OptFreshInstall);
  EXPECT_EQ(0, target().internetFunction);
  EXPECT_EQ(0, target().browserButton);
}

TEST_F(TargetChoiceTest, EarlierShortcutsOfAnotherNameAreWantedUnderTheNewName) {
  RegisterEarlier("D:\\Earlier Folder", "Earlier Name", "2.00.0000");
  ASSERT_EQ(1, SetStartMenuShortcut("C:\\X\\\\DidIve.exe", "Earlier Name", OptInstall));
  ASSERT_EQ(1, ChooseTarget(&context_));
  EXPECT_EQ(0, target().desktopShortcut);
  EXPECT_EQ(1, target().startMenuShortcut);
  SetStartMenuShortcut(nullptr, "Earlier Name", 0);
}

struct IncompleteCase {
  const char* label;
  const char* folder;  // null: one character longer than the longest usable
  const char* name;
  const char* version;
  const char* previousName;  // what is read of the earlier installation all the same
  const char* previousVersion;
};

// The longest earlier folder the files still fit behind.
const std::string kLongestFolder = "D:\\" + std::string(243, 'f');

// An earlier folder that no install could use (missing, relative, too long
// for the files) is no installation to upgrade: the folder is chosen afresh.
const IncompleteCase kIncompleteCases[] = {
    {"no Name", "D:\\Earlier Folder", "", "3.01.0000", "", ""},
    {"no Version", "D:\\Earlier Folder", "Earlier Name", "", "Earlier Name", ""},
    {"no ProgDir", "", "Earlier Name", "3.01.0000", "", ""},
    // Only the folder is chosen afresh: the earlier name's shortcuts are
    // still cleaned and the running product found by its mutex.
    {"relative ProgDir", "Programs\\Vuz", "Earlier Name", "3.01.0000", "Earlier Name", "3.01.0000"},
    {"ProgDir too long", nullptr, "Earlier Name", "3.01.0000", "Earlier Name", "3.01.0000"},
};

TEST_F(TargetChoiceTest, AnIncompleteEarlierInstallationCountsAsFresh) {
  for (const IncompleteCase& c : kIncompleteCases) {
    SCOPED_TRACE(c.label);
    ts::DeleteRegTree(HKEY_LOCAL_MACHINE, ts::kProductKey);
    RegisterEarlier(c.folder != nullptr ? c.folder : kLongestFolder + "f", c.name, c.version);
    Restart(OptInstall | OptSilent);
    ASSERT_EQ(1, ChooseTarget(&context_));
    EXPECT_EQ(OptFreshInstall, target().flags & OptFreshInstall);
    EXPECT_EQ(Proposed(), target().targetFolder);
    EXPECT_STREQ(c.previousName, target().previousName);
    EXPECT_STREQ(c.previousVersion, context_.previousVersion);
  }
  ts::DeleteRegTree(HKEY_LOCAL_MACHINE, ts::kProductKey);
  RegisterEarlier(kLongestFolder, "Earlier Name", "3.01.0000");
  Restart(OptInstall | OptSilent);
  ASSERT_EQ(1, ChooseTarget(&context_));
  EXPECT_EQ(0u, target().flags & OptFreshInstall);
  EXPECT_EQ(kLongestFolder + "\\\\DidIve.exe", target().programPath);
}

TEST_F(TargetChoiceTest, KeepSettingsTakesTheBrowserButtonFromTheRegistry) {
  context_.flags = OptInstall | OptSilent | OptKeepSettings;
  ASSERT_EQ(1, ChooseTarget(&context_));
  EXPECT_EQ(1, target().internetFunction);
  EXPECT_EQ(0, target().browserButton);

  WriteSettings(Settings(kDefaultInit, "FILE=.none"));
  ts::WriteRegString(HKEY_LOCAL_MACHINE, ts::kBrowserButtonKey, "Exec", "x");
  ASSERT_EQ(1, ChooseTarget(&context_));
  EXPECT_EQ(0, target().internetFunction);
  EXPECT_EQ(1, target().browserButton);
  ts::DeleteRegTree(HKEY_LOCAL_MACHINE, ts::kBrowserButtonKey);
}

struct FailureCase {
  const char* label;
  const char* name;
  const char* version;
  std::string init;
};

TEST_F(TargetChoiceTest, FailsWhenARequiredValueIsMissing) {
  const FailureCase cases[] = {
      {"no product name", "", kVersion, kDefaultInit},
      {"no product version", kName, "", kDefaultInit},
      {"no TARGET in a fresh install", kName, kVersion, "GROUP=Test Group"},
      {"no GROUP", kName, kVersion, "TARGET=Varnex\\Test Folder"},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.label);
    WriteRelease(c.name, c.version);
    WriteSettings(Settings(c.init));
    Restart(OptInstall | OptSilent);
    EXPECT_EQ(0, ChooseTarget(&context_));
    EXPECT_EQ(0, context_.cancelled);
  }
}

TEST_F(TargetChoiceTest, AnUpgradeNeedsNoTarget) {
  WriteSettings(Settings("GROUP=Test Group"));
  RegisterEarlier("D:\\Earlier Folder", "Earlier Name", "3.01.0000");
  EXPECT_EQ(1, ChooseTarget(&context_));
}

// Runs ChooseTarget while answer acts on the first window with title.
int ChooseAnswering(SetupContext* context, const std::string& title,
                    const std::function<void(HWND)>& answer, bool* seen) {
  *seen = false;
  ts::WindowWatcher watcher([&](const ts::SeenWindow& window) {
    if (*seen || window.title != title) return false;
    *seen = true;
    answer(window.window);
    return true;
  });
  int result = ChooseTarget(context);
  watcher.Stop();
  return result;
}

TEST_F(TargetChoiceTest, TheDialogProposesTheFolderAndItsCancelIsNoFailure) {
  context_.flags = OptInstall;
  bool seen = false;
  std::string shown;
  int result = ChooseAnswering(&context_, "Installation Program", [&](HWND dialog) {
    shown = ts::ControlText(dialog, IDC_TARGET_FOLDER);
    ts::PressButton(dialog, IDCANCEL);
  }, &seen);
  EXPECT_TRUE(seen);
  EXPECT_EQ(Proposed(), shown);
  EXPECT_EQ(1, result);
  EXPECT_EQ(1, context_.cancelled);

  // A package that lacks TARGET and GROUP fails after the dialog all the same.
  WriteSettings(Settings(""));
  Restart(OptInstall);
  result = ChooseAnswering(&context_, "Installation Program",
                           [](HWND dialog) { ts::PressButton(dialog, IDCANCEL); }, &seen);
  EXPECT_TRUE(seen);
  EXPECT_EQ(0, result);
  EXPECT_EQ(1, context_.cancelled);
}

TEST_F(TargetChoiceTest, AFolderChosenInTheDialogMakesTheProgramPath) {
  context_.flags = OptInstall;
  bool seen = false;
  int result = ChooseAnswering(&context_, "Installation Program", [](HWND dialog) {
    SendMessageA(GetDlgItem(dialog, IDC_TARGET_FOLDER), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>("E:\\Typed"));
    ts::PressButton(dialog, IDOK);
  }, &seen);
  EXPECT_EQ(1, result);
  EXPECT_STREQ("E:\\Typed", target().targetFolder);
  EXPECT_STREQ("E:\\Typed\\\\DidIve.exe", target().programPath);
}

class UninstallChoiceTest : public TargetChoiceTest {
 protected:
  void SetUp() override {
    TargetChoiceTest::SetUp();
    folder_ = std::string(kPackage) + "\\Installed";
    CreateDirectoryA(folder_.c_str(), nullptr);
    context_.flags = OptSilent;
  }
  std::string folder_;
};

TEST_F(UninstallChoiceTest, ReadsWhatWasInstalled) {
  RegisterEarlier(folder_, "Installed Name", "0301000A", "C:\\Group Folder");
  ASSERT_EQ(1, ChooseTarget(&context_));
  EXPECT_EQ(0, context_.cancelled);
  EXPECT_EQ(OptSilent, target().flags);
  EXPECT_EQ(folder_, target().sourceFolder);
  EXPECT_STREQ("Installed Name", target().productName);
  EXPECT_STREQ("3.01.000A", target().productVersion);
  EXPECT_STREQ("3.01.000A", context_.previousVersion);
  EXPECT_STREQ("C:\\Group Folder", target().groupFolder);
  EXPECT_STREQ("C:\\Group Folder\\Installed Name.lnk", target().groupShortcutPath);
  EXPECT_EQ(0, g_setupPackage.isXmlDescriptor);

  ASSERT_TRUE(ts::WriteFileText(folder_ + "\\NvxSetup.xml", "<x/>"));
  ASSERT_EQ(1, ChooseTarget(&context_));
  EXPECT_EQ(1, g_setupPackage.isXmlDescriptor);
}

// An uninstall that stopped part way removed some of the four values: run
// again, it goes on with what is left. With none left and no entry in the
// system's list, nothing is installed any more.
TEST_F(UninstallChoiceTest, GoesOnWithWhatAnEarlierUninstallLeft) {
  struct Case {
    const char* label;
    std::vector<const char*> missing;
    bool entry;  // the system's uninstall entry is still there
    int result;
    bool expandable = false;  // the four values rewritten as REG_EXPAND_SZ
  } cases[] = {
      {"no program folder", {"ProgDir"}, true, 1},
      {"no name", {"Name"}, true, 1},
      {"no group", {"MenuDir"}, true, 1},
      {"only the entry left", {"ProgDir", "Name", "Version", "MenuDir"}, true, 1},
      {"nothing left", {"ProgDir", "Name", "Version", "MenuDir"}, false, 0},
      // Text of the other string type is text all the same, not expanded.
      {"values of the expandable type", {}, true, 1, true},
  };
  const std::string entry = std::string(ts::kUninstallKey);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    RegisterEarlier(folder_, "Installed Name", "3.01.0000", "C:\\Group Folder");
    for (const char* name : c.missing) ts::DeleteRegValue(HKEY_LOCAL_MACHINE, ts::kProductKey, name);
    if (c.expandable) {
      for (const char* name : {"ProgDir", "Name", "Version", "MenuDir"}) {
        std::string text;
        ts::ReadRegString(HKEY_LOCAL_MACHINE, ts::kProductKey, name, &text);
        regtest::SetValue(HKEY_LOCAL_MACHINE, ts::kProductKey, name,
                          regtest::Raw(REG_EXPAND_SZ, text + std::string(1, '\0')));
      }
    }
    const std::string firstMissing = c.missing.empty() ? "" : c.missing[0];
    if (c.entry) {
      ts::WriteRegString(HKEY_LOCAL_MACHINE, entry, "UninstallString", "_nvxu000.exe /U");
    } else {
      ts::DeleteRegTree(HKEY_LOCAL_MACHINE, entry);
    }
    Restart(OptSilent);
    EXPECT_EQ(c.result, ChooseTarget(&context_));
    if (c.result == 1) {
      // What is gone is left empty, and no shortcut is named from it.
      EXPECT_EQ(firstMissing == "ProgDir" ? "" : folder_, std::string(context_.target.sourceFolder));
      bool named = std::string(context_.target.productName) == "Installed Name";
      bool grouped = std::string(context_.target.groupShortcutPath) ==
                     "C:\\Group Folder\\Installed Name.lnk";
      EXPECT_EQ(named && firstMissing != "MenuDir", grouped);
      if (c.missing.empty()) EXPECT_TRUE(named);
    }
    ts::DeleteRegTree(HKEY_LOCAL_MACHINE, entry);
  }
}

TEST_F(UninstallChoiceTest, TheRemovalQuestionDecides) {
  RegisterEarlier(folder_, "Installed Name", "3.01.0000", "C:\\Group Folder");
  for (int answer : {IDYES, IDNO}) {
    SCOPED_TRACE(answer);
    Restart(0);
    bool seen = false;
    std::string text;
    int result = ChooseAnswering(&context_, "Uninstallation Program", [&](HWND box) {
      text = ts::MessageBoxText(box);
      ts::PressButton(box, answer);
    }, &seen);
    EXPECT_TRUE(seen);
    EXPECT_EQ("Are you sure you want to remove the selected program from this computer?", text);
    EXPECT_EQ(1, result);
    EXPECT_EQ(answer == IDNO, context_.cancelled == 1);
  }
  // "No" is no failure, even without "MenuDir".
  ts::DeleteRegValue(HKEY_LOCAL_MACHINE, ts::kProductKey, "MenuDir");
  Restart(0);
  bool seen = false;
  int result = ChooseAnswering(&context_, "Uninstallation Program",
                               [](HWND box) { ts::PressButton(box, IDNO); }, &seen);
  EXPECT_TRUE(seen);
  EXPECT_EQ(1, result);
  EXPECT_EQ(1, context_.cancelled);
}

}  // namespace
