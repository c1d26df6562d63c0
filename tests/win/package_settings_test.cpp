#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <string.h>

#include <string>

#include "common/text.h"
#include "package/settings.h"
#include "package/setup_package.h"
#include "support/support.h"
#include "xml/xml.h"

namespace {

// "NvxSetup.dat" and "DidIve.nvx" of a package in a temporary folder, with
// g_setupPackage pointing at them.
class PackageSettings : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = g_systemProfile;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "pkgsettings_" + std::to_string(GetCurrentProcessId());
    ts::DeleteTree(folder_);
    ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
    ZeroMemory(&g_setupPackage, sizeof(g_setupPackage));
    lstrcpynA(g_setupPackage.settingsPath, (folder_ + "\\NvxSetup.dat").c_str(), MAX_PATH);
    lstrcpynA(g_setupPackage.descriptorPath, (folder_ + "\\DidIve.nvx").c_str(), MAX_PATH);
  }
  void TearDown() override {
    ZeroMemory(&g_setupPackage, sizeof(g_setupPackage));
    g_systemProfile = saved_;
    ts::DeleteTree(folder_);
  }
  void WriteSettings(const std::string& text) {
    ASSERT_TRUE(ts::WriteFileText(g_setupPackage.settingsPath, text));
  }
  void WriteDescriptor(const std::string& text) {
    ASSERT_TRUE(ts::WriteFileText(g_setupPackage.descriptorPath, text));
  }
  static void SetLanguage(LANGID id) { RecordSystemLanguage(id); }

  std::string folder_;
  SystemProfile saved_;
};

const char kLocalised[] =
    "[INIT]\r\n"
    "TARGET=%DIR%\r\n"
    "GROUP=%GROUPNAME%\r\n"
    "HALF=%DIR\r\n"
    "LONE=%\r\n"
    "NOWHERE=%NOSUCHNAME%\r\n"
    "IMAGEPATH=C:\\Images;D:\\More Images\r\n"
    "DOWNLOAD=\\Downloads;\\Drivers\r\n"
    "[STRINGS.0407]\r\n"
    "DIR=Ravozeve\\Deutschland\r\n"
    "[STRINGS.0007]\r\n"
    "DIR=Ravozeve\\Deutsch\r\n"
    "[STRINGS.0009]\r\n"
    "DIR=Ravozeve\\English\r\n"
    "[STRINGS.0412]\r\n"
    "DIR=Ravozeve\\Korea\r\n"
    "[STRINGS.0012]\r\n"
    "DIR=Ravozeve\\Korean\r\n"
    "[strings]\r\n"
    "DIR=Ravozeve\\Neutral\r\n"
    "GROUPNAME=Ravozeve Vuzizirer\r\n";

// The sections asked per language are the native tests'; here the system's
// profile reader and the language it reports.
TEST_F(PackageSettings, ReferencesResolveByTheSystemLanguage) {
  WriteSettings(kLocalised);
  struct Case {
    LANGID language;
    const char* key;
    int length;
    const char* text;
  } cases[] = {
      {0x0807, "TARGET", 16, "Ravozeve\\Deutsch"},   // Swiss German: primary section
      {0x0411, "TARGET", 16, "Ravozeve\\Neutral"},   // Japanese: neutral section
      {0x0407, "target", 20, "Ravozeve\\Deutschland"},
  };
  for (const Case& c : cases) {
    SetLanguage(c.language);
    char buffer[MAX_PATH];
    memset(buffer, 'Q', sizeof(buffer));
    EXPECT_EQ(c.length, GetSetting("init", c.key, "", buffer, MAX_PATH,
                                   g_setupPackage.settingsPath))
        << c.key << " " << std::hex << c.language;
    EXPECT_STREQ(c.text, buffer) << c.key << " " << std::hex << c.language;
  }
}

TEST_F(PackageSettings, MissingKeyAndUnresolvedReferenceDiffer) {
  WriteSettings(kLocalised);
  SetLanguage(0x0407);
  struct Case {
    const char* key;
    const char* after;  // the buffer afterwards
  } cases[] = {
      {"NOSUCHKEY", "caller's text"},  // untouched
      {"NOWHERE", ""},                 // the (empty) default written by the lookups
  };
  for (const Case& c : cases) {
    char buffer[MAX_PATH] = "caller's text";
    EXPECT_EQ(0, GetSetting("INIT", c.key, "", buffer, MAX_PATH, g_setupPackage.settingsPath))
        << c.key;
    EXPECT_STREQ(c.after, buffer) << c.key;
  }
  char buffer[MAX_PATH] = "caller's text";
  std::string missingFile = folder_ + "\\absent.dat";
  EXPECT_EQ(0, GetSetting("INIT", "TARGET", "", buffer, MAX_PATH, missingFile.c_str()));
  EXPECT_STREQ("caller's text", buffer);
}

