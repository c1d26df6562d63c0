// Install, upgrade and uninstall runs of the real setup.exe on the sample
// packages, answered as a person would: dialog 101, the removal question,
// the shortcuts and the product key they leave behind.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "win/test_prefix.h"

#include "resources/resource_ids.h"
#include "support/support.h"

namespace {

const char kProduct[] = "Ravozeve Vuzizirer";
const char kInstallTitle[] = "Installation Program";
const char kLabel[] = "This program will be installed in the following folder:";

std::string ProposedFolder() { return ts::ProgramFilesDir() + "\\Varnex\\Ravozeve Vuzizirer"; }
std::string CommonPrograms() { return ts::SpecialFolder(CSIDL_COMMON_PROGRAMS); }
std::string GroupFolder() { return CommonPrograms() + "\\Ravozeve Vuzizirer"; }
std::string Shortcut(const std::string& folder, const std::string& name = kProduct) {
  return folder + "\\" + name + ".lnk";
}
std::string DesktopShortcut(const std::string& name = kProduct) {
  return Shortcut(ts::SpecialFolder(CSIDL_DESKTOPDIRECTORY), name);
}
std::string StartMenuShortcut(const std::string& name = kProduct) {
  return Shortcut(ts::SpecialFolder(CSIDL_COMMON_STARTMENU), name);
}
std::string ProductValue(const char* name) {
  std::string value;
  ts::ReadRegString(HKEY_LOCAL_MACHINE, ts::kProductKey, name, &value);
  return value;
}

// The icon location of a shortcut file, "" when it cannot be read.
std::string IconLocation(const std::string& file) {
  std::string location;
  CoInitialize(nullptr);
  IShellLinkA* link = nullptr;
  if (CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                       reinterpret_cast<void**>(&link)) == S_OK) {
    IPersistFile* persist = nullptr;
    if (link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)) == S_OK) {
      std::wstring wide(file.begin(), file.end());
      char text[MAX_PATH] = {};
      int index = 0;
      if (persist->Load(wide.c_str(), STGM_READ) == S_OK &&
          link->GetIconLocation(text, MAX_PATH, &index) == S_OK) {
        location = text;
      }
      persist->Release();
    }
    link->Release();
  }
  CoUninitialize();
  return location;
}

// A shortcut made as an earlier setup would have, with iconPath as icon location.
bool PlantShortcut(const std::string& file, const std::string& iconPath) {
  bool saved = false;
  CoInitialize(nullptr);
  IShellLinkA* link = nullptr;
  if (CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                       reinterpret_cast<void**>(&link)) == S_OK) {
    link->SetPath(iconPath.c_str());
    link->SetIconLocation(iconPath.c_str(), 1);
    IPersistFile* persist = nullptr;
    if (link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)) == S_OK) {
      std::wstring wide(file.begin(), file.end());
      saved = persist->Save(wide.c_str(), TRUE) == S_OK;
      persist->Release();
    }
    link->Release();
  }
  CoUninitialize();
  return saved;
}

// What a person sees in dialog 101.
struct DialogView {
  bool seen = false;
  int otherWindows = 0;  // windows other than dialog 101 shown by the run
  std::string title;
  std::string label;
  std::string folder;
  bool folderReadOnly = false;
  bool browseEnabled = false;
  bool cancelEnabled = false;
  bool desktopVisible = false;
  bool startMenuVisible = false;
  UINT desktopCheck = 0;
  UINT startMenuCheck = 0;
};


// The text of a control of another process (WM_GETTEXT crosses processes;
// GetWindowText does not for an edit field).
std::string ControlTextOf(HWND dialog, int id) {
  char text[MAX_PATH * 2] = "";
  SendMessageA(GetDlgItem(dialog, id), WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text));
  return text;
}

bool IsInstallDialog(HWND window) { return GetDlgItem(window, IDC_TARGET_FOLDER) != nullptr; }

