// An interrupted install or uninstall is made good by running the same
// command again. For every N from 1 to the number of system changes of a
// clean run, the Nth change fails; the command then runs again without a
// fault, the restart is carried out where the run left one pending, and the
// end state must equal that of one clean run.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/folders.h"
#include "common/system_change.h"
#include "common/text.h"
#include "driver/progress.h"
#include "driver/setup_sequence.h"
#include "driver/step_lists.h"
#include "files/program_files.h"
#include "package/setup_package.h"
#include "package/target_choice.h"
#include "resources/resource_ids.h"
#include "support/support.h"
#include "win/files_test_helpers.h"
#include "win/registry_test_keys.h"

namespace {

const char kPackage[] = "C:\\conv_pkg";
const char kLink[] = "\\Ravozeve Vuzizirer.lnk";

struct Scenario {
  const char* name;
  bool nt;
  bool install;
  bool running;  // the product runs: the files are replaced at the restart
};

// Counts the changes and refuses the one numbered failAt (0: none).
int g_changes = 0;
int g_failAt = 0;
int CountChange(const char*) { return ++g_changes != g_failAt; }

int ReadTestPackage(char* folder) { return TextCopy(folder, MAX_PATH, kPackage); }

std::string Hash(const std::string& bytes) {
  unsigned long long h = 1469598103934665603ull;
  for (unsigned char c : bytes) h = (h ^ c) * 1099511628211ull;
  return std::to_string(bytes.size()) + ":" + std::to_string(h);
}

void DumpKey(HKEY root, const std::string& path, std::vector<std::string>* lines) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    lines->push_back("key " + path + " missing");
    return;
  }
  for (DWORD i = 0;; ++i) {
    char name[MAX_PATH];
    BYTE data[2048];
    DWORD nameSize = MAX_PATH, dataSize = sizeof(data), type = 0;
    if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) break;
    lines->push_back("value " + path + "\\" + name + " " + std::to_string(type) + " " +
                     Hash(std::string(reinterpret_cast<char*>(data), dataSize)));
  }
  std::vector<std::string> subkeys;
  char sub[MAX_PATH];
  for (DWORD i = 0; RegEnumKeyA(key, i, sub, MAX_PATH) == ERROR_SUCCESS; ++i) subkeys.push_back(sub);
  RegCloseKey(key);
  for (const std::string& s : subkeys) DumpKey(root, path + "\\" + s, lines);
}

class Convergence : public testing::TestWithParam<Scenario> {
 protected:
  void SetUp() override {
    ts::IsolateShortcutFolders();
    g_progressPause = 0;
    g_readPackageFolder = ReadTestPackage;
    g_setupPackage.instance = GetModuleHandleA(nullptr);
    ts::PreparePackage(false, kPackage);
  }
  void TearDown() override {
    SetSystemChangeFilter(nullptr);
    Reset();
    ts::DeleteTree(kPackage);
    g_readPackageFolder = ReadOwnFolder;
  }
  const Scenario& scenario() const { return GetParam(); }

  std::string StartMenu() const {
    return ts::SpecialFolder(scenario().nt ? CSIDL_COMMON_STARTMENU : CSIDL_STARTMENU);
  }
  std::string Group() const {
    return ts::SpecialFolder(scenario().nt ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS) +
           "\\Ravozeve Vuzizirer";
  }
  std::string ProgramFolder() const { return ts::ProgramFilesDir() + "\\Varnex\\Ravozeve Vuzizirer"; }

  // The machine before any install, with the desktop and Start-menu shortcuts
  // present so that the install makes them again.
  void Reset() {
    ts::ResetMachineState();
    ts::DeleteTree(Group());
    ts::WriteFileText(ts::SpecialFolder(CSIDL_DESKTOP) + kLink, "");
    ts::WriteFileText(StartMenu() + kLink, "");
  }

