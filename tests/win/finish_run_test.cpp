// The end of a run: result record, result message, exit code.
#include <gtest/gtest.h>

#include <windows.h>
#include <setupapi.h>

#include "driver/finish_run.h"
#include "driver/setup_sequence.h"
#include "support/support.h"


namespace {

int g_promptCalls;
HSPFILEQ g_promptQueue;
HWND g_promptOwner;
BOOL g_promptScanOnly;
INT WINAPI RecordPrompt(HSPFILEQ queue, HWND owner, BOOL scanOnly) {
  ++g_promptCalls;
  g_promptQueue = queue;
  g_promptOwner = owner;
  g_promptScanOnly = scanOnly;
  return 0;
}

struct FinishCase {
  const char* name;
  uint32_t flags;
  int succeeded;
  int phase;
  int running;
  const char* record;
  const char* caption;  // nullptr: no window at all
  const char* text;
};

class FinishRunCases : public testing::TestWithParam<FinishCase> {
 protected:
  void SetUp() override { ts::DeleteRegTree(HKEY_CURRENT_USER, ts::kProductKey); }
  void TearDown() override { ts::DeleteRegTree(HKEY_CURRENT_USER, ts::kProductKey); }
};

TEST_P(FinishRunCases, RecordMessageAndExitCode) {
  const FinishCase& c = GetParam();
  SetupContext context;
  InitSetupContext(&context);
  context.flags = c.flags;
  context.succeeded = c.succeeded;
  context.resultPhase = c.phase;
  context.instanceRunning = c.running;

  ts::WindowWatcher watcher;
  int exitCode = FinishRun(GetModuleHandleA(nullptr), &context);
  std::vector<ts::SeenWindow> seen = watcher.Stop();

  EXPECT_EQ(c.phase, exitCode);
  EXPECT_EQ(c.record, ts::ResultRecord());
  if (c.caption == nullptr) {
    EXPECT_TRUE(seen.empty()) << "unexpected window: " << seen[0].title;
  } else {
    ASSERT_EQ(1u, seen.size());
    EXPECT_EQ(c.caption, seen[0].title);
    EXPECT_EQ(c.text, seen[0].text);
  }
}

const char kInstall[] = "Installation Program";
const char kUninstall[] = "Uninstallation Program";
const char kCannotStart[] = "Can not start the installation.";

INSTANTIATE_TEST_SUITE_P(
    Cases, FinishRunCases,
    testing::Values(
        FinishCase{"InstallDone", OptInstall, 1, 0, 0, "0000", kInstall, "Completed."},
        FinishCase{"UninstallDone", 0, 1, 0, 0, "0000", kUninstall, "Completed."},
        FinishCase{"Package", OptInstall, 0, 8, 0, "0008", kInstall,
                   "Failed in operation for initialization."},
        FinishCase{"FilesInstall", OptInstall, 0, 9, 0, "0009", kInstall,
                   "Failed in operation for files."},
        FinishCase{"FilesRemoval", 0, 0, 10, 0, "000A", kUninstall, "Failed in operation for files."},
        FinishCase{"Shortcuts", 0, 0, 11, 0, "000B", kUninstall,
                   "Failed in operation for registration."},
        FinishCase{"Registry", OptInstall, 0, 12, 0, "000C", kInstall,
                   "Failed in operation for registration."},
        FinishCase{"ServicePack", OptInstall, 0, 13, 0, "000D", kCannotStart,
                   "Please install Microsoft Windows NT4.0 Service Pack 4 or later, before "
                   "installing this program."},
        FinishCase{"UnsupportedOs", OptInstall, 0, 15, 0, "000F", kCannotStart,
                   "This operating system is not supported."},
        FinishCase{"UnsupportedOsUninstall", 0, 0, 15, 0, "000F", kCannotStart,
                   "This operating system is not supported."},
        FinishCase{"SilentFailure", OptInstall | OptSilent, 0, 12, 0, "000C", nullptr, ""},
        FinishCase{"SilentSuccess", OptInstall | OptSilent, 1, 0, 0, "0000", nullptr, ""},
        FinishCase{"NoResultMessage", OptInstall | OptNoResultMessage, 1, 0, 0, "0000", nullptr, ""},
        FinishCase{"NoResultMessageFailure", OptNoResultMessage, 0, 10, 0, "000A", nullptr, ""}),
    [](const testing::TestParamInfo<FinishCase>& info) { return std::string(info.param.name); });

TEST(FinishRun, RunningInstanceGivesTheRestartPromptInsteadOfCompleted) {
  struct Case {
    uint32_t flags;
    int prompts;
  } cases[] = {{OptInstall, 1}, {0, 1}, {OptInstall | OptSilent, 0}, {OptInstall | OptNoResultMessage, 0}};
  for (const Case& c : cases) {
    ts::DeleteRegTree(HKEY_CURRENT_USER, ts::kProductKey);
    SetupContext context;
    InitSetupContext(&context);
    context.flags = c.flags;
    context.succeeded = 1;
    context.instanceRunning = 1;
    g_promptCalls = 0;
    g_promptQueue = reinterpret_cast<HSPFILEQ>(1);
    g_promptOwner = reinterpret_cast<HWND>(1);
    g_promptScanOnly = TRUE;
    auto* saved = g_promptReboot;
    g_promptReboot = RecordPrompt;
    ts::WindowWatcher watcher;
    EXPECT_EQ(0, FinishRun(GetModuleHandleA(nullptr), &context));
    std::vector<ts::SeenWindow> seen = watcher.Stop();
    g_promptReboot = saved;
    EXPECT_EQ("0000", ts::ResultRecord());
    EXPECT_TRUE(seen.empty()) << "no \"Completed.\" box: " << seen.size();
    EXPECT_EQ(c.prompts, g_promptCalls) << "flags " << c.flags;
    if (c.prompts) {
      EXPECT_EQ(nullptr, g_promptQueue);
      EXPECT_EQ(nullptr, g_promptOwner);
      EXPECT_FALSE(g_promptScanOnly);
    }
  }
  ts::DeleteRegTree(HKEY_CURRENT_USER, ts::kProductKey);
}

}  // namespace