DialogView ReadDialog(HWND dialog) {
  DialogView view;
  view.seen = true;
  view.title = ts::WindowText(dialog);
  view.label = ControlTextOf(dialog, IDC_FOLDER_LABEL);
  view.folder = ControlTextOf(dialog, IDC_TARGET_FOLDER);
  view.folderReadOnly =
      (GetWindowLongA(GetDlgItem(dialog, IDC_TARGET_FOLDER), GWL_STYLE) & ES_READONLY) != 0;
  view.browseEnabled = ts::ControlEnabled(dialog, IDC_BROWSE);
  view.cancelEnabled = ts::ControlEnabled(dialog, IDCANCEL);
  view.desktopVisible = ts::ControlVisible(dialog, IDC_DESKTOP_ICON);
  view.startMenuVisible = ts::ControlVisible(dialog, IDC_START_MENU_ICON);
  view.desktopCheck = ts::ControlCheck(dialog, IDC_DESKTOP_ICON);
  view.startMenuCheck = ts::ControlCheck(dialog, IDC_START_MENU_ICON);
  return view;
}

void Click(HWND dialog, int id) {
  ts::PressButton(dialog, id);
  Sleep(100);
}

void TypeFolder(HWND dialog, const std::string& folder) {
  SendMessageA(GetDlgItem(dialog, IDC_TARGET_FOLDER), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(folder.c_str()));
}

// Records dialog 101 into view, lets act answer it (OK by default), and
// answers every other window with Yes or OK.
ts::WindowAnswer AnswerDialog(DialogView* view,
                              std::function<void(HWND)> act = [](HWND d) { ts::PressButton(d, IDOK); }) {
  return [view, act](const ts::SeenWindow& window) {
    if (IsInstallDialog(window.window)) {
      int others = view->otherWindows;
      *view = ReadDialog(window.window);
      view->otherWindows = others;
      act(window.window);
      return true;
    }
    ++view->otherWindows;
    return ts::AnswerYes(window);
  };
}

class InstallRun : public testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    test_prefix::IsolateShortcutFolders();
    ts::ResetMachineState();
    package_ = ts::PreparePackage(xml());
    ASSERT_TRUE(ts::FileExists(package_ + "\\setup.exe"));
  }
  void TearDown() override { ts::ResetMachineState(); }
  bool xml() const { return GetParam(); }

  // Replaces the line "key=..." of the package's NvxSetup.dat (or removes it
  // when line is empty).
  void EditSettings(const std::string& key, const std::string& line) {
    const std::string path = package_ + "\\NvxSetup.dat";
    std::string text = ts::ReadFileText(path);
    size_t at = text.find("\n" + key + "=");
    ASSERT_NE(std::string::npos, at) << key;
    size_t end = text.find('\n', at + 1);
    text.replace(at + 1, end - at, line.empty() ? "" : line + "\r\n");
    ASSERT_TRUE(ts::WriteFileText(path, text));
  }
  // Gives the package another product name.
  void RenameProduct(const std::string& name) {
    if (xml()) {
      const std::string path = package_ + "\\VOD.xml";
      std::string text = ts::ReadFileText(path);
      size_t at = text.find("<title>");
      size_t end = text.find("</title>");
      text.replace(at + 7, end - at - 7, name);
      ASSERT_TRUE(ts::WriteFileText(path, text));
    } else {
      const std::string path = package_ + "\\DidIve.nvx";
      std::string text = ts::ReadFileText(path);
      size_t at = text.find("NAME=");
      size_t end = text.find('\n', at);
      text.replace(at, end - at, "NAME=" + name + "\r");
      ASSERT_TRUE(ts::WriteFileText(path, text));
    }
  }
  ts::RunResult Run(const std::string& args, const ts::WindowAnswer& answer = ts::AnswerYes) {
    return ts::RunSetup(package_, args, answer);
  }
  void InstallSilently() {
    ts::RunResult run = Run("/S");
    ASSERT_EQ(0u, run.exitCode);
    ASSERT_EQ("0000", ts::ResultRecord());
  }

  std::string package_;
};