  // The command as the driver runs it after its start: the target chosen
  // silently, then the step list. Answers whether it succeeded.
  int Run(bool install, bool running, uint32_t moreFlags = 0, HWND progress = nullptr,
          const std::function<void(InstallTarget*)>& choose = nullptr) {
    files_test::ScopedWindowsVersion version(
        scenario().nt ? VER_PLATFORM_WIN32_NT : VER_PLATFORM_WIN32_WINDOWS, scenario().nt ? 5 : 4);
    SetupContext context;
    InitSetupContext(&context);
    context.flags = (install ? OptInstall : 0) | OptSilent | moreFlags;
    context.isNt5OrLater = scenario().nt;
    context.succeeded = 1;  // the package loaded
    g_setupPackage.isXmlDescriptor = 0;
    if (install && !LoadPackageFolder(kPackage)) return 0;
    if (!ChooseTarget(&context)) return 0;
    if (choose) choose(&context.target);
    context.instanceRunning = running;
    return RunStepList(&context, progress);
  }
  void RestartIfPending() {
    if (files_test::PendingOperations() != "missing" ||
        files_test::WininitText().find('=') != std::string::npos) {
      files_test::RunRestart();
    }
  }
  // The machine as the command under test finds it.
  void Prepare() {
    Reset();
    if (!scenario().install) {
      ASSERT_EQ(1, Run(true, false));
      RestartIfPending();
    }
  }
  // Runs the command under test with the change numbered failAt refused
  // (none for 0); answers whether it succeeded, and counts its changes.
  int RunFailing(int failAt, int* changes) {
    g_changes = 0;
    g_failAt = failAt;
    SetSystemChangeFilter(CountChange);
    int succeeded = Run(scenario().install, scenario().running);
    SetSystemChangeFilter(nullptr);
    *changes = g_changes;
    return succeeded;
  }

  // After an install that stopped, no program file is left to be deleted at
  // the restart without a move that puts the new one in its place.
  void ExpectNoDeletionWithoutItsMove() {
    std::vector<std::pair<std::string, std::string>> pairs = files_test::PendingPairs();
    for (size_t i = 0; i < pairs.size(); ++i) {
      const std::string& path = pairs[i].first;
      if (!pairs[i].second.empty() || path.back() == '\\') continue;  // a move, or a folder
      bool moved = false;
      for (size_t j = i + 1; j < pairs.size(); ++j) moved = moved || pairs[j].second == path;
      EXPECT_TRUE(moved) << path << " would be deleted and not replaced";
    }
  }

  std::vector<std::string> EndState() {
    std::vector<std::string> lines;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((ProgramFolder() + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        std::string name = data.cFileName;
        if (name == "." || name == "..") continue;
        lines.push_back("file " + name + " " + Hash(ts::ReadFileText(ProgramFolder() + "\\" + name)));
      } while (FindNextFileA(find, &data));
      FindClose(find);
    }
    lines.push_back("uninstaller " + Hash(ts::ReadFileText(ts::WindowsDir() + "\\_nvxu000.exe")) +
                    (ts::FileExists(ts::WindowsDir() + "\\_nvxu000.exe") ? "" : " missing"));
    for (const char* key : {ts::kProductKey, ts::kUninstallKey, ts::kInterfaceKey, ts::kBrowserButtonKey}) {
      DumpKey(HKEY_LOCAL_MACHINE, key, &lines);
    }
    for (const std::string& link :
         {ts::SpecialFolder(CSIDL_DESKTOP) + kLink, StartMenu() + kLink, Group() + kLink}) {
      lines.push_back("shortcut " + link + (ts::FileExists(link) ? " made" : " missing"));
    }
    lines.push_back("pending " + Hash(files_test::PendingOperations()));
    lines.push_back("wininit " + files_test::WininitText());
    return lines;
  }
};

TEST_P(Convergence, EveryInterruptedRunIsMadeGoodByTheNext) {
  Prepare();
  int changes = 0;
  ASSERT_EQ(1, RunFailing(0, &changes)) << "the clean run failed";
  RestartIfPending();
  const std::vector<std::string> clean = EndState();
  ASSERT_GT(changes, 0);
  for (int n = 1; n <= changes; ++n) {
    SCOPED_TRACE("change " + std::to_string(n) + " of " + std::to_string(changes) + " refused");
    Prepare();
    int asked = 0;
    RunFailing(n, &asked);
    if (scenario().install) ExpectNoDeletionWithoutItsMove();
    // Whatever the first run answered; after an uninstall that did all, the
    // second finds nothing installed and answers so, as it always did.
    Run(scenario().install, scenario().running);
    RestartIfPending();
    std::vector<std::string> state = EndState();
    if (state != clean) {
      std::string differences;
      for (size_t i = 0; i < std::max(state.size(), clean.size()); ++i) {
        std::string a = i < clean.size() ? clean[i] : "";
        std::string b = i < state.size() ? state[i] : "";
        if (a != b) differences += "\n  clean: " + a + "\n  again: " + b;
      }
      ADD_FAILURE() << "end states differ:" << differences;
    }
  }
  std::printf("%s: %d interrupted runs, one per change of a clean run\n", scenario().name, changes);
}

