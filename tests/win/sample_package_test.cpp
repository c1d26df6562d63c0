// The assembled sample packages (target setup-package) beside this test
// program: each holds exactly the program file set of its kind, and its
// settings and descriptor carry what the setup reads.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "files_test_helpers.h"
#include "support/support.h"

using files_test::FilesIn;
using ts::ReadFileText;

namespace {

std::string Profile(const std::string& file, const char* section, const char* key) {
  char value[MAX_PATH] = {};
  GetPrivateProfileStringA(section, key, "", value, MAX_PATH, file.c_str());
  return value;
}

// Text of the first <element>...</element> in an XML text.
std::string ElementText(const std::string& xml, const std::string& element) {
  std::string open = "<" + element + ">";
  size_t start = xml.find(open);
  if (start == std::string::npos) return "";
  start += open.size();
  size_t end = xml.find("</" + element + ">", start);
  return end == std::string::npos ? "" : xml.substr(start, end - start);
}

bool IsVersionText(const std::string& text) {
  // "3.00.0000": digit, dot, two digits, dot, four digits.
  const char shape[] = "9.99.9999";
  if (text.size() != sizeof(shape) - 1) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    bool digit = text[i] >= '0' && text[i] <= '9';
    if (shape[i] == '9' ? !digit : text[i] != '.') return false;
  }
  return true;
}

struct Variant {
  const char* folder;
  const char* descriptor;
  const char* otherDescriptor;
};
const Variant kVariants[] = {
    {"package", "VOD.xml", "DidIve.nvx"},
    {"package-ini", "DidIve.nvx", "VOD.xml"},
};

TEST(SamplePackage, HoldsExactlyTheProgramFileSetOfItsKind) {
  for (const Variant& v : kVariants) {
    SCOPED_TRACE(v.folder);
    std::vector<std::string> expected = {"setup.exe",    "DidIve",       v.descriptor, "NvxSetup.dat",
                                         "NvxSetup.dll", "NVXSYSID.sys", "NVXSYSID.vxd", "nvxliba.dll",
                                         "nvxlibb.dll",  "unicows.dll",  "NVXNTDEV.sys", "NvxFlash.dll"};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FilesIn(ts::BuildDir() + "\\" + v.folder), expected);
  }
}

TEST(SamplePackage, CarriesTheBuiltPrograms) {
  const struct {
    const char* built;
    const char* packaged;
  } programs[] = {{"setup.exe", "setup.exe"}, {"DidIve.exe", "DidIve"}, {"unicows.dll", "unicows.dll"}};
  for (const Variant& v : kVariants) {
    for (const auto& p : programs) {
      SCOPED_TRACE(std::string(v.folder) + " " + p.packaged);
      std::string built = ReadFileText(ts::BuildDir() + "\\" + p.built);
      ASSERT_FALSE(built.empty());
      EXPECT_TRUE(built == ReadFileText(ts::BuildDir() + "\\" + v.folder + "\\" + p.packaged));
    }
  }
}

TEST(SamplePackage, SettingsHoldWhatTheSetupReads) {
  for (const Variant& v : kVariants) {
    SCOPED_TRACE(v.folder);
    std::string settings = ts::BuildDir() + "\\" + v.folder + "\\NvxSetup.dat";
    // TARGET and GROUP are references; the language-neutral section answers
    // them whatever the system's language.
    std::string target = Profile(settings, "INIT", "TARGET");
    std::string group = Profile(settings, "INIT", "GROUP");
    ASSERT_GE(target.size(), 3u);
    ASSERT_GE(group.size(), 3u);
    EXPECT_EQ(target.front(), '%');
    EXPECT_EQ(target.back(), '%');
    EXPECT_EQ(group.front(), '%');
    EXPECT_EQ(group.back(), '%');
    EXPECT_FALSE(Profile(settings, "STRINGS", target.substr(1, target.size() - 2).c_str()).empty());
    EXPECT_FALSE(Profile(settings, "STRINGS", group.substr(1, group.size() - 2).c_str()).empty());
    EXPECT_FALSE(Profile(settings, "STRINGS.0409", group.substr(1, group.size() - 2).c_str()).empty());

    EXPECT_FALSE(Profile(settings, "INIT", "IMAGEPATH").empty());
    std::string download = Profile(settings, "INIT", "DOWNLOAD");
    ASSERT_FALSE(download.empty());
    // Every entry lies below the root of the Windows drive.
    std::stringstream entries(download);
    for (std::string entry; std::getline(entries, entry, ';');) {
      EXPECT_EQ(entry.front(), '\\') << entry;
    }
    // Internet mode 1: FILE names something.
    std::string radar = Profile(settings, "RADAR", "FILE");
    ASSERT_FALSE(radar.empty());
    EXPECT_NE(radar.front(), '.');
  }
}

TEST(SamplePackage, BothDescriptorsNameTheSameRelease) {
  std::string folder = ts::BuildDir();
  std::string ini = folder + "\\package-ini\\DidIve.nvx";
  std::string xml = ReadFileText(folder + "\\package\\VOD.xml");

  EXPECT_FALSE(Profile(ini, "NVX", "XRELEASE").empty());
  std::string name = Profile(ini, "RELEASE", "NAME");
  std::string version = Profile(ini, "RELEASE", "VERSION");
  EXPECT_FALSE(name.empty());
  EXPECT_TRUE(IsVersionText(version)) << version;

  EXPECT_EQ(xml.rfind("<?xml ", 0), 0u);
  size_t package = xml.find("<nvx id=\"DIDIVE\">");
  size_t release = xml.find("<release id=\"RELEASE\">");
  ASSERT_NE(package, std::string::npos);
  ASSERT_NE(release, std::string::npos);
  EXPECT_LT(package, release);
  EXPECT_EQ(ElementText(xml.substr(release), "title"), name);
  EXPECT_EQ(ElementText(xml.substr(release), "version"), version);
}

}  // namespace
