// setup.exe started from a folder that also holds DLLs named like system DLLs
// (a Downloads folder) loads none of them, in any kind of run. Wine is told
// to prefer a DLL found on disk for those names, as Windows does for DLLs
// that are not known DLLs.
#include <gtest/gtest.h>

#include "support/support.h"

namespace {

const char* const kPlantedNames[] = {"version.dll", "imm32.dll", "uxtheme.dll", "winmm.dll",
                                     "dwmapi.dll"};
const char kOverrides[] = "Software\\Wine\\AppDefaults\\setup.exe\\DllOverrides";
const char kLog[] = "C:\\dll-marker.log";

class PlantedDllRun : public testing::Test {
 protected:
  void SetUp() override {
    ts::ResetMachineState();
    package_ = ts::PreparePackage();
    const std::string marker = ts::BuildDir() + "\\dll_marker.dll";
    for (const char* name : kPlantedNames) {
      ASSERT_TRUE(CopyFileA(marker.c_str(), (package_ + "\\" + name).c_str(), FALSE)) << name;
      std::string base(name, strlen(name) - 4);
      ts::WriteRegString(HKEY_CURRENT_USER, kOverrides, base, "native,builtin");
    }
    DeleteFileA(kLog);
    SetEnvironmentVariableA("DLL_MARKER_LOG", kLog);
    // The marker does record a load (under a name Wine has no DLL of its own for).
    HMODULE probe = LoadLibraryA(marker.c_str());
    ASSERT_NE(nullptr, probe);
    FreeLibrary(probe);
    ASSERT_NE("", ts::ReadFileText(kLog));
    DeleteFileA(kLog);
  }
  void TearDown() override {
    SetEnvironmentVariableA("DLL_MARKER_LOG", nullptr);
    ts::DeleteRegTree(HKEY_CURRENT_USER, kOverrides);
    DeleteFileA(kLog);
    ts::ResetMachineState();
  }
  std::string package_;
};

TEST_F(PlantedDllRun, NoRunLoadsADllFromThePackageFolder) {
  struct Run {
    const char* label;
    const char* args;
    ts::WindowAnswer answer;
  } runs[] = {
      {"silent install", "/S", ts::AnswerOk},
      {"install through the dialog", "", ts::AnswerOk},
      {"uninstall", "/U", ts::AnswerYes},
  };
  for (const Run& run : runs) {
    SCOPED_TRACE(run.label);
    ts::RunResult result = ts::RunSetup(package_, run.args, run.answer);
    EXPECT_EQ(0u, result.exitCode);
    EXPECT_EQ("0000", ts::ResultRecord());
    EXPECT_EQ("", ts::ReadFileText(kLog));
  }
}

}  // namespace