INSTANTIATE_TEST_SUITE_P(Runs, Convergence,
                         testing::Values(Scenario{"InstallNt", true, true, false},
                                         Scenario{"InstallNtProductRunning", true, true, true},
                                         Scenario{"Install9xProductRunning", false, true, true},
                                         Scenario{"UninstallNt", true, false, false},
                                         Scenario{"UninstallNtProductRunning", true, false, true},
                                         Scenario{"Uninstall9x", false, false, false},
                                         Scenario{"Uninstall9xProductRunning", false, false, true}),
                         [](const testing::TestParamInfo<Scenario>& info) { return info.param.name; });

// The positions the step lists give the bar, in order.
std::vector<int> g_positions;
WNDPROC g_barProc = nullptr;
LRESULT CALLBACK RecordPosition(HWND bar, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == PBM_SETPOS) g_positions.push_back(static_cast<int>(wParam));
  return CallWindowProcA(g_barProc, bar, message, wParam, lParam);
}

class StepProgress : public Convergence {};

TEST_P(StepProgress, EveryStepMovesTheBarOnePosition) {
  HWND window = ShowProgressWindow(GetModuleHandleA(nullptr));
  ASSERT_NE(nullptr, window);
  HWND bar = GetDlgItem(window, IDC_PROGRESS_BAR);
  g_barProc = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(bar, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordPosition)));
  const std::string desktopLink = ts::SpecialFolder(CSIDL_DESKTOP) + kLink;
  // A shortcut the user unticked, or a button the internet function does
  // not want, that is there and cannot be taken away.
  auto lockShortcut = [&] {
    ts::WriteFileText(desktopLink, "");
    SetFileAttributesA(desktopLink.c_str(), FILE_ATTRIBUTE_READONLY);
  };
  auto unlockShortcut = [&] { SetFileAttributesA(desktopLink.c_str(), FILE_ATTRIBUTE_NORMAL); };
  auto lockButton = [] {
    ts::WriteRegString(HKEY_LOCAL_MACHINE, ts::kBrowserButtonKey, "Exec", "C:\\Elsewhere\\DidIve.exe");
    regtest::MakeKeyReadOnly(HKEY_LOCAL_MACHINE, ts::kBrowserButtonKey);
  };
  auto unlockButton = [] { regtest::DeleteTree(HKEY_LOCAL_MACHINE, ts::kBrowserButtonKey); };
  auto unwantedShortcut = [](InstallTarget* target) { target->desktopShortcut = 0; };
  auto unwantedButton = [](InstallTarget* target) { target->browserButton = 0; };
  struct Case {
    const char* name;
    bool install;
    uint32_t flags;
    std::vector<int> positions;
    std::function<void()> lock;
    std::function<void()> unlock;
    std::function<void(InstallTarget*)> choose;
    int result = 1;
  } cases[] = {
      {"install", true, 0, {1, 2, 3, 4, 5, 6, 7, 8}},
      {"install /W", true, OptKeepSettings, {1, 2, 3, 4, 5, 6, 7, 8}},
      {"uninstall", false, 0, {2, 3, 4, 5, 6, 7, 8}},
      // An install does not fail over what it only meant to take away.
      {"install, unwanted shortcut that cannot be deleted", true, 0, {1, 2, 3, 4, 5, 6, 7, 8},
       lockShortcut, unlockShortcut, unwantedShortcut},
      {"install, unwanted button that cannot be opened", true, 0, {1, 2, 3, 4, 5, 6, 7, 8},
       lockButton, unlockButton, unwantedButton},
      // An uninstall does: it would look complete with the button left.
      {"uninstall, button that cannot be opened", false, 0, {2, 3, 4, 5}, lockButton, unlockButton,
       nullptr, 0},
  };
  Reset();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    if (c.lock) c.lock();
    g_positions.clear();
    EXPECT_EQ(c.result, Run(c.install, false, c.flags, window, c.choose));
    EXPECT_EQ(c.positions, g_positions);
    if (c.unlock) c.unlock();
    RestartIfPending();
  }
  DestroyWindow(window);
}

INSTANTIATE_TEST_SUITE_P(Runs, StepProgress, testing::Values(Scenario{"Nt", true, true, false}),
                         [](const testing::TestParamInfo<Scenario>& info) { return info.param.name; });

}  // namespace
