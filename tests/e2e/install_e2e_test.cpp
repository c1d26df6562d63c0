// Install, upgrade and uninstall runs of the real setup.exe on the sample
// packages, answered as a person would: dialog 101, the removal question,
// the shortcuts and the product key they leave behind.
#include <windows.h>
#include <shlobj.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "resources/resource_ids.h"
#include "support/support.h"

namespace {

const char kProduct[] = "Ravozeve Vuzizirer";
const char kInstallTitle[] = "Installation Program";

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

std::string IconLocation(const std::string& file) { return ts::ReadShortcut(file).iconPath; }
using ts::PlantShortcut;

// What a run showed of dialog 101.
struct DialogView {
  bool seen = false;
  int otherWindows = 0;  // windows other than dialog 101 shown by the run
  std::string folder;
};

bool IsInstallDialog(HWND window) { return GetDlgItem(window, IDC_TARGET_FOLDER) != nullptr; }

DialogView ReadDialog(HWND dialog) {
  DialogView view;
  view.seen = true;
  char text[MAX_PATH * 2] = "";
  // WM_GETTEXT crosses processes; GetWindowText does not for an edit field.
  SendMessageA(GetDlgItem(dialog, IDC_TARGET_FOLDER), WM_GETTEXT, sizeof(text),
               reinterpret_cast<LPARAM>(text));
  view.folder = text;
  return view;
}

// Posted messages reach the dialog in order: the OK posted after a click
// comes after it, no pause needed.
void Click(HWND dialog, int id) { ts::PressButton(dialog, id); }
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

class InstallRun : public testing::Test {
 protected:
  void SetUp() override {
    ts::IsolateShortcutFolders();
    ts::ResetMachineState();
    package_ = ts::PreparePackage(true);
    ASSERT_TRUE(ts::FileExists(package_ + "\\setup.exe"));
  }
  void TearDown() override { ts::ResetMachineState(); }

  // Gives the package another product name.
  void RenameProduct(const std::string& name) {
    const std::string path = package_ + "\\VOD.xml";
    std::string text = ts::ReadFileText(path);
    size_t at = text.find("<title>");
    size_t end = text.find("</title>");
    text.replace(at + 7, end - at - 7, name);
    ASSERT_TRUE(ts::WriteFileText(path, text));
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

// The dialog's controls are the unit tests'; here what a run through it
// leaves: the desktop shortcut wanted, the Start-menu one not, the group's.
TEST_F(InstallRun, FreshInstallThroughTheDialog) {
  DialogView view;
  ts::RunResult run = Run("", AnswerDialog(&view, [](HWND dialog) {
    Click(dialog, IDC_DESKTOP_ICON);
    ts::PressButton(dialog, IDOK);
  }));
  ASSERT_TRUE(view.seen);
  EXPECT_EQ(ProposedFolder(), view.folder);

  EXPECT_EQ(0u, run.exitCode);
  EXPECT_EQ("0000", ts::ResultRecord());
  std::vector<ts::SeenWindow> boxes = ts::MessageBoxes(run.windows);
  ASSERT_EQ(1u, boxes.size());
  EXPECT_EQ(kInstallTitle, boxes[0].title);
  EXPECT_EQ("Completed.", boxes[0].text);
  EXPECT_EQ(ProposedFolder(), ProductValue("ProgDir"));
  EXPECT_EQ(kProduct, ProductValue("Name"));
  EXPECT_EQ(GroupFolder(), ProductValue("MenuDir"));
  EXPECT_TRUE(ts::FileExists(ProposedFolder() + "\\DidIve.exe"));
  const std::string icon = ProposedFolder() + "\\\\DidIve.exe";
  for (const std::string& file : {Shortcut(GroupFolder()), DesktopShortcut()}) {
    ASSERT_TRUE(ts::FileExists(file)) << file;
    EXPECT_EQ(icon, IconLocation(file)) << file;
  }
  EXPECT_FALSE(ts::FileExists(StartMenuShortcut()));
  EXPECT_FALSE(ts::FileExists(Shortcut(ts::SpecialFolder(CSIDL_STARTMENU))));
}

TEST_F(InstallRun, UncheckingAnExistingShortcutRemovesIt) {
  ASSERT_TRUE(PlantShortcut(StartMenuShortcut(), "C:\\Elsewhere\\\\DidIve.exe"));
  DialogView view;
  ts::RunResult run = Run("", AnswerDialog(&view, [](HWND dialog) {
    Click(dialog, IDC_START_MENU_ICON);  // indeterminate -> unchecked
    ts::PressButton(dialog, IDOK);
  }));
  ASSERT_TRUE(view.seen);
  EXPECT_EQ(0u, run.exitCode);
  EXPECT_FALSE(ts::FileExists(StartMenuShortcut()));
}

TEST_F(InstallRun, WithoutInternetModeTheCheckBoxesAreHiddenAndPresenceDecides) {
  ASSERT_TRUE(ts::SetPackageSetting(package_, "FILE", ".off"));
  ASSERT_TRUE(ts::SetPackageSetting(package_, "ALTFILE", ".off"));
  ASSERT_TRUE(PlantShortcut(DesktopShortcut(), "C:\\Elsewhere\\\\DidIve.exe"));
  DialogView view;
  ts::RunResult run = Run("", AnswerDialog(&view));
  ASSERT_TRUE(view.seen);
  EXPECT_EQ(0u, run.exitCode);
  EXPECT_TRUE(ts::FileExists(DesktopShortcut()));
  EXPECT_FALSE(ts::FileExists(StartMenuShortcut()));
  DWORD internetFunction = 9;
  EXPECT_TRUE(ts::ReadRegDword(HKEY_LOCAL_MACHINE, ts::kProductKey, "InternetFunction", &internetFunction));
  EXPECT_EQ(0u, internetFunction);
  EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, ts::kBrowserButtonKey));
}

// Declining the dialog ends the run at once: no progress window, no message,
// no record. With /O only the system menu's Close is left to decline with.
TEST_F(InstallRun, DecliningTheDialogChangesNothing) {
  struct Case {
    const char* args;
    std::function<void(HWND)> decline;
  } cases[] = {
      {"", [](HWND d) { ts::PressButton(d, IDCANCEL); }},
      {"/O", [](HWND d) { PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    DialogView view;
    ts::RunResult run = Run(c.args, AnswerDialog(&view, c.decline));
    ASSERT_TRUE(view.seen);
    EXPECT_EQ(0u, run.exitCode);
    EXPECT_EQ("", ts::ResultRecord());
    EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, ts::kProductKey));
    EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, ts::kUninstallKey));
    EXPECT_FALSE(ts::FolderExists(GroupFolder()));
    EXPECT_FALSE(ts::FolderExists(ProposedFolder()));
    EXPECT_EQ(0, view.otherWindows);
    EXPECT_EQ(1u, run.windows.size());
  }
}

