// Runs of setup.exe under Wine's emulated Windows versions, and the progress
// window as a person sees it during a run.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/support.h"

namespace {

const char kUnsupportedText[] = "This operating system is not supported.";
const char kCannotStart[] = "Can not start the installation.";
const int kProgressBarId = 1005;

class EnvironmentRun : public testing::Test {
 protected:
  void SetUp() override {
    ts::ResetMachineState();
    // The INI package: the checks do not depend on the descriptor's kind.
    package_ = ts::PreparePackage(false);
    ASSERT_TRUE(ts::FileExists(package_ + "\\setup.exe"));
  }
  void TearDown() override { ts::ResetMachineState(); }

  std::string package_;
};

bool IsProgressWindow(HWND window) {
  HWND bar = GetDlgItem(window, kProgressBarId);
  return bar != nullptr && lstrcmpiA(ts::ClassName(bar).c_str(), PROGRESS_CLASSA) == 0;
}

// What a run showed: the titles of its progress window, each time looked at
// while it was up, and the other windows it showed.
struct ObservedRun {
  DWORD exitCode = ts::kTimedOut;
  std::vector<std::string> titles;
  std::vector<ts::SeenWindow> windows;  // the other windows, in order
  int messagesWithProgressUp = 0;
};

// Runs setup.exe from the package and watches it closely: the progress window
// lives only while the step list runs, which can be a fraction of a second.
// Every other window is answered with answer.
ObservedRun ObserveSetup(const std::string& package, const std::string& args,
                         const ts::WindowAnswer& answer) {
  ObservedRun run;
  ts::Process process = ts::StartProcess(package + "\\setup.exe", args);
  if (process.handle == nullptr) return run;
  std::set<HWND> answered;
  const DWORD start = GetTickCount();
  while (WaitForSingleObject(process.handle, 5) == WAIT_TIMEOUT && GetTickCount() - start < 60000) {
    std::vector<HWND> windows = ts::TopLevelWindows(process.id);
    bool progressUp = false;
    for (HWND window : windows) {
      if (!IsProgressWindow(window)) continue;
      progressUp = true;
      run.titles.push_back(ts::WindowText(window));
    }
    for (HWND window : windows) {
      if (IsProgressWindow(window) || answered.count(window) != 0) continue;
      ts::WaitForTitle(window);
      ts::SeenWindow seen{window, ts::WindowText(window), ts::MessageBoxText(window)};
      if (!seen.text.empty() && progressUp) ++run.messagesWithProgressUp;
      bool recorded = false;
      for (const ts::SeenWindow& w : run.windows) recorded = recorded || w.window == window;
      if (!recorded) run.windows.push_back(seen);
      if (answer(seen)) answered.insert(window);
    }
  }
  run.exitCode = ts::FinishProcess(&process, 1);
  return run;
}

// Windows 95 stops before the install dialog and the removal question, with
// its message as the only window; silently with no window at all.
TEST_F(EnvironmentRun, UnsupportedSystemStopsBeforeAnyDialog) {
  ts::SetWineVersion("setup.exe", "win95");
  for (const char* args : {"", "/U", "/S"}) {
    SCOPED_TRACE(std::string("args \"") + args + "\"");
    ts::RunResult run = ts::RunSetup(package_, args);
    EXPECT_EQ(15u, run.exitCode);
    EXPECT_EQ("000F", ts::ResultRecord());
    if (args[1] == 'S') {
      EXPECT_TRUE(run.windows.empty());
      continue;
    }
    ASSERT_EQ(1u, run.windows.size());
    EXPECT_EQ(kCannotStart, run.windows[0].title);
    EXPECT_EQ(kUnsupportedText, run.windows[0].text);
  }
}

// The systems the program names: a silent install and uninstall succeed, and
// the shortcuts go where each system keeps them (the user's desktop; the
// Start menu and Programs of all users on NT, of the user on Windows 9x).
// Shortcuts of the product that exist already are made again, so planted
// empty files show where the run looked and wrote.
TEST_F(EnvironmentRun, NamedSystemsInstallAndUninstallSilently) {
  struct System {
    const char* version;
    int startMenu;
    int programs;
  } systems[] = {
      {"win98", CSIDL_STARTMENU, CSIDL_PROGRAMS},
      {"winme", CSIDL_STARTMENU, CSIDL_PROGRAMS},
      {"nt40", CSIDL_COMMON_STARTMENU, CSIDL_COMMON_PROGRAMS},  // Wine's has Service Pack 6a
      {"win2k", CSIDL_COMMON_STARTMENU, CSIDL_COMMON_PROGRAMS},
      {"winxp", CSIDL_COMMON_STARTMENU, CSIDL_COMMON_PROGRAMS},
      {"win7", CSIDL_COMMON_STARTMENU, CSIDL_COMMON_PROGRAMS},
      {"win10", CSIDL_COMMON_STARTMENU, CSIDL_COMMON_PROGRAMS},
  };
  ts::IsolateShortcutFolders();
  const std::string link = "\\Ravozeve Vuzizirer.lnk";
  for (const System& system : systems) {
    SCOPED_TRACE(system.version);
    ts::ResetMachineState();
    ts::SetWineVersion("setup.exe", system.version);
    const std::string shortcuts[] = {ts::SpecialFolder(CSIDL_DESKTOP) + link,
                                     ts::SpecialFolder(system.startMenu) + link,
                                     ts::SpecialFolder(system.programs) + "\\Ravozeve Vuzizirer" + link};
    ASSERT_TRUE(ts::WriteFileText(shortcuts[0], ""));
    ASSERT_TRUE(ts::WriteFileText(shortcuts[1], ""));

    ASSERT_EQ(0u, ts::RunSetup(package_, "/S").exitCode);
    EXPECT_EQ("0000", ts::ResultRecord());
    for (const std::string& shortcut : shortcuts) {
      EXPECT_NE("", ts::ReadFileText(shortcut)) << shortcut << " not made";
    }
    ASSERT_EQ(0u, ts::RunSetup(package_, "/S /U").exitCode);
    EXPECT_EQ("0000", ts::ResultRecord());
    for (const std::string& shortcut : shortcuts) {
      EXPECT_FALSE(ts::FileExists(shortcut)) << shortcut << " not removed";
    }
  }
}

// The bar's range and positions are the unit tests'; here the window as a
// run shows it.
TEST_F(EnvironmentRun, ProgressWindowDuringAnInstall) {
  ObservedRun run = ObserveSetup(package_, "", ts::AnswerOk);
  EXPECT_NE(ts::kTimedOut, run.exitCode);
  ASSERT_FALSE(run.titles.empty()) << "no progress window";
  for (const std::string& title : run.titles) EXPECT_EQ("Installation Program", title);
  // Gone before the result message.
  EXPECT_EQ(0, run.messagesWithProgressUp);
  EXPECT_FALSE(ts::MessageBoxes(run.windows).empty()) << "no result message";
}

}  // namespace