// The INI package installs end to end; the XML package needs the XML engine too.
INSTANTIATE_TEST_SUITE_P(Packages, InstallRun, testing::Values(false, true),
                         [](const testing::TestParamInfo<bool>& info) {
                           return info.param ? "Xml" : "Ini";
                         });

TEST_P(InstallRun, FreshInstallThroughTheDialog) {
  DialogView view;
  ts::RunResult run = Run("", AnswerDialog(&view, [](HWND dialog) {
    // Both wanted: the unchecked boxes become checked.
    Click(dialog, IDC_DESKTOP_ICON);
    Click(dialog, IDC_START_MENU_ICON);
    ts::PressButton(dialog, IDOK);
  }));
  ASSERT_TRUE(view.seen);
  EXPECT_EQ(kInstallTitle, view.title);
  EXPECT_EQ(kLabel, view.label);
  EXPECT_EQ(ProposedFolder(), view.folder);
  EXPECT_FALSE(view.folderReadOnly);
  EXPECT_TRUE(view.browseEnabled);
  EXPECT_TRUE(view.cancelEnabled);
  EXPECT_TRUE(view.desktopVisible);
  EXPECT_TRUE(view.startMenuVisible);
  EXPECT_EQ(static_cast<UINT>(BST_UNCHECKED), view.desktopCheck);
  EXPECT_EQ(static_cast<UINT>(BST_UNCHECKED), view.startMenuCheck);

  EXPECT_EQ(0u, run.exitCode);
  EXPECT_EQ("0000", ts::ResultRecord());
  EXPECT_EQ(ProposedFolder(), ProductValue("ProgDir"));
  EXPECT_EQ(kProduct, ProductValue("Name"));
  EXPECT_EQ(GroupFolder(), ProductValue("MenuDir"));
  const std::string icon = ProposedFolder() + "\\\\DidIve.exe";
  for (const std::string& file : {Shortcut(GroupFolder()), DesktopShortcut(), StartMenuShortcut()}) {
    ASSERT_TRUE(ts::FileExists(file)) << file;
    EXPECT_EQ(icon, IconLocation(file)) << file;
  }
  // The Start-menu shortcut is the common one, not the user's.
  EXPECT_FALSE(ts::FileExists(Shortcut(ts::SpecialFolder(CSIDL_STARTMENU))));
}

TEST_P(InstallRun, UnwantedShortcutsAreNotMadeButTheGroupShortcutIs) {
  DialogView view;
  ts::RunResult run = Run("", AnswerDialog(&view));
  ASSERT_TRUE(view.seen);
  EXPECT_EQ(0u, run.exitCode);
  EXPECT_TRUE(ts::FileExists(Shortcut(GroupFolder())));
  EXPECT_FALSE(ts::FileExists(DesktopShortcut()));
  EXPECT_FALSE(ts::FileExists(StartMenuShortcut()));
}

TEST_P(InstallRun, ExistingShortcutsShowIndeterminateAndStay) {
  ASSERT_TRUE(PlantShortcut(DesktopShortcut(), "C:\\Elsewhere\\\\DidIve.exe"));
  DialogView view;
  ts::RunResult run = Run("", AnswerDialog(&view));
  ASSERT_TRUE(view.seen);
  EXPECT_EQ(static_cast<UINT>(BST_INDETERMINATE), view.desktopCheck);
  EXPECT_EQ(static_cast<UINT>(BST_UNCHECKED), view.startMenuCheck);
  EXPECT_EQ(0u, run.exitCode);
  // Kept, and made again for the installed program.
  EXPECT_EQ(ProposedFolder() + "\\\\DidIve.exe", IconLocation(DesktopShortcut()));
  EXPECT_FALSE(ts::FileExists(StartMenuShortcut()));
}

