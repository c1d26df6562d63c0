// Dialog 101 driven as a person would: find it, read its controls, press buttons.
#include <windows.h>
#include <shlobj.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/run_records.h"
#include "common/text.h"
#include "driver/setup_sequence.h"
#include "package/install_dialog.h"
#include "package/setup_package.h"
#include "resources/resource_ids.h"
#include "support/support.h"


namespace {

const char kTitle[] = "Installation Program";
const char kLabel[] = "This program will be installed in the following folder:";
const int kBrowserStatus = 0x3743;  // the status line of the shell's folder browser

std::string EditText(HWND dialog) { return ts::ControlText(dialog, IDC_TARGET_FOLDER); }

bool EditReadOnly(HWND dialog) {
  return (GetWindowLongA(GetDlgItem(dialog, IDC_TARGET_FOLDER), GWL_STYLE) & ES_READONLY) != 0;
}

void SetEditText(HWND dialog, const std::string& text) {
  SendMessageA(GetDlgItem(dialog, IDC_TARGET_FOLDER), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>(text.c_str()));
}

// Clicks a control and returns once the dialog has handled the click.
void Click(HWND dialog, int id) {
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Waits up to five seconds for done() to hold; answers whether it did.
bool WaitFor(const std::function<bool()>& done) {
  for (DWORD start = GetTickCount(); GetTickCount() - start < 5000; Sleep(25)) {
    if (done()) return true;
  }
  return done();
}

bool WaitGone(HWND window, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  while (IsWindow(window)) {
    if (GetTickCount() - start > timeoutMs) return false;
    Sleep(50);
  }
  return true;
}

// A top-level window of this process owned by owner (the folder browser).
HWND WaitForOwnedWindow(HWND owner, DWORD timeoutMs = 30000) {
  DWORD start = GetTickCount();
  do {
    for (HWND window : ts::TopLevelWindows(GetCurrentProcessId())) {
      if (GetWindow(window, GW_OWNER) == owner) return window;
    }
    Sleep(50);
  } while (GetTickCount() - start < timeoutMs);
  return nullptr;
}

// The browser's status line once it ends with ending (the selection made by
// the browser's start can take a while, over 10 s on a loaded machine); what
// it shows after timeoutMs else.
std::string WaitForStatus(HWND browser, const std::string& ending, DWORD timeoutMs = 30000) {
  DWORD start = GetTickCount();
  std::string status;
  do {
    status = ts::ControlText(browser, kBrowserStatus);
    if (status.size() >= ending.size() &&
        status.compare(status.size() - ending.size(), ending.size(), ending) == 0) {
      break;
    }
    Sleep(100);
  } while (GetTickCount() - start < timeoutMs);
  return status;
}

// Shows dialog 101 for target and lets drive act on it from another thread,
// as a person would; a dialog that drive leaves open is closed with a failure.
INT_PTR DriveDialog(InstallTarget* target, const std::function<void(HWND)>& drive) {
  bool handled = false;
  ts::WindowWatcher watcher([&](const ts::SeenWindow& seen) {
    if (handled || seen.title != kTitle) return false;
    handled = true;
    drive(seen.window);
    if (!WaitGone(seen.window, 5000)) {
      ADD_FAILURE() << "the dialog stayed open";
      PostMessageA(seen.window, WM_COMMAND, IDCLOSE, 0);
    }
    return true;
  });
  INT_PTR result = RunInstallDialog(target);
  watcher.Stop();
  EXPECT_TRUE(handled) << "dialog 101 was not seen";
  return result;
}

class InstallDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    g_setupPackage.instance = GetModuleHandleA(nullptr);
    ZeroMemory(&target_, sizeof(target_));
    target_.flags = OptInstall | OptFreshInstall;
    target_.internetFunction = 1;
    TextCopy(target_.targetFolder, MAX_PATH, "C:\\Program Files\\Ravozeve");
  }
  InstallTarget target_;
};

