#include <gtest/gtest.h>
#include <windows.h>

#include <string.h>

#include <string>
#include <vector>

#include "common/folders.h"
#include "common/run_records.h"
#include "driver/setup_sequence.h"
#include "package/setup_package.h"
#include "support/support.h"
#include "xml/xml.h"

namespace {

// A package folder of its own in the temporary folder, removed afterwards.
class PackageFolder {
 public:
  PackageFolder() {
    static int counter = 0;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    path_ = std::string(temp) + "pkgload_" + std::to_string(GetCurrentProcessId()) + "_" +
            std::to_string(++counter);
    ts::DeleteTree(path_);
    CreateDirectoryA(path_.c_str(), nullptr);
  }
  ~PackageFolder() { ts::DeleteTree(path_); }
  const std::string& path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "\\" + name; }
  void Write(const std::string& name, const std::string& text) const {
    ASSERT_TRUE(ts::WriteFileText(File(name), text)) << name;
  }

 private:
  std::string path_;
};

const char kSettings[] = "[INIT]\r\nTARGET=Ravozeve\r\nGROUP=Ravozeve\r\n";
const char kIniDescriptor[] = "[NVX]\r\nXRELEASE=3.10\r\n[RELEASE]\r\nNAME=Ravozeve\r\n";

void ResetPackage() {
  ReleaseSetupPackage();
  ZeroMemory(&g_setupPackage, sizeof(g_setupPackage));
}

class PackageLoading : public ::testing::Test {
 protected:
  void SetUp() override { ResetPackage(); }
  void TearDown() override { ResetPackage(); }
};

TEST_F(PackageLoading, FolderWithoutACountingDescriptorFails) {
  struct Case {
    const char* name;
    bool settings;
    const char* nvx;  // null: no "DidIve.nvx"
    const char* vod;  // null: no "VOD.xml"
  } cases[] = {
      {"nothing at all", false, nullptr, nullptr},
      {"settings file only", true, nullptr, nullptr},
      {"INI descriptor without settings file", false, kIniDescriptor, nullptr},
      {"XRELEASE missing, no VOD.xml", true, "[NVX]\r\nOTHER=1\r\n", nullptr},
      {"XRELEASE empty, no VOD.xml", true, "[NVX]\r\nXRELEASE=\r\n", nullptr},
      {"XRELEASE in another section", true, "[RELEASE]\r\nXRELEASE=1\r\n", nullptr},
      {"empty VOD.xml", true, nullptr, ""},
      {"VOD.xml without declaration", true, nullptr, "<build><nvx id=\"DIDIVE\"/></build>\r\n"},
      {"VOD.xml with \"<?xml\" but no blank", true, nullptr, "<?xml?><build></build>"},
      {"broken VOD.xml", true, nullptr, "<?xml version=\"1.0\"?>\r\n<build><nvx></build>\r\n"},
  };
  for (const Case& c : cases) {
    PackageFolder folder;
    if (c.settings) folder.Write("NvxSetup.dat", kSettings);
    if (c.nvx != nullptr) folder.Write("DidIve.nvx", c.nvx);
    if (c.vod != nullptr) folder.Write("VOD.xml", c.vod);
    EXPECT_EQ(0, LoadPackageFolder(folder.path().c_str())) << c.name;
    EXPECT_EQ(nullptr, g_setupPackage.descriptor) << c.name;
    EXPECT_EQ(0, g_setupPackage.isXmlDescriptor) << c.name;
    // Nothing is created in the package folder, and nothing stays open.
    EXPECT_EQ(c.vod != nullptr, ts::FileExists(folder.File("VOD.xml"))) << c.name;
    if (c.vod != nullptr) {
      EXPECT_TRUE(DeleteFileA(folder.File("VOD.xml").c_str())) << "still open: " << c.name;
    }
  }
}

