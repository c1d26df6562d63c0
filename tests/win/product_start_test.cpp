// The start of the product that an update agent waits for: LaunchProduct after
// an install with a pending registration, and the refusals of the "/T" mode
// that end before any start.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "common/text.h"
#include "driver/agent_registration.h"
#include "driver/environment.h"
#include "driver/finish_run.h"
#include "driver/setup_sequence.h"
#include "support/support.h"


namespace {

// A box as the code under test showed it.
struct Box {
  std::string title;
  std::string text;
  HWND owner;
};

// Records each message box of this process with its owner, then
// presses OK.
class BoxWatcher {
 public:
  BoxWatcher()
      : watcher_([this](const ts::SeenWindow& w) {
          if (w.text.empty()) return false;
          boxes_.push_back(Box{w.title, w.text, GetWindow(w.window, GW_OWNER)});
          return ts::AnswerOk(w);
        }) {}
  // Boxes are shown synchronously: once the call under test returned, every
  // box it showed has been seen.
  std::vector<Box> Stop() {
    watcher_.Stop();
    return boxes_;
  }

 private:
  std::vector<Box> boxes_;  // written by the watcher's thread until Stop
  ts::WindowWatcher watcher_;
};

// A hidden window of this thread to own the boxes.
class OwnerWindow {
 public:
  OwnerWindow()
      : window_(CreateWindowExA(0, "STATIC", "agent owner", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                nullptr, GetModuleHandleA(nullptr), nullptr)) {}
  ~OwnerWindow() { DestroyWindow(window_); }
  HWND get() const { return window_; }
  DWORD number() const { return static_cast<DWORD>(reinterpret_cast<uintptr_t>(window_)); }

 private:
  HWND window_;
};

std::string StandIn() { return ts::BuildDir() + "\\DidIve.exe"; }

class ProductStart : public testing::Test {
 protected:
  void SetUp() override { ts::DeleteRegTree(HKEY_CURRENT_USER, ts::kAgentKey); }
  void TearDown() override {
    ts::DeleteRegTree(HKEY_CURRENT_USER, ts::kAgentKey);
    ts::DeleteRegTree(HKEY_CURRENT_USER, ts::kProductKey);  // FinishRun's result record
  }

  // An install's context after a successful run with /O and a pending registration.
  static void InstallContext(SetupContext* context, const std::string& folder, HWND owner) {
    InitSetupContext(context);
    context->flags = OptInstall | OptRelaunch;
    context->succeeded = 1;
    context->agentPending = 1;
    context->ownerWindow = owner;
    TextCopy(context->target.targetFolder, MAX_PATH, folder.c_str());
    // As the target choice makes it: two backslashes before the file name.
    TextCopy(context->target.programPath, MAX_PATH, (folder + "\\\\DidIve.exe").c_str());
    TextCopy(context->target.groupShortcutPath, MAX_PATH, "C:\\no such group\\none.lnk");
    TextCopy(context->target.groupFolder, MAX_PATH, "C:\\no such group");
  }

