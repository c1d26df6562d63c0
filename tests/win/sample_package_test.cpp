// The assembled sample packages (target setup-package) beside this test
// program: each holds exactly the program file set of its kind, and its
// settings and descriptor carry what the setup reads.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace {

std::string BuildFolder() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string text(path, n);
  return text.substr(0, text.find_last_of('\\'));
}

std::string ReadFileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::set<std::string> FilesIn(const std::string& folder) {
  std::set<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return names;
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.insert(found.cFileName);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return names;
}

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
    std::set<std::string> expected = {"setup.exe",    "DidIve",       v.descriptor, "NvxSetup.dat",
                                      "NvxSetup.dll", "NVXSYSID.sys", "NVXSYSID.vxd", "nvxliba.dll",
                                      "nvxlibb.dll",  "unicows.dll",  "NVXNTDEV.sys", "NvxFlash.dll"};
    EXPECT_EQ(FilesIn(BuildFolder() + "\\" + v.folder), expected);
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
      std::string built = ReadFileText(BuildFolder() + "\\" + p.built);
      ASSERT_FALSE(built.empty());
      EXPECT_TRUE(built == ReadFileText(BuildFolder() + "\\" + v.folder + "\\" + p.packaged));
    }
  }
}

TEST(SamplePackage, SettingsHoldWhatTheSetupReads) {
  for (const Variant& v : kVariants) {
    SCOPED_TRACE(v.folder);
    std::string settings = BuildFolder() + "\\" + v.folder + "\\NvxSetup.dat";
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
  std::string folder = BuildFolder();
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
