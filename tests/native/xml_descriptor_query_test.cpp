// descriptor-query: exact output and exit codes of each subcommand. The
// values lookup answers are the key map's tests; here what the tool adds.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct ToolRun {
  int exitCode;
  std::string out;
  std::string err;
};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

std::string Quote(const std::string& word) {
  std::string quoted = "'";
  for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

class DescriptorQuery : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::string(SETUP_BUILD_DIR) + "/test-descriptor-query-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    ASSERT_EQ(std::system(("mkdir -p " + Quote(dir_)).c_str()), 0);
  }
  std::string Write(const std::string& name, const std::string& bytes) {
    std::string path = dir_ + "/" + name;
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  ToolRun Query(const std::vector<std::string>& args) {
    std::string command = Quote(std::string(SETUP_BUILD_DIR) + "/descriptor-query");
    for (const std::string& a : args) command += " " + Quote(a);
    std::string out = dir_ + "/stdout", err = dir_ + "/stderr";
    command += " >" + Quote(out) + " 2>" + Quote(err);
    int status = std::system(command.c_str());
    ToolRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = ReadFile(out);
    run.err = ReadFile(err);
    return run;
  }
  std::string dir_;
};

const char kDescriptor[] =
    "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<!-- top -->\n"
    "<build>\n"
    "  <os id=\"9X\">x  </os>\n"
    "  <os id=\"NT\" note=\"a\\b &quot;q&quot;\">t\x01\x1F\x7F\xC3\xA9</os>\n"
    "  <cd><![CDATA[<raw>]]></cd>\n"
    "  <lang method=\"LANGUAGE\" default=\"0409\">\n"
    "    <item id=\"0407\"><data id=\"n\">Deutsch</data></item>\n"
    "    <item id=\"0009\"><data id=\"n\">English</data></item>\n"
    "  </lang>\n"
    "  <e/>\n"
    "</build>\n";

TEST_F(DescriptorQuery, DumpWritesEveryNode) {
  std::string file = Write("d.xml", kDescriptor);
  ToolRun run = Query({"dump", file});
  EXPECT_EQ(run.exitCode, 0);
  EXPECT_EQ(run.err, "");
  EXPECT_EQ(run.out,
            "0 \"?xml\" \"\" \"version\"=\"1.0\" \"encoding\"=\"UTF-8\"\n"
            "0 \"\" null\n"
            "0 \"build\" \"\"\n"
            "1 \"os\" \"x  \" \"id\"=\"9X\"\n"
            "1 \"os\" \"t\\x01\\x1f\\x7f\\xc3\\xa9\" \"id\"=\"NT\" \"note\"=\"a\\\\b \\\"q\\\"\"\n"
            "1 \"cd\" \"\"\n"
            "2 \"![CDATA\" \"<raw>\"\n"
            "1 \"lang\" \"\" \"method\"=\"LANGUAGE\" \"default\"=\"0409\"\n"
            "2 \"item\" \"\" \"id\"=\"0407\"\n"
            "3 \"data\" \"Deutsch\" \"id\"=\"n\"\n"
            "2 \"item\" \"\" \"id\"=\"0009\"\n"
            "3 \"data\" \"English\" \"id\"=\"n\"\n"
            "1 \"e\" \"\"\n");
}

TEST_F(DescriptorQuery, NoDocumentWritesNothing) {
  std::string file = Write("bad.xml", "<?xml ?><a><b></a>");
  const std::vector<std::string> runs[] = {
      {"dump", file}, {"select", file, "/a"}, {"resolve", file, "/a"}};
  for (const auto& args : runs) {
    ToolRun run = Query(args);
    EXPECT_EQ(run.exitCode, 2) << args[0];
    EXPECT_EQ(run.out, "") << args[0];
  }
  ToolRun missing = Query({"dump", dir_ + "/does-not-exist.xml"});
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_EQ(missing.out, "");
}

TEST_F(DescriptorQuery, Select) {
  std::string file = Write("s.xml", kDescriptor);
  struct Case {
    const char* path;
    int exitCode;
    const char* out;
  };
  const Case cases[] = {
      {"/build/os[@id=9X]", 0, "0 \"os\" \"x  \" \"id\"=\"9X\"\n"},
      {"/build/os[@id=nt]", 1, ""},
  };
  for (const Case& c : cases) {
    ToolRun run = Query({"select", file, c.path});
    EXPECT_EQ(run.exitCode, c.exitCode) << c.path;
    EXPECT_EQ(run.out, c.out) << c.path;
  }
  ToolRun tooLong = Query({"select", file, "/build/" + std::string(260, 'x')});
  EXPECT_EQ(tooLong.exitCode, 1);
}