TEST_P(InstallRun, UncheckingAnExistingShortcutRemovesIt) {
  ASSERT_TRUE(PlantShortcut(StartMenuShortcut(), "C:\\Elsewhere\\\\DidIve.exe"));
  DialogView view;
  ts::RunResult run = Run("", AnswerDialog(&view, [](HWND dialog) {
    Click(dialog, IDC_START_MENU_ICON);  // indeterminate -> unchecked
    ts::PressButton(dialog, IDOK);
  }));
  ASSERT_TRUE(view.seen);
  EXPECT_EQ(static_cast<UINT>(BST_INDETERMINATE), view.startMenuCheck);
  EXPECT_EQ(0u, run.exitCode);
  EXPECT_FALSE(ts::FileExists(StartMenuShortcut()));
}

TEST_P(InstallRun, WithoutInternetModeTheCheckBoxesAreHiddenAndPresenceDecides) {
  EditSettings("FILE", "FILE=.off");
  EditSettings("ALTFILE", "ALTFILE=.off");
  ASSERT_TRUE(PlantShortcut(DesktopShortcut(), "C:\\Elsewhere\\\\DidIve.exe"));
  DialogView view;
  ts::RunResult run = Run("", AnswerDialog(&view));
  ASSERT_TRUE(view.seen);
  EXPECT_FALSE(view.desktopVisible);
  EXPECT_FALSE(view.startMenuVisible);
  EXPECT_EQ(0u, run.exitCode);
  EXPECT_TRUE(ts::FileExists(DesktopShortcut()));
  EXPECT_FALSE(ts::FileExists(StartMenuShortcut()));
  DWORD internetFunction = 9;
  EXPECT_TRUE(ts::ReadRegDword(HKEY_LOCAL_MACHINE, ts::kProductKey, "InternetFunction", &internetFunction));
  EXPECT_EQ(0u, internetFunction);
  EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, ts::kBrowserButtonKey));
}

TEST_P(InstallRun, CancelChangesNothing) {
  DialogView view;
  ts::RunResult run = Run("", AnswerDialog(&view, [](HWND d) { ts::PressButton(d, IDCANCEL); }));
  ASSERT_TRUE(view.seen);
  EXPECT_EQ(0u, run.exitCode);
  EXPECT_EQ("", ts::ResultRecord());
  EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, ts::kProductKey));
  EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, ts::kUninstallKey));
  EXPECT_FALSE(ts::FolderExists(GroupFolder()));
  EXPECT_FALSE(ts::FolderExists(ProposedFolder()));
  // Only the dialog was shown: no progress window, no message.
  EXPECT_EQ(0, view.otherWindows);
  EXPECT_EQ(1u, run.windows.size());
}

TEST_P(InstallRun, RelaunchOptionDisablesCancel) {
  DialogView view;
  ts::RunResult run = Run("/O", AnswerDialog(&view, [](HWND dialog) {
    // Only the system menu's Close is left to decline with.
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
  }));
  ASSERT_TRUE(view.seen);
  EXPECT_FALSE(view.cancelEnabled);
  EXPECT_EQ(0u, run.exitCode);
  EXPECT_EQ("", ts::ResultRecord());
}

// A relative folder is refused at OK: the dialog stays open and says why.
TEST_P(InstallRun, ARelativeFolderKeepsTheDialogOpenWithItsReason) {
  DialogView view;
  bool stayed = false;
  std::string message;
  ts::RunResult run = Run("", AnswerDialog(&view, [&](HWND dialog) {
    TypeFolder(dialog, "Programs\\Ravozeve");
    ts::PressButton(dialog, IDOK);
    DWORD process = 0;
    GetWindowThreadProcessId(dialog, &process);
    for (int i = 0; i < 100 && message.empty(); ++i) {
      for (HWND window : ts::TopLevelWindows(process)) {
        if (GetWindow(window, GW_OWNER) != dialog) continue;
        message = ts::MessageBoxText(window);
        ts::PressButton(window, IDOK);
      }
      Sleep(50);
    }
    Sleep(200);
    stayed = IsWindow(dialog) && IsWindowVisible(dialog);
    ts::PressButton(dialog, IDCANCEL);
  }));
  ASSERT_TRUE(view.seen);
  EXPECT_EQ("The folder must be a full path, such as C:\\Program Files\\Ravozeve Vuzizirer, of at "
            "most 246 characters.",
            message);
  EXPECT_TRUE(stayed);
  EXPECT_EQ(0u, run.exitCode);
  EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, ts::kProductKey));
}