TEST_F(PackageSettings, InternetModeFromRadarEntries) {
  struct Case {
    const char* radar;
    int mode;
  } cases[] = {
      {"", 0},
      {"[RADAR]\r\nFILE=radar.exe\r\n", 1},
      {"[RADAR]\r\nFILE=radar.exe\r\nALTFILE=alt.exe\r\n", 1},
      {"[RADAR]\r\nFILE=.radar.exe\r\nALTFILE=alt.exe\r\n", 2},
      {"[RADAR]\r\nALTFILE=alt.exe\r\n", 2},
      {"[RADAR]\r\nFILE=.\r\nALTFILE=.alt\r\n", 0},
      {"[RADAR]\r\nFILE=\r\nALTFILE=\r\n", 0},
      {"[RADAR]\r\nFILE=%RADAR%\r\n[STRINGS]\r\nRADAR=.hidden\r\n", 0},
      {"[RADAR]\r\nALTFILE=%RADAR%\r\n[STRINGS]\r\nRADAR=alt.exe\r\n", 2},
  };
  SetLanguage(0x0409);
  for (const Case& c : cases) {
    WriteSettings(std::string("[INIT]\r\nTARGET=x\r\n") + c.radar);
    EXPECT_EQ(c.mode, ReadInternetMode()) << c.radar;
  }
}

TEST_F(PackageSettings, ReleaseInfoFromTheIniDescriptor) {
  struct Case {
    const char* descriptor;
    int result;
    const char* name;
    const char* version;
  } cases[] = {
      {"[NVX]\r\nXRELEASE=1\r\n[RELEASE]\r\nNAME=Ravozeve Vuzizirer\r\nVERSION=3.10.0000\r\n", 1,
       "Ravozeve Vuzizirer", "3.10.0000"},
      {"[RELEASE]\r\nNAME=%PRODUCT%\r\nVERSION=3.10.0000\r\n[STRINGS.0007]\r\nPRODUCT=Deutsch\r\n",
       1, "Deutsch", "3.10.0000"},
      {"[RELEASE]\r\nNAME=Ravozeve\r\n", 0, "Ravozeve", ""},
      {"[RELEASE]\r\nVERSION=3.10.0000\r\n", 0, "", ""},
      {"[RELEASE]\r\nNAME=\r\nVERSION=3.10.0000\r\n", 0, "", ""},
  };
  SetLanguage(0x0407);
  for (const Case& c : cases) {
    WriteDescriptor(c.descriptor);
    char name[MAX_PATH] = "";
    char version[MAX_PATH] = "";
    EXPECT_EQ(c.result, ReadReleaseInfo(name, version)) << c.descriptor;
    EXPECT_STREQ(c.name, name) << c.descriptor;
    EXPECT_STREQ(c.version, version) << c.descriptor;
  }
}

TEST_F(PackageSettings, ReleaseInfoFromTheXmlDescriptorWins) {
  // A DidIve.nvx that does not count may lie beside VOD.xml; it is never read.
  WriteDescriptor("[NVX]\r\n[RELEASE]\r\nNAME=From the INI file\r\nVERSION=1.00.0000\r\n");
  struct Case {
    const char* release;  // the elements of release RELEASE
    LANGID language;
    int result;
    const char* name;
    const char* version;
  } cases[] = {
      {"<title>Ravozeve Vuzizirer</title><version>3.10.0000</version>", 0x0409, 1,
       "Ravozeve Vuzizirer", "3.10.0000"},
      {"<title><gd nvxpath=\"names/product\"/></title><version>3.10.0000</version>", 0x0407, 1,
       "Ravozeve Deutsch", "3.10.0000"},
      {"<title><gd nvxpath=\"names/product\"/></title><version>3.10.0000</version>", 0x0809, 1,
       "Ravozeve English", "3.10.0000"},
      {"<title><![CDATA[Ravozeve <CDATA>]]></title><version>3.10.0000</version>", 0x0409, 1,
       "Ravozeve <CDATA>", "3.10.0000"},
      {"<title>Gr\xC3\xBCn</title><version>3.10.0000</version>", 0x0409, 1, "Gr\xFCn",
       "3.10.0000"},
      {"<title>Ravozeve Vuzizirer</title><version></version>", 0x0409, 0, "Ravozeve Vuzizirer",
       "before"},
      {"<title></title><version>3.10.0000</version>", 0x0409, 0, "before", "before"},
      {"<version>3.10.0000</version>", 0x0409, 0, "before", "before"},
      {"<name>Ravozeve</name><version>3.10.0000</version>", 0x0409, 0, "before", "before"},
  };
  for (const Case& c : cases) {
    std::string text = std::string(
                           "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<build><nvx id=\"DIDIVE\">"
                           "<xrelease><release id=\"RELEASE\">") +
                       c.release +
                       "</release></xrelease><names><product method=\"LANGUAGE\" "
                       "default=\"0009\"><item id=\"0007\"><data>Ravozeve Deutsch</data></item>"
                       "<item id=\"0009\"><data>Ravozeve English</data></item></product></names>"
                       "</nvx></build>\r\n";
    XmlDocument* document = XmlParseDocument(text.c_str(), static_cast<int32_t>(text.size()));
    ASSERT_NE(nullptr, document) << c.release;
    g_setupPackage.descriptor = document;
    SetLanguage(c.language);
    char name[MAX_PATH] = "before";
    char version[MAX_PATH] = "before";
    EXPECT_EQ(c.result, ReadReleaseInfo(name, version)) << c.release;
    EXPECT_STREQ(c.name, name) << c.release;
    EXPECT_STREQ(c.version, version) << c.release;
    g_setupPackage.descriptor = nullptr;
    XmlReleaseDocument(document);
  }
}

