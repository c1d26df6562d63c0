// The code-page layer under Wine: binding at run time from kernel32 on NT,
// failure without the Unicode layer on 9x, and the engine's own conversions
// measured against the system's.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "support/support.h"
#include "xml/codepage.h"
#include "xml/xml.h"

namespace {

class SavedBinding {
 public:
  SavedBinding() : saved_(g_codePageFunctions) {}
  ~SavedBinding() { g_codePageFunctions = saved_; }

 private:
  CodePageFunctions saved_;
};

TEST(XmlCodePage, ModuleByPlatform) {
  EXPECT_STREQ(SelectCodePageModule(VER_PLATFORM_WIN32_WINDOWS), "unicows.dll");
  EXPECT_STREQ(SelectCodePageModule(VER_PLATFORM_WIN32_NT), "kernel32.dll");
  EXPECT_STREQ(SelectCodePageModule(VER_PLATFORM_WIN32s), "kernel32.dll");
  EXPECT_STREQ(SelectCodePageModule(3), "kernel32.dll");
}

TEST(XmlCodePage, BindsKernel32OnNt) {
  SavedBinding saved;
  g_codePageFunctions = CodePageFunctions{nullptr, nullptr};
  ASSERT_EQ(BindCodePageFunctions(), 1);
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  EXPECT_EQ(reinterpret_cast<FARPROC>(g_codePageFunctions.multiByteToWideChar),
            GetProcAddress(kernel, "MultiByteToWideChar"));
  EXPECT_EQ(reinterpret_cast<FARPROC>(g_codePageFunctions.wideCharToMultiByte),
            GetProcAddress(kernel, "WideCharToMultiByte"));
}

TEST(XmlCodePage, NineXWithoutUnicodeLayerLeavesBothUnbound) {
  SavedBinding saved;
  ASSERT_EQ(GetModuleHandleA("unicows.dll"), nullptr);
  ASSERT_EQ(BindCodePageFunctions(), 1);
  // A failed binding stores both results, null ones too.
  EXPECT_EQ(BindCodePageFunctionsFor(VER_PLATFORM_WIN32_WINDOWS), 0);
  EXPECT_EQ(g_codePageFunctions.multiByteToWideChar, nullptr);
  EXPECT_EQ(g_codePageFunctions.wideCharToMultiByte, nullptr);
  // The next conversion tries the binding again (here on NT, successfully).
  char buffer[8] = "";
  uint32_t size = sizeof(buffer);
  EXPECT_EQ(XmlConvertValue("ok", buffer, &size), 1);
  EXPECT_STREQ(buffer, "ok");
  EXPECT_NE(g_codePageFunctions.multiByteToWideChar, nullptr);
}

// Runs twice: in the test process (NT) it starts itself again with Wine
// reporting Windows 98 and expects that run to pass; in that run (marked by
// an environment variable) it checks that no conversion can bind.
const char kNineXChild[] = "XML_CODEPAGE_NINE_X_CHILD";

TEST(XmlCodePage, NineXFailsEveryConversion) {
  OSVERSIONINFOA version = {};
  version.dwOSVersionInfoSize = sizeof(version);
  ASSERT_TRUE(GetVersionExA(&version));
  char marker[4] = "";
  if (GetEnvironmentVariableA(kNineXChild, marker, sizeof(marker)) > 0) {
    ASSERT_EQ(version.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_WINDOWS))
        << "version " << version.dwMajorVersion << "." << version.dwMinorVersion;
    SavedBinding saved;
    g_codePageFunctions = CodePageFunctions{nullptr, nullptr};
    ASSERT_EQ(GetModuleHandleA("unicows.dll"), nullptr);
    for (int attempt = 0; attempt < 3; ++attempt) {
      char buffer[8] = "keep";
      uint32_t size = sizeof(buffer);
      EXPECT_EQ(XmlConvertValue("abc", buffer, &size), 0);
      EXPECT_STREQ(buffer, "keep");
      EXPECT_EQ(size, sizeof(buffer));
      EXPECT_EQ(XmlConvertValue("abc", nullptr, &size), 0);
      EXPECT_EQ(size, sizeof(buffer));
    }
    EXPECT_EQ(BindCodePageFunctions(), 0);
    return;
  }
  char self[MAX_PATH];
  ASSERT_GT(GetModuleFileNameA(nullptr, self, sizeof(self)), 0u);
  std::string exe = self;
  std::string name = exe.substr(exe.find_last_of('\\') + 1);
  ts::SetWineVersion(name, "win98");
  SetEnvironmentVariableA(kNineXChild, "1");
  ts::Process child = ts::StartProcess(exe, "--gtest_filter=XmlCodePage.NineXFailsEveryConversion");
  SetEnvironmentVariableA(kNineXChild, nullptr);
  // The child reads the setting while it starts: keep it until the end.
  DWORD exitCode = ts::FinishProcess(&child, 60000);
  ts::SetWineVersion(name, "");
  EXPECT_EQ(exitCode, 0u);
}