TEST_P(InstallRun, UpgradeProposesTheEarlierFolderReadOnly) {
  const std::string custom = "C:\\Custom Place";
  DialogView first;
  ASSERT_EQ(0u, Run("", AnswerDialog(&first, [&](HWND dialog) {
                      TypeFolder(dialog, custom);
                      ts::PressButton(dialog, IDOK);
                    })).exitCode);
  ASSERT_EQ(custom, ProductValue("ProgDir"));

  DialogView view;
  ts::RunResult run = Run("", AnswerDialog(&view));
  ASSERT_TRUE(view.seen);
  EXPECT_EQ(kLabel, view.label);
  EXPECT_EQ(custom, view.folder);
  EXPECT_TRUE(view.folderReadOnly);
  EXPECT_FALSE(view.browseEnabled);
  EXPECT_EQ(0u, run.exitCode);
  EXPECT_EQ(custom, ProductValue("ProgDir"));
  EXPECT_EQ(custom + "\\\\DidIve.exe", IconLocation(Shortcut(GroupFolder())));
  ts::DeleteTree(custom);
}

TEST_P(InstallRun, AnEarlierInstallationWithoutNameOrVersionIsAFreshOne) {
  for (const char* missing : {"Name", "Version"}) {
    SCOPED_TRACE(missing);
    ts::ResetMachineState();
    InstallSilently();
    ts::WriteRegString(HKEY_LOCAL_MACHINE, ts::kProductKey, "ProgDir", "C:\\Earlier Place");
    ts::DeleteRegValue(HKEY_LOCAL_MACHINE, ts::kProductKey, missing);
    DialogView view;
    ts::RunResult run = Run("", AnswerDialog(&view));
    ASSERT_TRUE(view.seen);
    EXPECT_EQ(ProposedFolder(), view.folder);
    EXPECT_FALSE(view.folderReadOnly);
    EXPECT_TRUE(view.browseEnabled);
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ(ProposedFolder(), ProductValue("ProgDir"));
  }
}

TEST_P(InstallRun, UpgradeFromAnotherNameRemovesTheEarlierShortcuts) {
  RenameProduct("Earlier Product");
  DialogView first;
  ASSERT_EQ(0u, Run("", AnswerDialog(&first, [](HWND dialog) {
                      Click(dialog, IDC_DESKTOP_ICON);
                      Click(dialog, IDC_START_MENU_ICON);
                      ts::PressButton(dialog, IDOK);
                    })).exitCode);
  ASSERT_TRUE(ts::FileExists(DesktopShortcut("Earlier Product")));
  ASSERT_TRUE(ts::FileExists(StartMenuShortcut("Earlier Product")));
  ASSERT_TRUE(ts::FileExists(Shortcut(GroupFolder(), "Earlier Product")));

  RenameProduct(kProduct);
  DialogView view;
  ts::RunResult run = Run("", AnswerDialog(&view));
  ASSERT_TRUE(view.seen);
  // The earlier name's shortcuts count for the new name.
  EXPECT_EQ(static_cast<UINT>(BST_INDETERMINATE), view.desktopCheck);
  EXPECT_EQ(static_cast<UINT>(BST_INDETERMINATE), view.startMenuCheck);
  EXPECT_EQ(0u, run.exitCode);
  EXPECT_FALSE(ts::FileExists(DesktopShortcut("Earlier Product")));
  EXPECT_FALSE(ts::FileExists(StartMenuShortcut("Earlier Product")));
  EXPECT_FALSE(ts::FileExists(Shortcut(GroupFolder(), "Earlier Product")));
  EXPECT_TRUE(ts::FileExists(DesktopShortcut()));
  EXPECT_TRUE(ts::FileExists(StartMenuShortcut()));
  EXPECT_TRUE(ts::FileExists(Shortcut(GroupFolder())));
  EXPECT_EQ(kProduct, ProductValue("Name"));
}