TEST_F(InstallDialogTest, FreshInstallProposesTheFolderAndTakesTheChoices) {
  target_.desktopShortcut = 1;
  INT_PTR result = DriveDialog(&target_, [](HWND dialog) {
    EXPECT_EQ(kLabel, ts::ControlText(dialog, IDC_FOLDER_LABEL));
    EXPECT_EQ("C:\\Program Files\\Ravozeve", EditText(dialog));
    EXPECT_FALSE(EditReadOnly(dialog));
    EXPECT_TRUE(ts::ControlEnabled(dialog, IDC_BROWSE));
    EXPECT_EQ("Browse ...", ts::ControlText(dialog, IDC_BROWSE));
    EXPECT_TRUE(ts::ControlEnabled(dialog, IDCANCEL));
    EXPECT_TRUE(ts::ControlVisible(dialog, IDC_DESKTOP_ICON));
    EXPECT_TRUE(ts::ControlVisible(dialog, IDC_START_MENU_ICON));
    EXPECT_EQ("Show icon on desktop.", ts::ControlText(dialog, IDC_DESKTOP_ICON));
    EXPECT_EQ("Show icon in Start menu.", ts::ControlText(dialog, IDC_START_MENU_ICON));
    EXPECT_EQ(static_cast<UINT>(BST_INDETERMINATE), ts::ControlCheck(dialog, IDC_DESKTOP_ICON));
    EXPECT_EQ(static_cast<UINT>(BST_UNCHECKED), ts::ControlCheck(dialog, IDC_START_MENU_ICON));
    EXPECT_NE(nullptr, reinterpret_cast<HICON>(GetClassLongPtrA(dialog, GCLP_HICON)));
    ts::PressButton(dialog, IDOK);
  });
  EXPECT_EQ(IDOK, result);
  EXPECT_EQ(1, target_.desktopShortcut);
  EXPECT_EQ(0, target_.startMenuShortcut);
  EXPECT_EQ(1, target_.browserButton);
  EXPECT_STREQ("C:\\Program Files\\Ravozeve", target_.targetFolder);
}

TEST_F(InstallDialogTest, UpgradeShowsTheFolderReadOnlyWithoutBrowse) {
  target_.flags = OptInstall;
  TextCopy(target_.targetFolder, MAX_PATH, "D:\\Earlier\\Folder");
  INT_PTR result = DriveDialog(&target_, [](HWND dialog) {
    EXPECT_EQ(kLabel, ts::ControlText(dialog, IDC_FOLDER_LABEL));
    EXPECT_EQ("D:\\Earlier\\Folder", EditText(dialog));
    EXPECT_TRUE(EditReadOnly(dialog));
    EXPECT_FALSE(ts::ControlEnabled(dialog, IDC_BROWSE));
    ts::PressButton(dialog, IDOK);
  });
  EXPECT_EQ(IDOK, result);
  EXPECT_STREQ("D:\\Earlier\\Folder", target_.targetFolder);
}

struct VisibilityCase {
  const char* label;
  uint32_t flags;
  int internetFunction;
  bool visible;
};

const VisibilityCase kVisibilityCases[] = {
    {"internet function 1", OptInstall | OptFreshInstall, 1, true},
    {"internet function 2", OptInstall | OptFreshInstall, 2, true},
    {"internet function 0", OptInstall | OptFreshInstall, 0, false},
    {"/W keeps settings", OptInstall | OptFreshInstall | OptKeepSettings, 1, false},
};

TEST_F(InstallDialogTest, HidesTheCheckBoxesWithoutInternetFunctionOrWithKeepSettings) {
  for (const VisibilityCase& c : kVisibilityCases) {
    SCOPED_TRACE(c.label);
    target_.flags = c.flags;
    target_.internetFunction = c.internetFunction;
    target_.desktopShortcut = 1;
    target_.startMenuShortcut = 0;
    target_.browserButton = 1;
    INT_PTR result = DriveDialog(&target_, [&](HWND dialog) {
      EXPECT_EQ(c.visible, ts::ControlVisible(dialog, IDC_DESKTOP_ICON));
      EXPECT_EQ(c.visible, ts::ControlVisible(dialog, IDC_START_MENU_ICON));
      // Hidden or not, they keep the presence-based states.
      EXPECT_EQ(static_cast<UINT>(BST_INDETERMINATE), ts::ControlCheck(dialog, IDC_DESKTOP_ICON));
      EXPECT_EQ(static_cast<UINT>(BST_UNCHECKED), ts::ControlCheck(dialog, IDC_START_MENU_ICON));
      ts::PressButton(dialog, IDOK);
    });
    EXPECT_EQ(IDOK, result);
    EXPECT_EQ(1, target_.desktopShortcut);
    EXPECT_EQ(0, target_.startMenuShortcut);
    EXPECT_EQ(c.internetFunction != 0, target_.browserButton != 0);
  }
}

TEST_F(InstallDialogTest, CheckBoxGoesFromIndeterminateToUncheckedToChecked) {
  target_.desktopShortcut = 1;
  target_.startMenuShortcut = 1;
  INT_PTR result = DriveDialog(&target_, [](HWND dialog) {
    const UINT expected[] = {BST_UNCHECKED, BST_CHECKED, BST_UNCHECKED, BST_CHECKED};
    for (UINT state : expected) {
      Click(dialog, IDC_DESKTOP_ICON);
      EXPECT_EQ(state, ts::ControlCheck(dialog, IDC_DESKTOP_ICON));
    }
    // The other one is clicked once: unchecked, so not wanted.
    Click(dialog, IDC_START_MENU_ICON);
    ts::PressButton(dialog, IDOK);
  });
  EXPECT_EQ(IDOK, result);
  EXPECT_EQ(1, target_.desktopShortcut);
  EXPECT_EQ(0, target_.startMenuShortcut);
}

