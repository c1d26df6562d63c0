// Runs of the real setup.exe as an update agent runs it ("/T ..."), and an
// install with /O while such a request is pending, with the stand-in product
// installed from the sample package.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "support/support.h"

namespace {

const char kProductName[] = "Ravozeve Vuzizirer";  // the sample package's product

std::string Hex(uintptr_t number) {
  char text[32];
  snprintf(text, sizeof(text), "%llx", static_cast<unsigned long long>(number));
  return text;
}

// A window of the agent, on a thread of its own that keeps answering
// messages, as a real agent's window does while its box is up.
class AgentWindow {
 public:
  AgentWindow() {
    ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, Run, this, 0, &threadId_);
    WaitForSingleObject(ready_, 10000);
  }
  ~AgentWindow() {
    PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
    WaitForSingleObject(thread_, 10000);
    CloseHandle(thread_);
    CloseHandle(ready_);
  }
  HWND get() const { return window_; }
  std::string hex() const { return Hex(reinterpret_cast<uintptr_t>(window_)); }

 private:
  static DWORD WINAPI Run(void* param) {
    auto* self = static_cast<AgentWindow*>(param);
    self->window_ = CreateWindowExA(0, "STATIC", "update agent", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                    nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetEvent(self->ready_);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
    DestroyWindow(self->window_);
    return 0;
  }
  HANDLE ready_ = nullptr;
  HANDLE thread_ = nullptr;
  DWORD threadId_ = 0;
  HWND window_ = nullptr;
};

// A message box as a run showed it, with its owner.
struct Box {
  std::string title;
  std::string text;
  HWND owner;
};

struct AgentRun {
  DWORD exitCode;
  std::vector<Box> boxes;
  size_t windows;  // every window the run showed
};

class AgentRegistration : public testing::Test {
 protected:
  void SetUp() override {
    ts::ResetMachineState();
    package_ = ts::PreparePackage();
    ASSERT_TRUE(ts::FileExists(package_ + "\\setup.exe"));
  }
  void TearDown() override { ts::ResetMachineState(); }

  // Installs the product silently from the sample package.
  void InstallProduct() {
    ASSERT_EQ(0u, ts::RunSetup(package_, "/S").exitCode);
    ASSERT_TRUE(ts::ReadRegString(HKEY_LOCAL_MACHINE, ts::kProductKey, "", &programPath_));
    ASSERT_TRUE(ts::FileExists(programPath_));
    ts::DeleteRegTree(HKEY_CURRENT_USER, ts::kProductKey);  // the install's result record
  }

  AgentRun Run(const std::string& args) {
    AgentRun run{ts::kTimedOut, {}, 0};
    std::vector<Box>* boxes = &run.boxes;
    ts::RunResult result = ts::RunSetup(package_, args, [boxes](const ts::SeenWindow& w) {
      if (!w.text.empty()) boxes->push_back(Box{w.title, w.text, GetWindow(w.window, GW_OWNER)});
      return ts::AnswerOk(w);
    });
    run.exitCode = result.exitCode;
    run.windows = result.windows.size();
    return run;
  }

  static bool Pending() { return ts::RegKeyExists(HKEY_CURRENT_USER, ts::kAgentKey); }