struct InternetCase {
  const char* label;
  const char* earlierVersion;
  DWORD stored;
  DWORD expected;
};

const InternetCase kInternetCases[] = {
    {"from 3.01.0000 with 0 stored", "3.01.0000", 0, 0},
    {"from 2.50.0000 with 0 stored", "2.50.0000", 0, 1},
    {"from 3.01.0000 with 1 stored", "3.01.0000", 1, 1},
};

TEST_P(InstallRun, UpgradeKeepsAnInternetFunctionTurnedOffSince300) {
  for (const InternetCase& c : kInternetCases) {
    SCOPED_TRACE(c.label);
    ts::ResetMachineState();
    InstallSilently();
    ts::WriteRegString(HKEY_LOCAL_MACHINE, ts::kProductKey, "Version", c.earlierVersion);
    ts::WriteRegDword(HKEY_LOCAL_MACHINE, ts::kProductKey, "InternetFunction", c.stored);
    InstallSilently();
    DWORD value = 9;
    EXPECT_TRUE(ts::ReadRegDword(HKEY_LOCAL_MACHINE, ts::kProductKey, "InternetFunction", &value));
    EXPECT_EQ(c.expected, value);
    EXPECT_EQ(c.expected != 0, ts::RegKeyExists(HKEY_LOCAL_MACHINE, ts::kBrowserButtonKey));
  }
}

TEST_P(InstallRun, OlderGroupsLoseTheShortcutToTheSameProgram) {
  const std::string icon = ProposedFolder() + "\\\\DidIve.exe";
  std::string upper = icon;
  CharUpperA(&upper[0]);
  const std::string plumwick = CommonPrograms() + "\\Plumwick";
  const std::string access = CommonPrograms() + "\\Access KWO";
  CreateDirectoryA(plumwick.c_str(), nullptr);
  CreateDirectoryA(access.c_str(), nullptr);
  ASSERT_TRUE(PlantShortcut(plumwick + "\\Plumwick Software Installer.lnk", upper));
  ASSERT_TRUE(PlantShortcut(access + "\\Access KWO.lnk", icon));
  ASSERT_TRUE(PlantShortcut(access + "\\Other Program.lnk", "C:\\Other\\\\Other.exe"));

  InstallSilently();
  EXPECT_FALSE(ts::FolderExists(plumwick));
  EXPECT_FALSE(ts::FileExists(access + "\\Access KWO.lnk"));
  EXPECT_TRUE(ts::FileExists(access + "\\Other Program.lnk"));
  EXPECT_TRUE(ts::FileExists(Shortcut(GroupFolder())));
  ts::DeleteTree(access);
}

TEST_P(InstallRun, KeepSettingsOptionTouchesNoShortcut) {
  // A fresh install with /W makes none.
  ASSERT_EQ(0u, Run("/S /W").exitCode);
  EXPECT_FALSE(ts::FileExists(Shortcut(GroupFolder())));

  // Over an installation it neither changes nor removes any.
  ts::ResetMachineState();
  InstallSilently();
  ASSERT_TRUE(PlantShortcut(DesktopShortcut(), "C:\\Elsewhere\\\\DidIve.exe"));
  DeleteFileA(Shortcut(GroupFolder()).c_str());
  ASSERT_EQ(0u, Run("/S /W").exitCode);
  EXPECT_EQ("C:\\Elsewhere\\\\DidIve.exe", IconLocation(DesktopShortcut()));
  EXPECT_FALSE(ts::FileExists(Shortcut(GroupFolder())));
}

