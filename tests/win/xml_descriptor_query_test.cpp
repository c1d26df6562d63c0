// descriptor-query.exe under Wine: standard output in binary mode (no
// carriage returns), values converted through the system's own functions,
// and the exit codes through CreateProcess. The subcommands' rows are the
// native tests'.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "support/support.h"

namespace {

ts::ToolRun Query(const std::string& args) {
  return ts::RunConsoleTool(ts::BuildDir() + "\\descriptor-query.exe", args);
}

TEST(DescriptorQueryExe, BytesCodePageAndExitCodes) {
  const std::string path = ts::BuildDir() + "\\descriptor-query-test.xml";
  ASSERT_TRUE(ts::WriteFileText(
      path, "<?xml version=\"1.0\"?>\r\n<build><nvx id=\"DIDIVE\"><xrelease><release id=\"RELEASE\">"
            "<title>Gr\xC3\xBCn</title><version></version></release></xrelease></nvx></build>\r\n"));
  const std::string file = "\"" + path + "\"";
  const std::string sample = "\"" + ts::AssembledPackage(true) + "\\VOD.xml\"";
  struct Case {
    std::string args;
    DWORD exitCode;
    const char* out;  // null: not compared (a message on standard error)
  } cases[] = {
      {"select " + file + " /build/nvx/xrelease/release/title", 0,
       "0 \"title\" \"Gr\\xc3\\xbcn\"\n"},
      {"lookup " + file + " RELEASE NAME", 0, "Gr\xFCn\n"},
      {"lookup " + sample + " RELEASE SETUPFORM.SILENT", 0, "NONE\n"},
      {"lookup " + file + " RELEASE VERSION", 1, ""},
      {"lookup \"" + ts::BuildDir() + "\\no-such-descriptor.xml\" RELEASE NAME", 2, nullptr},
      {"lookup " + file + " RELEASE", 64, nullptr},
  };
  for (const Case& c : cases) {
    ts::ToolRun run = Query(c.args);
    EXPECT_EQ(c.exitCode, run.exitCode) << c.args;
    if (c.out != nullptr) EXPECT_EQ(c.out, run.out) << c.args;
  }
  DeleteFileA(path.c_str());
}

}  // namespace
