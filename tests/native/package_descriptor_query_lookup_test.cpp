// descriptor-query lookup: the setup's INI-style questions answered from a
// descriptor file, with their output bytes and exit codes.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

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

const char kDescriptor[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<build>\n"
    "  <nvx id=\"OTHER\"><xrelease><release id=\"RELEASE\"><title>Other</title></release>"
    "</xrelease></nvx>\n"
    "  <nvx id=\"DIDIVE\">\n"
    "    <xrelease>\n"
    "      <release id=\"RELEASE\">\n"
    "        <title>Ravozeve Vuzizirer</title>\n"
    "        <version>3.10.0000</version>\n"
    "        <device></device>\n"
    "        <setup form=\"GUI\">setup.exe</setup>\n"
    "        <os id=\"NT\" type=\"WORKSTATION\">4.00</os>\n"
    "        <uninstall><![CDATA[a & <b>]]></uninstall>\n"
    "        <dependency id=\"IE\"><gd nvxpath=\"groups/ie\">ver</gd></dependency>\n"
    "        <dependency id=\"DX\"><gd path=\"/build/nvx[@id=DIDIVE]/groups/ie\">ver</gd>"
    "<gd path=\"/build/nvx[@id=DIDIVE]/groups/ie\">ver</gd></dependency>\n"
    "        <smbiosflag id=\"SW135\">Gr\xC3\xBCn</smbiosflag>\n"
    "      </release>\n"
    "    </xrelease>\n"
    "    <groups>\n"
    "      <ie method=\"LANGUAGE\" default=\"0009\">"
    "<item id=\"0407\"><data id=\"ver\">IE deutsch</data></item>"
    "<item id=\"0009\"><data id=\"ver\">IE english</data></item></ie>\n"
    "    </groups>\n"
    "  </nvx>\n"
    "</build>\n";

class DescriptorQueryLookup : public ::testing::Test {
 protected:
  struct Run {
    int exitCode;
    std::string out;
    std::string err;
  };
  void SetUp() override {
    dir_ = std::string(SETUP_BUILD_DIR) + "/test-descriptor-query-lookup-" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    ASSERT_EQ(std::system(("mkdir -p " + Quote(dir_)).c_str()), 0);
    file_ = dir_ + "/VOD.xml";
    std::ofstream(file_, std::ios::binary) << kDescriptor;
  }
  void TearDown() override { std::system(("rm -rf " + Quote(dir_)).c_str()); }
  Run Query(const std::vector<std::string>& args) {
    std::string command = Quote(std::string(SETUP_BUILD_DIR) + "/descriptor-query") + " lookup";
    for (const std::string& a : args) command += " " + Quote(a);
    std::string out = dir_ + "/stdout", err = dir_ + "/stderr";
    command += " >" + Quote(out) + " 2>" + Quote(err);
    int status = std::system(command.c_str());
    Run run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = ReadFile(out);
    run.err = ReadFile(err);
    return run;
  }
  std::string dir_;
  std::string file_;
};

TEST_F(DescriptorQueryLookup, AnswersWithTheValueOnOneLine) {
  struct Case {
    std::vector<std::string> args;  // after FILE
    std::string out;
  } cases[] = {
      {{"RELEASE", "NAME"}, "Ravozeve Vuzizirer\n"},
      {{"RELEASE", "name"}, "Ravozeve Vuzizirer\n"},
      {{"RELEASE", "VERSION"}, "3.10.0000\n"},
      {{"RELEASE", "SETUPFORM"}, "GUI\n"},
      {{"RELEASE", "OSTYPE"}, "WORKSTATION\n"},
      {{"RELEASE", "NT"}, "4.00\n"},
      {{"RELEASE", "UNINSTALL"}, "a & <b>\n"},
      {{"RELEASE", "IE"}, "IE english\n"},
      {{"RELEASE", "IE", "--lang", "0407"}, "IE deutsch\n"},
      {{"RELEASE", "IE", "--lang", "c07"}, "IE english\n"},
      {{"--lang", "407", "RELEASE", "IE"}, "IE deutsch\n"},
      {{"RELEASE", "NAME", "--package", "OTHER"}, "Other\n"},
      {{"RELEASE", "NAME", "--package", "DIDIVE"}, "Ravozeve Vuzizirer\n"},
      // Converted from UTF-8 to the code page (windows-1252 here).
      {{"RELEASE", "SMBIOS.SW135"}, "Gr\xFCn\n"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {file_};
    args.insert(args.end(), c.args.begin(), c.args.end());
    Run run = Query(args);
    EXPECT_EQ(0, run.exitCode) << c.args[1];
    EXPECT_EQ(c.out, run.out) << c.args[1];
    EXPECT_EQ("", run.err) << c.args[1];
  }
}

TEST_F(DescriptorQueryLookup, NothingFoundIsExitCodeOne) {
  struct Case {
    std::vector<std::string> args;
  } cases[] = {
      {{"RELEASE", "TITLE"}},                      // an element name, not a key
      {{"RELEASE", "DEVICE"}},                     // empty element
      {{"RELEASE", "DX"}},                         // two children
      {{"OTHERRELEASE", "NAME"}},                  // no such release
      {{"RELEASE", "VERSION", "--package", "OTHER"}},
      {{"RELEASE", "NAME", "--package", "didive"}},
      {{std::string(300, 'R'), "NAME"}},           // the path would not fit
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {file_};
    args.insert(args.end(), c.args.begin(), c.args.end());
    Run run = Query(args);
    EXPECT_EQ(1, run.exitCode) << c.args[1];
    EXPECT_EQ("", run.out) << c.args[1];
  }
}

TEST_F(DescriptorQueryLookup, NoDocumentIsExitCodeTwo) {
  std::string broken = dir_ + "/broken.xml";
  std::ofstream(broken, std::ios::binary) << "<build><title>x</title></build>";
  for (const std::string& file : {broken, dir_ + "/missing.xml"}) {
    Run run = Query({file, "RELEASE", "NAME"});
    EXPECT_EQ(2, run.exitCode) << file;
    EXPECT_EQ("", run.out) << file;
  }
}

TEST_F(DescriptorQueryLookup, UsageErrorsAreExitCode64) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"FILE"},
      {"FILE", "RELEASE"},
      {"FILE", "RELEASE", "NAME", "EXTRA"},
      {"FILE", "RELEASE", "NAME", "--package"},
      {"FILE", "RELEASE", "NAME", "--lang"},
      {"FILE", "RELEASE", "NAME", "--lang", "12345"},
      {"FILE", "RELEASE", "NAME", "--lang", "xyz"},
      {"FILE", "RELEASE", "NAME", "--lang", ""},
  };
  for (std::vector<std::string> args : cases) {
    for (std::string& a : args) {
      if (a == "FILE") a = file_;
    }
    Run run = Query(args);
    EXPECT_EQ(64, run.exitCode) << args.size();
    EXPECT_EQ("", run.out);
    EXPECT_NE(std::string::npos, run.err.find("lookup FILE RELEASE KEY")) << run.err;
  }
}

}  // namespace