TEST_P(InstallRun, APackageWithoutTargetFailsAfterTheDialog) {
  EditSettings("TARGET", "");
  DialogView view;
  ts::RunResult run = Run("", AnswerDialog(&view));
  ASSERT_TRUE(view.seen);
  EXPECT_EQ(ts::ProgramFilesDir() + "\\", view.folder);
  EXPECT_EQ(8u, run.exitCode);
  EXPECT_EQ("0008", ts::ResultRecord());
  std::vector<ts::SeenWindow> boxes = ts::MessageBoxes(run.windows);
  ASSERT_FALSE(boxes.empty());
  EXPECT_EQ("Failed in operation for initialization.", boxes.back().text);
  EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, ts::kProductKey));
}

struct GroupCase {
  const char* label;
  const char* group;
  const char* version;  // "" for the system Wine reports
  int base;             // shell folder of the group
  const char* rest;
};

const GroupCase kGroupCases[] = {
    {"dot on NT", ".", "", CSIDL_COMMON_PROGRAMS, ""},
    {"backslash on NT", "\\", "", CSIDL_COMMON_STARTMENU, ""},
    {"\\Tools on NT", "\\Tools", "", CSIDL_COMMON_STARTMENU, "\\Tools"},
    {"Tools on NT", "Tools", "", CSIDL_COMMON_PROGRAMS, "\\Tools"},
    {"dot on 98", ".", "win98", CSIDL_PROGRAMS, ""},
    {"backslash on 98", "\\", "win98", CSIDL_STARTMENU, ""},
    {"\\Tools on 98", "\\Tools", "win98", CSIDL_STARTMENU, "\\Tools"},
    {"Tools on 98", "Tools", "win98", CSIDL_PROGRAMS, "\\Tools"},
};

TEST_P(InstallRun, GroupValuesChooseTheProgramGroup) {
  for (const GroupCase& c : kGroupCases) {
    SCOPED_TRACE(c.label);
    ts::ResetMachineState();
    package_ = ts::PreparePackage(xml());
    EditSettings("GROUP", std::string("GROUP=") + c.group);
    ts::SetWineVersion("setup.exe", c.version);
    const std::string group = ts::SpecialFolder(c.base) + c.rest;
    ASSERT_EQ(0u, Run("/S").exitCode);
    EXPECT_EQ(group, ProductValue("MenuDir"));
    EXPECT_TRUE(ts::FileExists(Shortcut(group)));
    // The uninstall takes the group shortcut away again.
    ASSERT_EQ(0u, Run("/S /U").exitCode);
    EXPECT_FALSE(ts::FileExists(Shortcut(group)));
    if (c.rest[0] != '\0') EXPECT_FALSE(ts::FolderExists(group));
    ts::SetWineVersion("setup.exe", "");
  }
}

TEST_P(InstallRun, SilentInstallUpgradeAndUninstall) {
  InstallSilently();
  InstallSilently();
  EXPECT_EQ(ProposedFolder(), ProductValue("ProgDir"));
  EXPECT_TRUE(ts::FileExists(Shortcut(GroupFolder())));

  ts::RunResult run = Run("/S /U");
  EXPECT_EQ(0u, run.exitCode);
  EXPECT_EQ("0000", ts::ResultRecord());
  EXPECT_TRUE(ts::MessageBoxes(run.windows).empty());
  // Only what the product key keeps is left of the product.
  for (const char* value : {"", "ProgDir", "Name", "Version", "MenuDir", "DownloadDir"}) {
    std::string text;
    EXPECT_FALSE(ts::ReadRegString(HKEY_LOCAL_MACHINE, ts::kProductKey, value, &text)) << value;
  }
  DWORD internetFunction = 9;
  EXPECT_TRUE(ts::ReadRegDword(HKEY_LOCAL_MACHINE, ts::kProductKey, "InternetFunction", &internetFunction));
  EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, std::string(ts::kProductKey) + "\\SearchPath"));
  EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, ts::kUninstallKey));
  EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, ts::kBrowserButtonKey));
  EXPECT_FALSE(ts::FolderExists(GroupFolder()));
  EXPECT_FALSE(ts::FileExists(DesktopShortcut()));
  EXPECT_FALSE(ts::FileExists(StartMenuShortcut()));
  EXPECT_FALSE(ts::FileExists(ProposedFolder() + "\\DidIve.exe"));
}