  std::string package_;
  std::string programPath_;
};

TEST_F(AgentRegistration, OlderSystemsEndWith50AndNoMessage) {
  InstallProduct();
  ts::SetWineVersion("setup.exe", "nt40");
  AgentRun run = Run("/Tf");
  EXPECT_EQ(50u, run.exitCode);
  EXPECT_EQ(0u, run.windows);
  EXPECT_FALSE(Pending());
}

TEST_F(AgentRegistration, SignalledRequestEndsWith0AndStaysPending) {
  InstallProduct();
  ts::StandInOptions options("");
  AgentWindow agent;
  AgentRun run = Run("/Tupdate-3 HWND=" + agent.hex());
  EXPECT_EQ(0u, run.exitCode);
  EXPECT_EQ(0u, run.boxes.size());
  EXPECT_TRUE(Pending());
  DWORD window = 0;
  EXPECT_TRUE(ts::ReadRegDword(HKEY_CURRENT_USER, ts::kAgentKey, "HWND", &window));
  EXPECT_EQ(reinterpret_cast<uintptr_t>(agent.get()), window);
  // Started from its installed place with "/H /W".
  std::string log = ts::StandInOptions::Log();
  EXPECT_NE(std::string::npos, log.find("DidIve.exe\" /H /W")) << log;
  EXPECT_NE(nullptr, FindWindowA(nullptr, kProductName)) << "the product runs on";

  ts::CloseStandIn(kProductName);

  // Quoted arguments of the real command line, in any order after the path.
  ts::DeleteRegTree(HKEY_CURRENT_USER, ts::kAgentKey);
  const std::string folder = ts::WindowsDir();
  run = Run("/Tf6 HWND=6 \"" + folder + "\" KILL=stop \"NOTIFY=go on\"");
  EXPECT_EQ(0u, run.exitCode);
  const std::pair<const char*, std::string> texts[] = {
      {"FEATUREID", "f6"}, {"PATH", folder}, {"NOTIFY", "go on"}, {"KILL", "stop"}};
  for (const auto& text : texts) {
    std::string value;
    EXPECT_TRUE(ts::ReadRegString(HKEY_CURRENT_USER, ts::kAgentKey, text.first, &value)) << text.first;
    EXPECT_EQ(text.second, value) << text.first;
  }
  ts::CloseStandIn(kProductName);
}

TEST_F(AgentRegistration, MalformedRequestsEndWith87) {
  InstallProduct();
  ts::StandInOptions options("");
  AgentWindow agent;
  const std::string folder = ts::WindowsDir();
  const std::string window = "HWND=" + agent.hex();
  // The box's owner is the window the request named before it went wrong,
  // unless that handle is no window.
  struct Case {
    std::string args;
    bool owned;
  } cases[] = {
      {"/Tf HWND=", false},
      {"/Tf " + window + " " + folder + " KILL=k", true},
      {"/Tf HWND=1f " + folder + " KILL=k", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args);
    AgentRun run = Run(c.args);
    EXPECT_EQ(87u, run.exitCode);
    ASSERT_EQ(1u, run.boxes.size());
    EXPECT_EQ(ts::SystemText(ERROR_INVALID_PARAMETER), run.boxes[0].text);
    EXPECT_EQ(c.owned ? agent.get() : nullptr, run.boxes[0].owner);
    EXPECT_FALSE(Pending());
    EXPECT_EQ("", ts::StandInOptions::Log()) << "the product is not started";
  }
}

TEST_F(AgentRegistration, ProductEndingBeforeItsSignalEndsWith1627) {
  InstallProduct();
  ts::StandInOptions options("/X");
  AgentWindow agent;
  AgentRun run = Run("/Tf HWND=" + agent.hex());
  EXPECT_EQ(1627u, run.exitCode);
  ASSERT_EQ(1u, run.boxes.size());
  EXPECT_EQ(ts::SystemText(ERROR_FUNCTION_FAILED), run.boxes[0].text);
  EXPECT_EQ(agent.get(), run.boxes[0].owner);
  EXPECT_FALSE(Pending()) << "the written request is deleted again";
  EXPECT_NE(std::string::npos, ts::StandInOptions::Log().find("/H /W"));
}

TEST_F(AgentRegistration, InstallWithRelaunchWaitsForThePendingRequest) {
  AgentWindow agent;
  // The product ends without its signal: the request goes, the box shows even with /S.
  ASSERT_TRUE(ts::WriteRegString(HKEY_CURRENT_USER, ts::kAgentKey, "FEATUREID", "f"));
  ASSERT_TRUE(ts::WriteRegDword(HKEY_CURRENT_USER, ts::kAgentKey, "HWND",
                                static_cast<DWORD>(reinterpret_cast<uintptr_t>(agent.get()))));
  ts::StandInOptions options("/X");
  AgentRun run = Run("/S /O");
  EXPECT_EQ(0u, run.exitCode);
  EXPECT_EQ("0000", ts::ResultRecord());
  ASSERT_EQ(1u, run.boxes.size());
  EXPECT_EQ(ts::SystemText(ERROR_FUNCTION_FAILED), run.boxes[0].text);
  EXPECT_EQ(agent.get(), run.boxes[0].owner);
  EXPECT_FALSE(Pending());
  std::string log = ts::StandInOptions::Log();
  EXPECT_NE(std::string::npos, log.find("DidIve.exe\" /H /W")) << log;
}

TEST_F(AgentRegistration, RequestOnlyAtTheStartTakesTheOtherMode) {
  // "/T" at the very start never reaches the install: no dialog, no result record.
  ts::RunResult run = ts::RunSetup(package_, "/T");
  for (const ts::SeenWindow& w : run.windows) EXPECT_NE("Installation Program", w.title);
  EXPECT_EQ("", ts::ResultRecord());
  EXPECT_FALSE(ts::RegKeyExists(HKEY_LOCAL_MACHINE, ts::kProductKey));

  // Anywhere else, and in lower case, it is an ignored option: a plain silent install.
  for (const char* args : {"/S /T", "/t /S"}) {
    ts::ResetMachineState();
    EXPECT_EQ(0u, ts::RunSetup(package_, args).exitCode) << args;
    EXPECT_EQ("0000", ts::ResultRecord()) << args;
  }
}

}  // namespace
