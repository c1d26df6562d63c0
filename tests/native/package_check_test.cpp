// package-check on the sample packages and on packages with one mistake
// each: the mistake is named, nothing else is reported, the exit code fits.
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct BrokenPackage {
  const char* name;
  const char* descriptor;  // "VOD.xml" or "DidIve.nvx"
  const char* file;        // the file changed, or null for the sample itself
  const char* from;        // text replaced; null: the file is removed
  const char* to;
  const char* finding;     // start of the one finding line, or null for none
  int exitCode;
};

const std::string kLong(250, 'x');
const std::string kLongDir = "DIR=" + kLong;

const BrokenPackage kPackages[] = {
    {"SampleXml", "VOD.xml", nullptr, nullptr, nullptr, nullptr, 0},
    {"SampleIni", "DidIve.nvx", nullptr, nullptr, nullptr, nullptr, 0},
    {"MissingProgramFile", "VOD.xml", "nvxliba.dll", nullptr, nullptr,
     "finding missing-file: nvxliba.dll:", 1},
    {"MissingDescriptor", "VOD.xml", "VOD.xml", nullptr, nullptr, "finding descriptor: VOD.xml: missing", 1},
    {"UnparsableDescriptor", "VOD.xml", "VOD.xml", "</title>", "</titel>",
     "finding descriptor: VOD.xml: does not parse: the node at line 6, column 9", 1},
    {"EmptyGroup", "VOD.xml", "NvxSetup.dat", "GROUP=%GROUP%", "GROUP=",
     "finding empty: NvxSetup.dat INIT/GROUP:", 1},
    {"EmptyIniVersion", "DidIve.nvx", "DidIve.nvx", "VERSION=3.10.0000", "VERSION=",
     "finding empty: DidIve.nvx RELEASE/VERSION:", 1},
    {"UnresolvedTarget", "VOD.xml", "NvxSetup.dat", "TARGET=%DIR%", "TARGET=%FOLDER%",
     "finding unresolved: NvxSetup.dat INIT/TARGET: %FOLDER%", 1},
    {"RelativeTarget", "VOD.xml", "NvxSetup.dat", "DIR=Varnex\\", "DIR=..\\",
     "finding target: NvxSetup.dat INIT/TARGET: \"C:\\Program Files\\..\\", 1},
    // In code page 932 "\x95\x5C" is one character ("表"), and "表.." a name, no step up.
    {"DoubleByteTarget", "VOD.xml", "NvxSetup.dat", "[STRINGS.0407]",
     "[STRINGS.0411]\nDIR=Varnex\\\x95\x5C..\\Tool\n\n[STRINGS.0407]", nullptr, 0},
    {"SemicolonTarget", "VOD.xml", "NvxSetup.dat", "DIR=Varnex\\", "DIR=Varnex;",
     "finding target: NvxSetup.dat INIT/TARGET: \"C:\\Program Files\\Varnex;", 1},
    {"LongTarget", "VOD.xml", "NvxSetup.dat", "DIR=Varnex\\Ravozeve Vuzizirer", kLongDir.c_str(),
     "finding target: NvxSetup.dat INIT/TARGET: 259 bytes", 1},
    {"GdSelf", "VOD.xml", "VOD.xml", "<device>PC</device>",
     "<device><gd path=\"/build/nvx[@id=DIDIVE]/xrelease/release[@id=RELEASE]/device\"/></device>",
     "finding gd-self: VOD.xml /build/nvx[@id=DIDIVE]/xrelease/release[@id=RELEASE]/device:", 1},
    {"EmptyImageEntry", "VOD.xml", "NvxSetup.dat", "IMAGEPATH=C:\\NvxImages;", "IMAGEPATH=;",
     "finding list-entry: NvxSetup.dat INIT/IMAGEPATH: entry 1 \"\" is empty", 1},
    {"RelativeDownloadEntry", "VOD.xml", "NvxSetup.dat", ";\\DRIVERS\\Download", ";Download",
     "finding list-entry: NvxSetup.dat INIT/DOWNLOAD: entry 2 \"Download\" is relative", 1},
    {"LowerCaseSection", "VOD.xml", "NvxSetup.dat", "[STRINGS.0407]", "[STRINGS.04a7]",
     "finding section-name: NvxSetup.dat [STRINGS.04a7]:", 1},
    {"TitleOutsideCodePage", "VOD.xml", "VOD.xml", "<title>Ravozeve", "<title>\xD0\x96",
     "finding code-page: VOD.xml RELEASE/NAME: does not convert into code page 1252", 1},
    {"NoSettingsFile", "VOD.xml", "NvxSetup.dat", nullptr, nullptr, nullptr, 2},
};

std::string ReadText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteText(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// The sample package of the build, with a line of text for each program file
// that is not a text of the package.
fs::path AssemblePackage(const BrokenPackage& row) {
  const fs::path folder = fs::path(SETUP_BUILD_DIR) / "package-check-test" / row.name;
  fs::remove_all(folder);
  fs::create_directories(folder);
  for (const char* text : {"NvxSetup.dat", row.descriptor}) {
    fs::copy_file(fs::path(SETUP_SOURCE_DIR) / "samples" / text, folder / text);
  }
  for (const char* name : {"setup.exe", "DidIve", "unicows.dll", "NvxSetup.dll", "NVXSYSID.sys",
                           "NVXSYSID.vxd", "nvxliba.dll", "nvxlibb.dll", "NVXNTDEV.sys",
                           "NvxFlash.dll"}) {
    WriteText(folder / name, "stand-in\n");
  }
  return folder;
}

class PackageCheck : public ::testing::TestWithParam<BrokenPackage> {};

TEST_P(PackageCheck, NamesTheMistakeAlone) {
  const BrokenPackage& row = GetParam();
  const fs::path folder = AssemblePackage(row);
  if (row.file != nullptr && row.from == nullptr) {
    fs::remove(folder / row.file);
  } else if (row.file != nullptr) {
    std::string text = ReadText(folder / row.file);
    const size_t at = text.find(row.from);
    ASSERT_NE(at, std::string::npos) << row.from;
    WriteText(folder / row.file, text.replace(at, strlen(row.from), row.to));
  }

  const std::string command = std::string(SETUP_BUILD_DIR) + "/package-check '" + folder.string() + "'";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::vector<std::string> findings;
  char line[1024];
  while (fgets(line, sizeof(line), pipe) != nullptr) {
    if (strncmp(line, "finding ", 8) == 0) findings.push_back(line);
  }
  const int status = pclose(pipe);

  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), row.exitCode);
  ASSERT_EQ(findings.size(), row.finding != nullptr ? 1u : 0u) << testing::PrintToString(findings);
  if (row.finding != nullptr) EXPECT_EQ(findings[0].rfind(row.finding, 0), 0u) << findings[0];
}

INSTANTIATE_TEST_SUITE_P(Packages, PackageCheck, ::testing::ValuesIn(kPackages),
                         [](const testing::TestParamInfo<BrokenPackage>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
