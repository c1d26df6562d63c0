// Runs of the real setup.exe on the sample package: modes, messages, result
// record and exit codes as a person (or an admin's script) sees them.
#include <gtest/gtest.h>

#include "support/support.h"

namespace {

class DriverRun : public testing::Test {
 protected:
  void SetUp() override {
    ts::ResetMachineState();
    package_ = ts::PreparePackage();
    ASSERT_TRUE(ts::FileExists(package_ + "\\setup.exe"));
  }
  void TearDown() override { ts::ResetMachineState(); }

  // The result message of a run: the last message box it showed.
  static ts::SeenWindow LastBox(const ts::RunResult& run) {
    std::vector<ts::SeenWindow> boxes = ts::MessageBoxes(run.windows);
    return boxes.empty() ? ts::SeenWindow{} : boxes.back();
  }

  std::string package_;
};

TEST_F(DriverRun, SilentInstallSucceedsWithoutAnyWindow) {
  ts::RunResult run = ts::RunSetup(package_, "/S");
  EXPECT_EQ(0u, run.exitCode);
  EXPECT_EQ("0000", ts::ResultRecord());
  EXPECT_TRUE(ts::MessageBoxes(run.windows).empty());
}

TEST_F(DriverRun, InstallEndsWithCompletedUnderInstallationProgram) {
  ts::RunResult run = ts::RunSetup(package_, "");
  EXPECT_EQ(0u, run.exitCode);
  EXPECT_EQ("0000", ts::ResultRecord());
  ts::SeenWindow box = LastBox(run);
  EXPECT_EQ("Installation Program", box.title);
  EXPECT_EQ("Completed.", box.text);
}

TEST_F(DriverRun, UninstallSilentAndWithItsMessage) {
  ASSERT_EQ(0u, ts::RunSetup(package_, "/S").exitCode);
  ts::DeleteRegTree(HKEY_CURRENT_USER, ts::kProductKey);

  ts::RunResult run = ts::RunSetup(package_, "/U /S");
  EXPECT_EQ(0u, run.exitCode);
  EXPECT_EQ("0000", ts::ResultRecord());
  EXPECT_TRUE(ts::MessageBoxes(run.windows).empty());

  ASSERT_EQ(0u, ts::RunSetup(package_, "/S").exitCode);
  run = ts::RunSetup(package_, "/U", ts::AnswerYes);
  EXPECT_EQ(0u, run.exitCode);
  ts::SeenWindow box = LastBox(run);
  EXPECT_EQ("Uninstallation Program", box.title);
  EXPECT_EQ("Completed.", box.text);
}

TEST_F(DriverRun, NoResultMessageOptionSuppressesCompleted) {
  for (const char* args : {"/F", "/f", "/F /W"}) {
    ts::ResetMachineState();
    ts::RunResult run = ts::RunSetup(package_, args);
    EXPECT_EQ(0u, run.exitCode) << args;
    EXPECT_EQ("0000", ts::ResultRecord()) << args;
    for (const ts::SeenWindow& box : ts::MessageBoxes(run.windows)) {
      EXPECT_NE("Completed.", box.text) << args;
    }
  }
}

TEST_F(DriverRun, RegistrationRequestTakesTheOtherMode) {
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