// OK applies the file step's rule: a folder no install could use keeps the
// dialog open with a message that says why; the longest usable one passes.
TEST_F(InstallDialogTest, OkRefusesAFolderNoInstallCouldUse) {
  const std::string longest = "C:\\" + std::string(243, 'x');  // with "\\" and 12 more: 259
  const std::string tooLong = longest + "x";
  std::vector<std::string> messages;
  INT_PTR result = DriveDialog(&target_, [&](HWND dialog) {
    for (const std::string& folder : {std::string(), std::string(" "), std::string("Vuz"),
                                      std::string("C:Vuz"), tooLong}) {
      SetEditText(dialog, folder);
      ts::PressButton(dialog, IDOK);
      HWND box = WaitForOwnedWindow(dialog);
      messages.push_back(box != nullptr ? ts::MessageBoxText(box) : "no message for " + folder);
      if (box != nullptr) ts::PressButton(box, IDOK);
      WaitGone(box, 5000);
      EXPECT_TRUE(IsWindowVisible(dialog)) << folder;
    }
    SetEditText(dialog, longest);
    ts::PressButton(dialog, IDOK);
  });
  EXPECT_EQ(IDOK, result);
  EXPECT_EQ(longest, target_.targetFolder);
  const std::string why =
      "The folder must be a full path, such as C:\\Program Files\\Ravozeve Vuzizirer, of at most "
      "246 characters.";
  EXPECT_EQ(std::vector<std::string>(5, why), messages);
}

struct EndCase {
  const char* label;
  UINT message;
  WPARAM wParam;
  INT_PTR result;
};

const EndCase kEndCases[] = {
    {"Cancel", WM_COMMAND, IDCANCEL, IDCANCEL},
    {"command 8", WM_COMMAND, IDCLOSE, IDCLOSE},
    {"system menu Close", WM_SYSCOMMAND, SC_CLOSE, IDCANCEL},
};

TEST_F(InstallDialogTest, CancelAndCloseLeaveTheTargetAsItWas) {
  for (const EndCase& c : kEndCases) {
    SCOPED_TRACE(c.label);
    target_.desktopShortcut = 1;
    INT_PTR result = DriveDialog(&target_, [&](HWND dialog) {
      SetEditText(dialog, "E:\\Typed");
      ts::PressButton(dialog, IDC_DESKTOP_ICON);
      PostMessageA(dialog, c.message, c.wParam, 0);
    });
    EXPECT_EQ(c.result, result);
    EXPECT_STREQ("C:\\Program Files\\Ravozeve", target_.targetFolder);
    EXPECT_EQ(1, target_.desktopShortcut);
  }
}

TEST_F(InstallDialogTest, RelaunchOptionDisablesCancel) {
  for (uint32_t extra : {0u, static_cast<uint32_t>(OptRelaunch)}) {
    target_.flags = OptInstall | OptFreshInstall | extra;
    INT_PTR result = DriveDialog(&target_, [&](HWND dialog) {
      EXPECT_EQ(extra == 0, ts::ControlEnabled(dialog, IDCANCEL));
      EXPECT_TRUE(ts::ControlEnabled(dialog, IDOK));
      ts::PressButton(dialog, IDOK);
    });
    EXPECT_EQ(IDOK, result);
  }
}

// The folder browser opened by Browse.
class BrowseTest : public InstallDialogTest {
 protected:
  void SetUp() override {
    InstallDialogTest::SetUp();
    folder_ = "C:\\browse_tests";
    CreateDirectoryA(folder_.c_str(), nullptr);
    CreateDirectoryA((folder_ + "\\Proposed").c_str(), nullptr);
    TextCopy(target_.targetFolder, MAX_PATH, (folder_ + "\\Proposed").c_str());
  }
  void TearDown() override { ts::DeleteTree(folder_); }
  std::string folder_;
};

TEST_F(BrowseTest, StartsAtTheProposedFolderAndConfirmsIt) {
  std::string status;
  bool okEnabled = false;
  INT_PTR result = DriveDialog(&target_, [&](HWND dialog) {
    ts::PressButton(dialog, IDC_BROWSE);
    HWND browser = WaitForOwnedWindow(dialog);
    ASSERT_NE(nullptr, browser);
    status = WaitForStatus(browser, "\\Proposed");
    okEnabled = WaitFor([&] { return ts::ControlEnabled(browser, IDOK); });
    ts::PressButton(browser, IDOK);
    ASSERT_TRUE(WaitGone(browser, 5000));
    EXPECT_TRUE(WaitFor([&] { return EditText(dialog) == folder_ + "\\Proposed"; }))
        << EditText(dialog);
    ts::PressButton(dialog, IDOK);
  });
  EXPECT_EQ(IDOK, result);
  EXPECT_TRUE(okEnabled);
  EXPECT_EQ(folder_ + "\\Proposed", status);
  EXPECT_EQ(folder_ + "\\Proposed", std::string(target_.targetFolder));
}