TEST_F(PackageLoading, CountingIniDescriptorWinsAndVodXmlIsNeverRead) {
  PackageFolder folder;
  folder.Write("NvxSetup.dat", kSettings);
  folder.Write("DidIve.nvx", kIniDescriptor);
  folder.Write("VOD.xml", "not even xml");
  // Held open without sharing: any attempt to read it would fail the load.
  HANDLE held = CreateFileA(folder.File("VOD.xml").c_str(), GENERIC_READ, 0, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  EXPECT_EQ(1, LoadPackageFolder(folder.path().c_str()));
  CloseHandle(held);
  EXPECT_EQ(0, g_setupPackage.isXmlDescriptor);
  EXPECT_EQ(nullptr, g_setupPackage.descriptor);
  EXPECT_EQ(0, lstrcmpiA(folder.File("NvxSetup.dat").c_str(), g_setupPackage.settingsPath));
  EXPECT_EQ(0, lstrcmpiA(folder.File("DidIve.nvx").c_str(), g_setupPackage.descriptorPath));
}

// A descriptor of exactly length bytes whose last bytes are its end tag, so
// that it parses only when every byte was read.
std::string DescriptorOfLength(size_t length) {
  const std::string head =
      "<?xml version=\"1.0\"?>\r\n<build><nvx id=\"DIDIVE\"><xrelease><release id=\"RELEASE\">"
      "<title>Ravozeve Vuzizirer</title><version>3.10.0000</version></release></xrelease></nvx>";
  const std::string tail = "</build>";
  return head + std::string(length - head.size() - tail.size(), ' ') + tail;
}

const char kTitlePath[] = "/build/nvx[@id=DIDIVE]/xrelease/release[@id=RELEASE]/title";

TEST_F(PackageLoading, XmlDescriptorIsParsedWhenNoIniDescriptorCounts) {
  struct Case {
    const char* name;
    const char* nvx;  // null: no "DidIve.nvx"
    size_t length;    // of VOD.xml
  } cases[] = {
      {"VOD.xml alone", nullptr, 400},
      {"DidIve.nvx without XRELEASE", "[NVX]\r\n[RELEASE]\r\nNAME=Ini Name\r\n", 400},
      {"DidIve.nvx with empty XRELEASE", "[NVX]\r\nXRELEASE=\r\n", 400},
      {"VOD.xml of exactly one chunk", nullptr, 260},
      {"VOD.xml one byte over a chunk", nullptr, 261},
      {"VOD.xml of several chunks", nullptr, 5000},
  };
  for (const Case& c : cases) {
    ResetPackage();
    PackageFolder folder;
    folder.Write("NvxSetup.dat", kSettings);
    if (c.nvx != nullptr) folder.Write("DidIve.nvx", c.nvx);
    std::string text = DescriptorOfLength(c.length);
    ASSERT_EQ(c.length, text.size());
    folder.Write("VOD.xml", text);
    EXPECT_EQ(1, LoadPackageFolder(folder.path().c_str())) << c.name;
    EXPECT_EQ(1, g_setupPackage.isXmlDescriptor) << c.name;
    ASSERT_NE(nullptr, g_setupPackage.descriptor) << c.name;
    EXPECT_EQ(0, lstrcmpiA(folder.File("VOD.xml").c_str(), g_setupPackage.descriptorPath));
    EXPECT_EQ(0, lstrcmpiA(folder.File("NvxSetup.dat").c_str(), g_setupPackage.settingsPath));
    XmlNode* title = nullptr;
    ASSERT_EQ(1, XmlSelectNode(kTitlePath, &title, g_setupPackage.descriptor)) << c.name;
    EXPECT_STREQ("Ravozeve Vuzizirer", title->text);
    // The file was closed again.
    EXPECT_TRUE(DeleteFileA(folder.File("VOD.xml").c_str())) << c.name;
    // Releasing the tree keeps the flag for the rest of the run.
    ReleaseSetupPackage();
    EXPECT_EQ(nullptr, g_setupPackage.descriptor);
    EXPECT_EQ(1, g_setupPackage.isXmlDescriptor);
  }
}

TEST_F(PackageLoading, ReadDescriptorFileParsesWhatItReads) {
  PackageFolder folder;
  struct Case {
    std::string text;
    bool parses;
  } cases[] = {
      {DescriptorOfLength(260), true},
      {DescriptorOfLength(260).substr(0, 259), false},  // end tag cut short
      {"\xEF\xBB\xBF" + DescriptorOfLength(300), true},
      {"", false},
      {"<build></build>", false},
  };
  for (const Case& c : cases) {
    folder.Write("VOD.xml", c.text);
    XmlDocument* document = ReadDescriptorFile(folder.File("VOD.xml").c_str());
    EXPECT_EQ(c.parses, document != nullptr) << c.text;
    if (document != nullptr) XmlReleaseDocument(document);
    EXPECT_TRUE(DeleteFileA(folder.File("VOD.xml").c_str())) << "left open: " << c.text;
  }
}

TEST_F(PackageLoading, VodXmlThatCannotBeOpenedFails) {
  PackageFolder folder;
  folder.Write("NvxSetup.dat", kSettings);
  folder.Write("VOD.xml", "<?xml version=\"1.0\"?>\r\n<build></build>\r\n");
  HANDLE held = CreateFileA(folder.File("VOD.xml").c_str(), GENERIC_READ, FILE_SHARE_READ,
                            nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(INVALID_HANDLE_VALUE, held);
  EXPECT_EQ(0, LoadPackageFolder(folder.path().c_str()));
  CloseHandle(held);
  EXPECT_EQ(nullptr, g_setupPackage.descriptor);
}

TEST_F(PackageLoading, DescriptorFileThatVanishedFails) {
  PackageFolder folder;
  EXPECT_EQ(nullptr, ReadDescriptorFile(folder.File("VOD.xml").c_str()));
}

// Serves a text in chunks of the given sizes (the last size repeats), as a
// file would, recording each request.
struct ChunkedSource {
  std::string text;
  std::vector<DWORD> chunks;
  size_t offset = 0;
  size_t reads = 0;
  int failAtRead = -1;  // this read (0-based) fails
  DWORD overReport = 0;  // added to the count of the first read
  std::vector<DWORD> requested;
};
ChunkedSource* g_source = nullptr;

BOOL ReadFromSource(HANDLE, void* buffer, DWORD size, DWORD* read) {
  ChunkedSource& s = *g_source;
  s.requested.push_back(size);
  size_t index = s.reads++;
  if (static_cast<int>(index) == s.failAtRead) return FALSE;
  DWORD chunk = s.chunks[index < s.chunks.size() ? index : s.chunks.size() - 1];
  size_t left = s.text.size() - s.offset;
  DWORD n = static_cast<DWORD>(left < chunk ? left : chunk);
  if (n > size) n = size;
  memcpy(buffer, s.text.data() + s.offset, n);
  s.offset += n;
  *read = n + (index == 0 ? s.overReport : 0);
  return TRUE;
}

std::string Pattern(size_t length) {
  std::string text;
  for (size_t i = 0; i < length; ++i) text += static_cast<char>('a' + i % 26);
  return text;
}

TEST(PackageDescriptorText, KeepsTheWholeTextAndAtLeast260ZeroBytesAfterIt) {
  struct Case {
    size_t length;
    std::vector<DWORD> chunks;
    size_t reads;  // including the final read of 0 bytes
  } cases[] = {
      {0, {260}, 1},      {1, {260}, 2},          {259, {260}, 2},
      {260, {260}, 2},    {261, {260}, 3},        {520, {260}, 3},
      {1000, {260}, 5},   {1000, {1}, 1001},      {700, {100, 259, 7, 260}, 6},
      {5000, {259}, 21},
  };
  for (const Case& c : cases) {
    ChunkedSource source;
    source.text = Pattern(c.length);
    source.chunks = c.chunks;
    g_source = &source;
    char* text = nullptr;
    DWORD length = 12345;
    ASSERT_EQ(1, ReadDescriptorText(nullptr, ReadFromSource, &text, &length)) << c.length;
    g_source = nullptr;
    ASSERT_NE(nullptr, text);
    EXPECT_EQ(c.length, length);
    EXPECT_EQ(source.text, std::string(text, length));
    EXPECT_EQ(c.reads, source.reads) << c.length;
    for (DWORD r : source.requested) EXPECT_EQ(260u, r);
    SIZE_T size = LocalSize(text);
    EXPECT_GE(size, length + 260) << c.length;
    size_t zeros = 0;
    for (SIZE_T i = length; i < size; ++i) zeros += text[i] == '\0';
    EXPECT_EQ(size - length, zeros) << "bytes after the data are not all zero, " << c.length;
    LocalFree(text);
  }
}

TEST(PackageDescriptorText, FailingOrOverreportingReadFailsWithNothingHeld) {
  struct Case {
    int failAtRead;
    DWORD overReport;
  } cases[] = {{0, 0}, {1, 0}, {3, 0}, {-1, 1}, {-1, 1000}};
  for (const Case& c : cases) {
    ChunkedSource source;
    source.text = Pattern(2000);
    source.chunks = {260};
    source.failAtRead = c.failAtRead;
    source.overReport = c.overReport;
    g_source = &source;
    char* text = reinterpret_cast<char*>(1);
    DWORD length = 99;
    EXPECT_EQ(0, ReadDescriptorText(nullptr, ReadFromSource, &text, &length))
        << c.failAtRead << " " << c.overReport;
    g_source = nullptr;
    EXPECT_EQ(nullptr, text);
    EXPECT_EQ(0u, length);
  }
}

// The same through ReadFile: a file of exactly one chunk takes two reads.
DWORD g_fileReads = 0;
BOOL CountingReadFile(HANDLE file, void* buffer, DWORD size, DWORD* read) {
  ++g_fileReads;
  return ReadFile(file, buffer, size, read, nullptr);
}

TEST(PackageDescriptorText, ReadsARealFileOfOneFullChunkInTwoReads) {
  PackageFolder folder;
  struct Case {
    size_t length;
    DWORD reads;
  } cases[] = {{0, 1}, {259, 2}, {260, 2}, {261, 3}, {4000, 17}};
  for (const Case& c : cases) {
    std::string content = Pattern(c.length);
    folder.Write("VOD.xml", content);
    HANDLE file = CreateFileA(folder.File("VOD.xml").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    g_fileReads = 0;
    char* text = nullptr;
    DWORD length = 0;
    EXPECT_EQ(1, ReadDescriptorText(file, CountingReadFile, &text, &length));
    CloseHandle(file);
    EXPECT_EQ(c.reads, g_fileReads) << c.length;
    ASSERT_EQ(c.length, length);
    EXPECT_EQ(content, std::string(text, length));
    EXPECT_EQ('\0', text[length]);
    LocalFree(text);
  }
}

TEST(PackageUnicodeLayer, LoadedOnWindows9xOnlyAndReleasedWithTheTree) {
  struct Case {
    DWORD platform;
    bool loads;
  } cases[] = {
      {VER_PLATFORM_WIN32_NT, false},
      {VER_PLATFORM_WIN32s, false},
      {VER_PLATFORM_WIN32_WINDOWS, true},
  };
  char folder[MAX_PATH];
  ASSERT_TRUE(ReadOwnFolder(folder));
  for (const Case& c : cases) {
    ResetPackage();
    ASSERT_EQ(nullptr, GetModuleHandleA("unicows.dll"));
    EXPECT_EQ(1, LoadUnicodeLayer(c.platform, folder)) << c.platform;
    EXPECT_EQ(c.loads, g_setupPackage.unicodeLayer != nullptr) << c.platform;
    EXPECT_EQ(c.loads, GetModuleHandleA("unicows.dll") != nullptr) << c.platform;
    g_setupPackage.isXmlDescriptor = 1;
    ReleaseSetupPackage();
    EXPECT_EQ(nullptr, g_setupPackage.unicodeLayer);
    EXPECT_EQ(nullptr, GetModuleHandleA("unicows.dll")) << "not freed, " << c.platform;
    EXPECT_EQ(1, g_setupPackage.isXmlDescriptor) << "the flag outlives the tree";
  }
  ResetPackage();
}

TEST(PackageSystemLanguage, RecordsTheIdAndItsPrimaryLanguage) {
  struct Case {
    LANGID id;
    uint16_t primary;
  } cases[] = {{0x0407, 0x0007}, {0x0C07, 0x0007}, {0x0809, 0x0009}, {0x0412, 0x0012},
               {0x0409, 0x0009}, {0xFFFF, 0x03FF}, {0x0000, 0x0000}};
  for (const Case& c : cases) {
    RecordSystemLanguage(c.id);
    EXPECT_EQ(c.id, g_systemProfile.systemLanguageId);
    EXPECT_EQ(c.primary, g_systemProfile.systemPrimaryLanguageId) << std::hex << c.id;
  }
}

TEST_F(PackageLoading, UninstallModeOnlyRecordsTheLanguage) {
  SetupContext context;
  InitSetupContext(&context);
  context.flags &= ~OptInstall;
  RecordSystemLanguage(0x1234);
  EXPECT_EQ(1, LoadSetupPackage(GetModuleHandleA(nullptr), "/U", &context));
  EXPECT_EQ(GetSystemDefaultLangID(), g_systemProfile.systemLanguageId);
  EXPECT_EQ(GetSystemDefaultLangID() & 0x3FF, g_systemProfile.systemPrimaryLanguageId);
  EXPECT_EQ(GetModuleHandleA(nullptr), g_setupPackage.instance);
  EXPECT_STREQ("", g_setupPackage.settingsPath);
  EXPECT_STREQ("", g_setupPackage.descriptorPath);
}

TEST_F(PackageLoading, InstallModeSearchesBesideTheProgramOnly) {
  // The test program's folder holds no package.
  char self[MAX_PATH];
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string folder(self, strrchr(self, '\\'));
  ASSERT_FALSE(ts::FileExists(folder + "\\NvxSetup.dat"));
  SetupContext context;
  InitSetupContext(&context);
  EXPECT_EQ(0, LoadSetupPackage(GetModuleHandleA(nullptr), "", &context));
  EXPECT_EQ(GetSystemDefaultLangID(), g_systemProfile.systemLanguageId);
}

}  // namespace