TEST(XmlCodePage, ConvertsThroughTheSystemCodePage) {
  ASSERT_EQ(1252u, GetACP()) << "scripts/wine-ctest.sh runs the tests under en_US";
  SavedBinding saved;
  g_codePageFunctions = CodePageFunctions{nullptr, nullptr};
  struct Case {
    const char* utf8;
    const char* ansi;
  };
  const Case cases[] = {{"Ravozeve", "Ravozeve"},
                        {"", ""},
                        {"\xC3\xA9t\xC3\xA9", "\xE9t\xE9"},
                        {"\xE2\x82\xAC", "\x80"},
                        {"\xD0\x96", "?"}};
  for (const Case& c : cases) {
    char buffer[16];
    memset(buffer, 'Z', sizeof(buffer));
    uint32_t size = sizeof(buffer);
    ASSERT_EQ(XmlConvertValue(c.utf8, buffer, &size), 1) << c.utf8;
    EXPECT_STREQ(buffer, c.ansi);
    uint32_t needed = 0;
    ASSERT_EQ(XmlConvertValue(c.utf8, nullptr, &needed), 1);
    EXPECT_EQ(needed, strlen(c.ansi) + 1);
    char small[16] = "untouched";
    uint32_t tooSmall = needed - 1;
    if (tooSmall > 0) {
      EXPECT_EQ(XmlConvertValue(c.utf8, small, &tooSmall), 0);
      EXPECT_STREQ(small, "untouched");
    }
  }
}

// The engine's UTF-8 decoder gives what the system's gives, well-formed
// input or not. (Encoded surrogates and sequences above U+10FFFF are left
// out: Wine replaces them with fewer U+FFFD than one per maximal subpart,
// which the engine's decoder follows.)
TEST(XmlCodePage, OwnUtf8DecoderMatchesTheSystem) {
  const char* inputs[] = {"plain",
                          "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80",
                          "a\x80"
                          "b",
                          "\xFF\xFE",
                          "\xC0\xAF",
                          "x\xE2\x82",
                          "\xE2\x82x",
                          "\xF0\x9F\x98"};
  for (const char* input : inputs) {
    WCHAR system[32] = {};
    XmlWideChar own[32] = {};
    int n = MultiByteToWideChar(CP_UTF8, 0, input, -1, system, 32);
    int m = ConvertUtf8ToWide(XmlCodePageUtf8, 0, input, -1, own, 32);
    EXPECT_EQ(m, n) << input;
    EXPECT_EQ(std::wstring(own), std::wstring(system)) << input;
  }
}

TEST(XmlCodePage, OwnWindows1252EncoderMatchesTheSystem) {
  ASSERT_EQ(1252u, GetACP()) << "scripts/wine-ctest.sh runs the tests under en_US";
  std::vector<WCHAR> all;
  for (int byte = 1; byte < 256; ++byte) {
    char c = static_cast<char>(byte);
    WCHAR w = 0;
    ASSERT_EQ(MultiByteToWideChar(1252, 0, &c, 1, &w, 1), 1);
    all.push_back(w);
  }
  all.push_back(0x0416);  // lacking
  all.push_back(0);
  char system[300] = {};
  char own[300] = {};
  int n = WideCharToMultiByte(CP_ACP, 0, all.data(), -1, system, sizeof(system), nullptr, nullptr);
  int m = ConvertWideToWindows1252(XmlCodePageAnsi, 0, all.data(), -1, own, sizeof(own), nullptr,
                                   nullptr);
  EXPECT_EQ(m, n);
  EXPECT_EQ(std::string(own), std::string(system));
}

}  // namespace