TEST_F(BrowseTest, StartsAtProgramFilesWhenTheProposedFolderDoesNotExistYet) {
  TextCopy(target_.targetFolder, MAX_PATH, (folder_ + "\\Not There Yet").c_str());
  std::string status;
  INT_PTR result = DriveDialog(&target_, [&](HWND dialog) {
    ts::PressButton(dialog, IDC_BROWSE);
    HWND browser = WaitForOwnedWindow(dialog);
    ASSERT_NE(nullptr, browser);
    status = WaitForStatus(browser, ts::ProgramFilesDir());
    ts::PressButton(browser, IDCANCEL);
    ASSERT_TRUE(WaitGone(browser, 5000));
    // A cancelled browser leaves the field as it was.
    EXPECT_EQ(folder_ + "\\Not There Yet", EditText(dialog));
    ts::PressButton(dialog, IDOK);
  });
  EXPECT_EQ(IDOK, result);
  EXPECT_EQ(ts::ProgramFilesDir(), status);
  EXPECT_EQ(folder_ + "\\Not There Yet", std::string(target_.targetFolder));
}

TEST_F(BrowseTest, ShortensAWidePathInTheStatusLine) {
  std::string path = folder_;
  for (const char* part : {"\\A rather long folder name to fill the line",
                           "\\Another rather long folder name", "\\Third long folder name",
                           "\\Last"}) {
    path += part;
    ASSERT_TRUE(CreateDirectoryA(path.c_str(), nullptr));
  }
  TextCopy(target_.targetFolder, MAX_PATH, path.c_str());
  std::string status;
  INT_PTR result = DriveDialog(&target_, [&](HWND dialog) {
    ts::PressButton(dialog, IDC_BROWSE);
    HWND browser = WaitForOwnedWindow(dialog);
    ASSERT_NE(nullptr, browser);
    status = WaitForStatus(browser, "\\Last");
    ts::PressButton(browser, IDOK);
    ASSERT_TRUE(WaitGone(browser, 5000));
    ts::PressButton(dialog, IDOK);
  });
  EXPECT_EQ(IDOK, result);
  // The full path is taken; the status line shows it cut in the middle.
  EXPECT_EQ(path, std::string(target_.targetFolder));
  EXPECT_NE(path, status);
  EXPECT_NE(std::string::npos, status.find(" ... \\Last")) << "[" << status << "]";
  EXPECT_EQ(0u, status.find("C:")) << status;
}

// Reports the folder named g_readOnlyFolder (and only it) as read-only or
// offline, as Wine cannot.
std::string g_readOnlyFolder;
DWORD g_readOnlyAttribute;
DWORD WINAPI FakeAttributes(LPCSTR path) {
  DWORD attributes = GetFileAttributesA(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && lstrcmpiA(path, g_readOnlyFolder.c_str()) == 0) {
    attributes |= g_readOnlyAttribute;
  }
  return attributes;
}

TEST_F(BrowseTest, AReadOnlyOrOfflineFolderDisablesOk) {
  g_readOnlyFolder = folder_ + "\\Proposed";
  g_browseFolderAttributes = FakeAttributes;
  for (DWORD attribute : {static_cast<DWORD>(FILE_ATTRIBUTE_READONLY), static_cast<DWORD>(FILE_ATTRIBUTE_OFFLINE)}) {
    SCOPED_TRACE(attribute);
    g_readOnlyAttribute = attribute;
    std::string status = "unset";
    bool okEnabled = true;
    INT_PTR result = DriveDialog(&target_, [&](HWND dialog) {
      ts::PressButton(dialog, IDC_BROWSE);
      HWND browser = WaitForOwnedWindow(dialog);
      ASSERT_NE(nullptr, browser);
      // Nothing is shown for a refused folder: give the selection its time.
      status = WaitForStatus(browser, "\\Proposed", 3000);
      okEnabled = ts::ControlEnabled(browser, IDOK);
      ts::PressButton(browser, IDCANCEL);
      ASSERT_TRUE(WaitGone(browser, 5000));
      ts::PressButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(IDCANCEL, result);
    EXPECT_FALSE(okEnabled);
    // A folder that is not acceptable is neither shown nor taken.
    EXPECT_EQ("", status);
  }
  g_browseFolderAttributes = GetFileAttributesA;
}

}  // namespace
