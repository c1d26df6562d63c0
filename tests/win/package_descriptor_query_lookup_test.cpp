// descriptor-query.exe lookup under Wine: the values the setup reads from the
// sample package's descriptor, converted through the system's own functions.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/support.h"

namespace {

struct ToolRun {
  DWORD exitCode = ts::kTimedOut;
  std::string out;
};

ToolRun RunLookup(const std::string& args) {
  ToolRun run;
  std::string outPath = ts::BuildDir() + "\\descriptor-query-lookup.out";
  SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
  HANDLE out = CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return run;
  std::string line = "\"" + ts::BuildDir() + "\\descriptor-query.exe\" lookup " + args;
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = out;
  startup.hStdError = out;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION info = {};
  if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                     &info)) {
    CloseHandle(info.hThread);
    ts::Process process;
    process.handle = info.hProcess;
    process.id = info.dwProcessId;
    run.exitCode = ts::FinishProcess(&process, 60000);
  }
  CloseHandle(out);
  run.out = ts::ReadFileText(outPath);
  DeleteFileA(outPath.c_str());
  return run;
}

TEST(DescriptorQueryLookupExe, AnswersFromTheSamplePackage) {
  const std::string file = "\"" + ts::AssembledPackage(true) + "\\VOD.xml\"";
  ASSERT_TRUE(ts::FileExists(ts::AssembledPackage(true) + "\\VOD.xml"));
  struct Case {
    const char* args;
    DWORD exitCode;
    const char* out;
  } cases[] = {
      {"RELEASE NAME", 0, "Ravozeve Vuzizirer\n"},
      {"RELEASE version", 0, "3.10.0000\n"},
      {"RELEASE OSTYPE --lang 0407", 0, "WORKSTATION\n"},
      {"RELEASE SETUPFORM.SILENT", 0, "NONE\n"},
      {"RELEASE NAME --package DIDIVE", 0, "Ravozeve Vuzizirer\n"},
      {"RELEASE NAME --package OTHER", 1, ""},
      {"RELEASE TITLE", 1, ""},
      {"NORELEASE NAME", 1, ""},
  };
  for (const Case& c : cases) {
    ToolRun run = RunLookup(file + " " + c.args);
    EXPECT_EQ(c.exitCode, run.exitCode) << c.args;
    EXPECT_EQ(c.out, run.out) << c.args;
  }
}

TEST(DescriptorQueryLookupExe, ConvertsToTheCodePageAndKeepsTheExitCodes) {
  const std::string path = ts::BuildDir() + "\\descriptor-query-lookup.xml";
  ASSERT_TRUE(ts::WriteFileText(
      path,
      "<?xml version=\"1.0\"?>\r\n<build><nvx id=\"DIDIVE\"><xrelease><release id=\"RELEASE\">"
      "<title>Gr\xC3\xBCn</title><version></version>"
      "<device><gd nvxpath=\"g/dev\"/></device></release></xrelease>"
      "<g><dev method=\"LANGUAGE\" default=\"0009\"><item id=\"0407\"><data>Ger\xC3\xA4t</data>"
      "</item><item id=\"0009\"><data>device</data></item></dev></g></nvx></build>\r\n"));
  const std::string file = "\"" + path + "\"";
  struct Case {
    std::string args;
    DWORD exitCode;
    const char* out;
  } cases[] = {
      {file + " RELEASE NAME", 0, "Gr\xFCn\n"},
      {file + " RELEASE DEVICE --lang 407", 0, "Ger\xE4t\n"},
      {file + " RELEASE DEVICE --lang 0809", 0, "device\n"},
      {file + " RELEASE VERSION", 1, ""},
      {"\"" + ts::BuildDir() + "\\no-such-descriptor.xml\" RELEASE NAME", 2, nullptr},
      {file + " RELEASE", 64, nullptr},
      {file + " RELEASE NAME --lang", 64, nullptr},
  };
  for (const Case& c : cases) {
    ToolRun run = RunLookup(c.args);
    EXPECT_EQ(c.exitCode, run.exitCode) << c.args;
    if (c.out != nullptr) EXPECT_EQ(c.out, run.out) << c.args;
  }
  DeleteFileA(path.c_str());
}

}  // namespace
