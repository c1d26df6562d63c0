// descriptor-query.exe under Wine: the same bytes on standard output as the
// native build (no carriage returns) and the same exit codes.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/support.h"

namespace {

struct ToolRun {
  DWORD exitCode = ts::kTimedOut;
  std::string out;
};

ToolRun RunTool(const std::string& args) {
  ToolRun run;
  std::string outPath = ts::BuildDir() + "\\descriptor-query-test.out";
  SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
  HANDLE out = CreateFileA(outPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return run;
  std::string command = "\"" + ts::BuildDir() + "\\descriptor-query.exe\" " + args;
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = out;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION info = {};
  std::string line = command;
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

TEST(DescriptorQueryExe, DumpSelectResolve) {
  std::string file = ts::BuildDir() + "\\descriptor-query-test.xml";
  ASSERT_TRUE(ts::WriteFileText(
      file,
      "<?xml version=\"1.0\"?>\r\n<build>\r\n <os id=\"NT\">x\xC3\xA9\r\n</os>\r\n"
      " <lang method=\"LANGUAGE\" default=\"0409\"><item id=\"0407\"><data>de</data>"
      "</item><item id=\"0409\"><data>en</data></item></lang>\r\n</build>\r\n"));
  ToolRun dump = RunTool("dump \"" + file + "\"");
  EXPECT_EQ(dump.exitCode, 0u);
  EXPECT_EQ(dump.out,
            "0 \"?xml\" \"\" \"version\"=\"1.0\"\n"
            "0 \"build\" \"\"\n"
            "1 \"os\" \"x\\xc3\\xa9\\x0d\\x0a\" \"id\"=\"NT\"\n"
            "1 \"lang\" \"\" \"method\"=\"LANGUAGE\" \"default\"=\"0409\"\n"
            "2 \"item\" \"\" \"id\"=\"0407\"\n"
            "3 \"data\" \"de\"\n"
            "2 \"item\" \"\" \"id\"=\"0409\"\n"
            "3 \"data\" \"en\"\n");
  ToolRun select = RunTool("select \"" + file + "\" /build/os[@id=NT]");
  EXPECT_EQ(select.exitCode, 0u);
  EXPECT_EQ(select.out, "0 \"os\" \"x\\xc3\\xa9\\x0d\\x0a\" \"id\"=\"NT\"\n");
  EXPECT_EQ(RunTool("select \"" + file + "\" /build/os[@id=9X]").exitCode, 1u);
  ToolRun resolve = RunTool("resolve \"" + file + "\" /build/lang --lang 0407");
  EXPECT_EQ(resolve.exitCode, 0u);
  EXPECT_EQ(resolve.out, "/build/lang/item[@id=0407]/data\n");
  EXPECT_EQ(RunTool("resolve \"" + file + "\" /build/lang --lang zz").exitCode, 64u);
  ASSERT_TRUE(ts::WriteFileText(file, "<build/>"));
  ToolRun none = RunTool("dump \"" + file + "\"");
  EXPECT_EQ(none.exitCode, 2u);
  EXPECT_EQ(none.out, "");
  DeleteFileA(file.c_str());
}

}  // namespace