TEST_F(PackageSettings, DefaultTargetBehindTheProgramFilesFolder) {
  WriteSettings(kLocalised);
  SetLanguage(0x0407);
  char target[MAX_PATH];
  EXPECT_EQ(20, ReadDefaultTarget("C:\\Program Files", target, MAX_PATH));
  EXPECT_STREQ("C:\\Program Files\\Ravozeve\\Deutschland", target);

  WriteSettings("[INIT]\r\nGROUP=x\r\n");
  EXPECT_EQ(0, ReadDefaultTarget("C:\\Program Files", target, MAX_PATH));
  EXPECT_STREQ("C:\\Program Files\\", target);
}

TEST_F(PackageSettings, DefaultTargetGetsOnlyTheRoomLeft) {
  WriteSettings("[INIT]\r\nTARGET=Ravozeve\r\n");
  SetLanguage(0x0409);
  struct Case {
    size_t prefix;  // length of the Program Files folder
    int length;     // of the TARGET part
  } cases[] = {{249, 8}, {250, 8}, {251, 7}, {257, 1}, {258, 0}, {259, 0}};
  for (const Case& c : cases) {
    std::string programFiles(c.prefix, 'p');
    char target[MAX_PATH + 16];
    memset(target, 'Z', sizeof(target));
    int length = ReadDefaultTarget(programFiles.c_str(), target, MAX_PATH);
    EXPECT_EQ(c.length, length) << c.prefix;
    EXPECT_LT(strlen(target), static_cast<size_t>(MAX_PATH)) << c.prefix;
    if (c.prefix < MAX_PATH - 1) {
      EXPECT_EQ(programFiles + "\\" + std::string("Ravozeve").substr(0, c.length),
                std::string(target))
          << c.prefix;
    }
    for (size_t i = MAX_PATH; i < sizeof(target); ++i) ASSERT_EQ('Z', target[i]) << c.prefix;
  }
}

TEST_F(PackageSettings, ListsAreReadAsOneString) {
  WriteSettings(kLocalised);
  char list[MAX_PATH] = "";
  EXPECT_EQ(24, ReadImagePaths(list, MAX_PATH));
  EXPECT_STREQ("C:\\Images;D:\\More Images", list);
  EXPECT_EQ(19, ReadDownloadFolders(list, MAX_PATH));
  EXPECT_STREQ("\\Downloads;\\Drivers", list);
  WriteSettings("[INIT]\r\nTARGET=x\r\n");
  ASSERT_EQ(1, TextCopy(list, sizeof(list), "kept"));
  EXPECT_EQ(0, ReadImagePaths(list, MAX_PATH));
  EXPECT_EQ(0, ReadDownloadFolders(list, MAX_PATH));
  EXPECT_STREQ("kept", list);
}

TEST_F(PackageSettings, ProgramGroupOnNtUsesTheCommonFolders) {
  const std::string programs = ts::SpecialFolder(CSIDL_COMMON_PROGRAMS);
  const std::string startMenu = ts::SpecialFolder(CSIDL_COMMON_STARTMENU);
  ASSERT_FALSE(programs.empty());
  ASSERT_FALSE(startMenu.empty());
  struct Case {
    const char* group;
    int result;
    std::string folder;
  } cases[] = {
      {"\\Tools", 1, startMenu + "\\Tools"},
      {"%GROUPNAME%", 1, programs + "\\Ravozeve Vuzizirer"},
      {nullptr, 0, ""},  // 250 characters: does not fit behind the folder
  };
  SetLanguage(0x0409);
  for (const Case& c : cases) {
    const std::string group = c.group != nullptr ? c.group : std::string(250, 'g');
    WriteSettings("[INIT]\r\nGROUP=" + group + "\r\n[STRINGS]\r\nGROUPNAME=Ravozeve Vuzizirer\r\n");
    char folder[MAX_PATH] = "stale";
    EXPECT_EQ(c.result, ReadProgramGroup(folder, MAX_PATH)) << group;
    EXPECT_EQ(c.folder, std::string(folder)) << group;
  }
}

}  // namespace