TEST_F(DescriptorQuery, Resolve) {
  std::string file = Write("r.xml", kDescriptor);
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    const char* out;
  };
  const Case cases[] = {
      {{"/build/lang"}, 0, "/build/lang/item[@id=0009]/data\n"},
      {{"/build/lang", "n"}, 0, "/build/lang/item[@id=0009]/data[@id=n]\n"},
      {{"/build/lang", "n", "--lang", "0407"}, 0, "/build/lang/item[@id=0407]/data[@id=n]\n"},
      {{"/build/lang", "--lang", "0407", "n"}, 0, "/build/lang/item[@id=0407]/data[@id=n]\n"},
      {{"/build/lang", "--lang", "407"}, 0, "/build/lang/item[@id=0407]/data\n"},
      {{"/build/lang", "--lang", "0c09"}, 0, "/build/lang/item[@id=0009]/data\n"},
      {{"/build/nothing"}, 1, ""},
      {{"/build/" + std::string(300, 'x')}, 1, ""},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"resolve", file};
    args.insert(args.end(), c.args.begin(), c.args.end());
    std::string joined;
    for (const auto& a : c.args) joined += a + " ";
    ToolRun run = Query(args);
    EXPECT_EQ(run.exitCode, c.exitCode) << joined;
    EXPECT_EQ(run.out, c.out) << joined;
  }
}

const char kPackageDescriptor[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<build><nvx id=\"OTHER\"><xrelease><release id=\"RELEASE\"><title>Other</title></release>"
    "</xrelease></nvx>\n"
    "<nvx id=\"DIDIVE\"><xrelease><release id=\"RELEASE\"><title>Ravozeve</title>"
    "<smbiosflag id=\"SW135\">Gr\xC3\xBCn</smbiosflag>"
    "<dependency id=\"IE\"><gd nvxpath=\"groups/ie\">ver</gd></dependency></release></xrelease>"
    "<groups><ie method=\"LANGUAGE\" default=\"0009\">"
    "<item id=\"0407\"><data id=\"ver\">IE deutsch</data></item>"
    "<item id=\"0009\"><data id=\"ver\">IE english</data></item></ie></groups></nvx></build>\n";

TEST_F(DescriptorQuery, Lookup) {
  std::string file = Write("VOD.xml", kPackageDescriptor);
  struct Case {
    std::vector<std::string> args;  // after FILE
    int exitCode;
    const char* out;
  };
  const Case cases[] = {
      {{"RELEASE", "name"}, 0, "Ravozeve\n"},
      {{"RELEASE", "IE", "--lang", "0407"}, 0, "IE deutsch\n"},
      {{"--lang", "407", "RELEASE", "IE"}, 0, "IE deutsch\n"},
      {{"RELEASE", "NAME", "--package", "OTHER"}, 0, "Other\n"},
      // Converted from UTF-8 to the code page (windows-1252 here).
      {{"RELEASE", "SMBIOS.SW135"}, 0, "Gr\xFCn\n"},
      {{"RELEASE", "TITLE"}, 1, ""},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"lookup", file};
    args.insert(args.end(), c.args.begin(), c.args.end());
    ToolRun run = Query(args);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.args[1];
    EXPECT_EQ(run.out, c.out) << c.args[1];
  }
  EXPECT_EQ(Query({"lookup", dir_ + "/missing.xml", "RELEASE", "NAME"}).exitCode, 2);
}

TEST_F(DescriptorQuery, UsageErrors) {
  std::string file = Write("u.xml", kDescriptor);
  const std::vector<std::string> cases[] = {
      {},
      {"help"},
      {"dump"},
      {"dump", file, "extra"},
      {"select", file},
      {"select", file, "/a", "/b"},
      {"resolve", file},
      {"resolve", file, "/build/lang", "n", "extra"},
      {"resolve", file, "/build/lang", "--lang"},
      {"resolve", file, "/build/lang", "--lang", "xyz"},
      {"resolve", file, "/build/lang", "--lang", "12345"},
      {"resolve", file, "/build/lang", "--lang", ""},
      {"lookup", file, "RELEASE"},
      {"lookup", file, "RELEASE", "NAME", "EXTRA"},
      {"lookup", file, "RELEASE", "NAME", "--package"},
      {"lookup", file, "RELEASE", "NAME", "--lang", "12345"},
  };
  for (const auto& args : cases) {
    ToolRun run = Query(args);
    std::string joined;
    for (const auto& a : args) joined += a + " ";
    EXPECT_EQ(run.exitCode, 64) << joined;
    EXPECT_EQ(run.out, "") << joined;
    ASSERT_FALSE(run.err.empty()) << joined;
    EXPECT_EQ(run.err.find('\n'), run.err.size() - 1) << "one line: " << run.err;
    if (args.size() > 1 && args[0] == "lookup") {
      EXPECT_NE(run.err.find("lookup FILE RELEASE KEY"), std::string::npos) << run.err;
    }
  }
}

}  // namespace