TEST_F(InstallRun, UpgradeProposesTheEarlierFolderReadOnly) {
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
  EXPECT_EQ(custom, view.folder);
  EXPECT_EQ(0u, run.exitCode);
  EXPECT_TRUE(ts::FileExists(custom + "\\DidIve.exe"));
  EXPECT_EQ(custom, ProductValue("ProgDir"));
  EXPECT_EQ(custom + "\\\\DidIve.exe", IconLocation(Shortcut(GroupFolder())));
  ts::DeleteTree(custom);
}

TEST_F(InstallRun, UpgradeFromAnotherNameRemovesTheEarlierShortcuts) {
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
  EXPECT_EQ(0u, run.exitCode);
  EXPECT_FALSE(ts::FileExists(DesktopShortcut("Earlier Product")));
  EXPECT_FALSE(ts::FileExists(StartMenuShortcut("Earlier Product")));
  EXPECT_FALSE(ts::FileExists(Shortcut(GroupFolder(), "Earlier Product")));
  EXPECT_TRUE(ts::FileExists(DesktopShortcut()));
  EXPECT_TRUE(ts::FileExists(StartMenuShortcut()));
  EXPECT_TRUE(ts::FileExists(Shortcut(GroupFolder())));
  EXPECT_EQ(kProduct, ProductValue("Name"));
}

TEST_F(InstallRun, KeepSettingsOptionTouchesNoShortcut) {
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

TEST_F(InstallRun, APackageWithoutTargetFailsAfterTheDialog) {
  ASSERT_TRUE(ts::SetPackageSetting(package_, "TARGET", nullptr));
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

TEST_F(InstallRun, SilentInstallUpgradeAndUninstall) {
  InstallSilently();
  InstallSilently();
  EXPECT_EQ(ProposedFolder(), ProductValue("ProgDir"));
  EXPECT_TRUE(ts::FileExists(Shortcut(GroupFolder())));

  ts::RunResult run = Run("/S /U");
  EXPECT_EQ(0u, run.exitCode);
  EXPECT_EQ("0000", ts::ResultRecord());
  EXPECT_TRUE(ts::MessageBoxes(run.windows).empty());
  // What else an uninstall removes is checked after plain installs elsewhere.
  EXPECT_FALSE(ts::FileExists(ProposedFolder() + "\\DidIve.exe"));
}

TEST_F(InstallRun, UninstallAsksAndNoChangesNothing) {
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

}  // namespace