TEST_P(InstallRun, UninstallAsksAndNoChangesNothing) {
  DialogView view;
  ASSERT_EQ(0u, Run("", AnswerDialog(&view, [](HWND dialog) {
                      Click(dialog, IDC_DESKTOP_ICON);
                      ts::PressButton(dialog, IDOK);
                    })).exitCode);
  ts::DeleteRegTree(HKEY_CURRENT_USER, ts::kProductKey);

  std::string question;
  ts::RunResult run = Run("/U", [&](const ts::SeenWindow& window) {
    if (window.title != "Uninstallation Program") return false;
    question = window.text;
    return ts::PressButton(window.window, IDNO);
  });
  EXPECT_EQ("Are you sure you want to remove the selected program from this computer?", question);
  EXPECT_EQ(0u, run.exitCode);
  EXPECT_EQ("", ts::ResultRecord());
  EXPECT_EQ(ProposedFolder(), ProductValue("ProgDir"));
  EXPECT_TRUE(ts::FileExists(Shortcut(GroupFolder())));
  EXPECT_TRUE(ts::FileExists(DesktopShortcut()));
  EXPECT_TRUE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, ts::kUninstallKey));

  run = Run("/U", ts::AnswerYes);
  EXPECT_EQ(0u, run.exitCode);
  std::vector<ts::SeenWindow> boxes = ts::MessageBoxes(run.windows);
  ASSERT_EQ(2u, boxes.size());
  EXPECT_EQ("Completed.", boxes.back().text);
  EXPECT_FALSE(ts::FileExists(Shortcut(GroupFolder())));
  EXPECT_FALSE(ts::FolderExists(GroupFolder()));
  EXPECT_FALSE(ts::FileExists(DesktopShortcut()));
  EXPECT_EQ("", ProductValue("ProgDir"));
}

struct RunningCase {
  const char* label;
  const char* productName;  // name the running stand-in product uses
  bool windowOnly;          // an older product: its window, no mutex
  const char* earlierVersion;
  bool recognised;
};

const RunningCase kRunningCases[] = {
    {"mutex of the product", kProduct, false, "3.10.0000", true},
    {"window of an older product", kProduct, true, "1.02.0000", true},
    {"window only, but a version with a mutex", kProduct, true, "3.10.0000", false},
    {"mutex of another name", "Other Product", false, "3.10.0000", false},
};

TEST_P(InstallRun, TheRunningProductIsFoundByItsNameAndVersion) {
  for (const RunningCase& c : kRunningCases) {
    SCOPED_TRACE(c.label);
    ts::ResetMachineState();
    InstallSilently();
    ts::WriteRegString(HKEY_LOCAL_MACHINE, ts::kProductKey, "Version", c.earlierVersion);
    std::string args = std::string("/N:\"") + c.productName + "\"" + (c.windowOnly ? " /O" : "");
    ts::Process product = ts::StartProcess(ts::BuildDir() + "\\DidIve.exe", args);
    ASSERT_NE(nullptr, product.handle);
    ASSERT_NE(nullptr, ts::WaitForWindow(c.productName, 10000, product.id));

    DialogView view;
    ts::RunResult run = Run("", AnswerDialog(&view));
    EXPECT_EQ(0u, run.exitCode);
    // A running product makes the end a restart prompt instead of "Completed."
    // (Wine's prompt shows nothing).
    bool completed = false;
    for (const ts::SeenWindow& box : ts::MessageBoxes(run.windows)) {
      completed = completed || box.text == "Completed.";
    }
    EXPECT_TRUE(view.seen);
    EXPECT_EQ(!c.recognised, completed);
    ts::ResetMachineState();
    ts::FinishProcess(&product, 5000);
  }
}

}  // namespace