  static void Pend() { ASSERT_TRUE(ts::WriteRegDword(HKEY_CURRENT_USER, ts::kAgentKey, "HWND", 0)); }
};

TEST_F(ProductStart, ASignalledStartKeepsTheRegistrationAndShowsNothing) {
  const std::string name = "Agent start signalled";
  ts::StandInOptions options("/N:\"" + name + "\"");
  Pend();
  SetupContext context;
  InstallContext(&context, ts::BuildDir(), nullptr);
  context.flags |= OptSilent;
  BoxWatcher boxes;
  EXPECT_EQ(0, FinishRun(GetModuleHandleA(nullptr), &context));
  std::vector<Box> seen = boxes.Stop();

  EXPECT_TRUE(seen.empty());
  EXPECT_TRUE(ts::RegKeyExists(HKEY_CURRENT_USER, ts::kAgentKey));
  EXPECT_NE(nullptr, FindWindowA(nullptr, name.c_str())) << "the product runs on";
  std::string log = ts::StandInOptions::Log();
  EXPECT_NE(std::string::npos, log.find("DidIve.exe\" /H /W")) << log;
  EXPECT_EQ(nullptr, context.initEvent);
  EXPECT_EQ(nullptr, context.launchInfo.hProcess);
  ts::CloseStandIn(name);
}

// The product signals and ends before the wait begins: the wait then finds
// the process and the event both signalled. The signal counts.
DWORD WINAPI EndAfterTheSignal(DWORD count, const HANDLE* handles, BOOL all, DWORD timeout) {
  WaitForSingleObject(handles[1], INFINITE);
  SetEvent(handles[1]);  // looking took the signal: it is given back
  TerminateProcess(handles[0], 0);
  WaitForSingleObject(handles[0], INFINITE);
  return WaitForMultipleObjects(count, handles, all, timeout);
}

TEST_F(ProductStart, ASignalCountsEvenWhenTheProductHasEndedSince) {
  ts::StandInOptions options("/N:\"Agent start signals and ends\"");
  Pend();
  SetupContext context;
  InstallContext(&context, ts::BuildDir(), nullptr);
  context.flags |= OptSilent;
  g_waitForProduct = EndAfterTheSignal;
  BoxWatcher boxes;
  EXPECT_EQ(0, FinishRun(GetModuleHandleA(nullptr), &context));
  std::vector<Box> seen = boxes.Stop();
  g_waitForProduct = WaitForMultipleObjects;
  EXPECT_TRUE(seen.empty());
  EXPECT_TRUE(ts::RegKeyExists(HKEY_CURRENT_USER, ts::kAgentKey));
}

TEST_F(ProductStart, AnEndBeforeTheSignalDeletesTheRegistrationAndTells) {
  OwnerWindow owner;
  // A handle that is no window (any more) gets a box without owner, not none.
  HWND gone = CreateWindowExA(0, "STATIC", "gone", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  DestroyWindow(gone);
  struct Case {
    HWND given;
    HWND owner;
  } cases[] = {{owner.get(), owner.get()}, {nullptr, nullptr}, {gone, nullptr}};
  for (const Case& c : cases) {
    HWND ownerWindow = c.given;
    SCOPED_TRACE(ownerWindow == nullptr ? "no owner" : ownerWindow == gone ? "gone" : "owner");
    ts::StandInOptions options("/N:\"Agent start ends\" /X");
    Pend();
    SetupContext context;
    InstallContext(&context, ts::BuildDir(), ownerWindow);
    context.flags |= OptSilent;  // the failed start is told even so
    BoxWatcher boxes;
    EXPECT_EQ(0, FinishRun(GetModuleHandleA(nullptr), &context));
    std::vector<Box> seen = boxes.Stop();

    EXPECT_FALSE(ts::RegKeyExists(HKEY_CURRENT_USER, ts::kAgentKey));
    EXPECT_NE(std::string::npos, ts::StandInOptions::Log().find("/H /W"));
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(ts::SystemText(ERROR_FUNCTION_FAILED), seen[0].text);
    EXPECT_EQ(c.owner, seen[0].owner);
  }
}

TEST_F(ProductStart, AProgramThatCannotStartCountsAsFailed) {
  Pend();
  SetupContext context;
  InstallContext(&context, "C:\\no such folder", nullptr);
  ts::WindowWatcher watcher;  // the shell may tell about the missing file too
  LaunchProduct(&context);
  std::vector<ts::SeenWindow> seen = watcher.Stop();
  EXPECT_FALSE(ts::RegKeyExists(HKEY_CURRENT_USER, ts::kAgentKey));
  bool told = false;
  for (const ts::SeenWindow& w : seen) told = told || w.text == ts::SystemText(ERROR_FUNCTION_FAILED);
  EXPECT_TRUE(told);
}

// --- Refusals of the "/T" mode -------------------------------------------------------

class AgentMode : public testing::Test {
 protected:
  void SetUp() override {
    ts::DeleteRegTree(HKEY_CURRENT_USER, ts::kAgentKey);
    ts::DeleteRegTree(HKEY_LOCAL_MACHINE, ts::kProductKey);
    saved_ = g_isUserAdministrator;
  }
  void TearDown() override {
    g_isUserAdministrator = saved_;
    ts::DeleteRegTree(HKEY_CURRENT_USER, ts::kAgentKey);
    ts::DeleteRegTree(HKEY_LOCAL_MACHINE, ts::kProductKey);
  }

  static void Install(bool path, bool folder) {
    if (path) ts::WriteRegString(HKEY_LOCAL_MACHINE, ts::kProductKey, "", StandIn());
    if (folder) ts::WriteRegString(HKEY_LOCAL_MACHINE, ts::kProductKey, "ProgDir", ts::BuildDir());
  }

  // Runs the mode on a Windows 2000 or later; answers the exit code.
  static int Run(std::vector<Box>* seen, int nt5 = 1) {
    SetupContext context;
    InitSetupContext(&context);
    context.isNt5OrLater = nt5;
    BoxWatcher boxes;
    int code = RunAgentRegistrationMode(&context);
    *seen = boxes.Stop();
    return code;
  }

  int (*saved_)() = nullptr;
};

int g_administratorAsked;
int NotAdministrator() {
  ++g_administratorAsked;
  return 0;
}

TEST_F(AgentMode, OlderSystemsAreRefusedSilently) {
  Install(true, true);
  std::vector<Box> seen;
  g_administratorAsked = 0;
  g_isUserAdministrator = NotAdministrator;
  EXPECT_EQ(50, Run(&seen, 0));
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(0, g_administratorAsked);
  EXPECT_FALSE(ts::RegKeyExists(HKEY_CURRENT_USER, ts::kAgentKey));
}

TEST_F(AgentMode, AnIncompleteInstallationCannotBeRead) {
  struct Case {
    bool path;
    bool folder;
  } cases[] = {{false, false}, {false, true}, {true, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "path " << c.path << " folder " << c.folder);
    ts::DeleteRegTree(HKEY_LOCAL_MACHINE, ts::kProductKey);
    Install(c.path, c.folder);
    std::vector<Box> seen;
    EXPECT_EQ(1012, Run(&seen));
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(ts::SystemText(ERROR_CANTREAD), seen[0].text);
    EXPECT_EQ(nullptr, seen[0].owner);
    EXPECT_FALSE(ts::RegKeyExists(HKEY_CURRENT_USER, ts::kAgentKey));
  }
}

TEST_F(AgentMode, APendingRegistrationRefusesTheNextOneUnderItsWindow) {
  OwnerWindow owner;
  Install(true, true);
  ASSERT_TRUE(ts::WriteRegString(HKEY_CURRENT_USER, ts::kAgentKey, "FEATUREID", "first"));
  ASSERT_TRUE(ts::WriteRegDword(HKEY_CURRENT_USER, ts::kAgentKey, "HWND", owner.number()));
  std::vector<Box> seen;
  EXPECT_EQ(170, Run(&seen));
  ASSERT_EQ(1u, seen.size());
  EXPECT_EQ(ts::SystemText(ERROR_BUSY), seen[0].text);
  EXPECT_EQ("Error", seen[0].title) << "the system's own caption";
  EXPECT_EQ(owner.get(), seen[0].owner);
  std::string feature;
  EXPECT_TRUE(ts::ReadRegString(HKEY_CURRENT_USER, ts::kAgentKey, "FEATUREID", &feature));
  EXPECT_EQ("first", feature) << "the pending registration is left alone";
}

TEST_F(AgentMode, ANonAdministratorIsToldAndNothingIsWritten) {
  Install(true, true);
  g_isUserAdministrator = NotAdministrator;
  std::vector<Box> seen;
  EXPECT_EQ(5, Run(&seen));
  ASSERT_EQ(1u, seen.size());
  EXPECT_EQ("You must be an administrator to run this program.", seen[0].text);
  EXPECT_FALSE(ts::RegKeyExists(HKEY_CURRENT_USER, ts::kAgentKey));
}

}  // namespace
