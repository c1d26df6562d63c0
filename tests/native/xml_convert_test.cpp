// Value conversion from UTF-8 to the ANSI code page, and the engine's own
// UTF-8 and windows-1252 conversions that stand in for the Win32 functions.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "native/xml_test_support.h"
#include "xml/codepage.h"

namespace {

// Installs the given functions for one test and restores the binding after.
class CodePageScope {
 public:
  CodePageScope(XmlMultiByteToWideCharProc toWide, XmlWideCharToMultiByteProc toAnsi)
      : saved_(g_codePageFunctions) {
    g_codePageFunctions.multiByteToWideChar = toWide;
    g_codePageFunctions.wideCharToMultiByte = toAnsi;
  }
  ~CodePageScope() { g_codePageFunctions = saved_; }

 private:
  CodePageFunctions saved_;
};

struct ConvertCase {
  const char* label;
  const char* utf8;
  std::string ansi;
};

// Converted through the engine's own functions, on every platform.
TEST(XmlConvertValue, Windows1252Table) {
  CodePageScope scope(ConvertUtf8ToWide, ConvertWideToWindows1252);
  const ConvertCase cases[] = {
      {"ascii", "Ravozeve Vuzizirer 1.2", "Ravozeve Vuzizirer 1.2"},
      {"empty", "", ""},
      {"latin1", "\xC3\xA9\xC3\xBC\xC3\x9F\xC2\xA0", "\xE9\xFC\xDF\xA0"},
      {"euro_and_quotes", "\xE2\x82\xAC \xE2\x80\x9Cq\xE2\x80\x9D", "\x80 \x93q\x94"},
      {"c1_control_kept_by_code_page", "\xC2\x81\xC2\x8D", "\x81\x8D"},
      {"c1_control_lacking", "\xC2\x80", "?"},
      {"outside_code_page", "\xC5\x80x\xD0\x96", "?x?"},
      {"supplementary_is_one_char",
       "a\xF0\x9F\x98\x80"
       "b",
       "a?b"},
      {"lone_continuation",
       "a\x80"
       "b",
       "a?b"},
      {"invalid_lead", "\xFF\xFE", "??"},
      {"overlong", "\xC0\xAF", "??"},
      {"truncated_sequence_at_end", "x\xE2\x82", "x?"},
      {"truncated_sequence_before_ascii", "\xE2\x82x", "?x"},
      {"encoded_surrogate", "\xED\xA0\x80", "???"},
      {"above_unicode", "\xF4\x90\x80\x80", "????"},
  };
  for (const ConvertCase& c : cases) {
    char buffer[64];
    memset(buffer, 'Z', sizeof(buffer));
    uint32_t size = sizeof(buffer);
    ASSERT_EQ(XmlConvertValue(c.utf8, buffer, &size), 1) << c.label;
    EXPECT_EQ(std::string(buffer), c.ansi) << c.label;
    EXPECT_EQ(size, sizeof(buffer)) << c.label;
    uint32_t needed = 0;
    ASSERT_EQ(XmlConvertValue(c.utf8, nullptr, &needed), 1) << c.label;
    EXPECT_EQ(needed, c.ansi.size() + 1) << c.label;
  }
}

TEST(XmlConvertValue, BufferSizes) {
  CodePageScope scope(ConvertUtf8ToWide, ConvertWideToWindows1252);
  struct Case {
    const char* utf8;
    uint32_t size;
    int result;
  };
  const Case cases[] = {
      {"", 1, 1},         {"abc", 4, 1},      {"abc", 3, 0},
      {"abc", 1, 0},      {"\xC3\xA9", 2, 1},  // two UTF-8 bytes, one ANSI byte and the terminator
      {"\xC3\xA9", 1, 0}, {"abc", 0, 0},      {"abc", 0xFFFFFFFFu, 1},
  };
  for (const Case& c : cases) {
    std::vector<char> buffer(c.size > 64 ? 64 : c.size + 1, 'Z');
    std::vector<char> before = buffer;
    uint32_t size = c.size;
    EXPECT_EQ(XmlConvertValue(c.utf8, buffer.data(), &size), c.result) << c.utf8 << " " << c.size;
    EXPECT_EQ(size, c.size);
    if (c.result == 0) EXPECT_EQ(buffer, before) << "buffer changed on failure";
  }
  uint32_t size = 77;
  EXPECT_EQ(XmlConvertValue(nullptr, nullptr, &size), 0);
  EXPECT_EQ(size, 77u);
  EXPECT_EQ(XmlConvertValue("x", nullptr, nullptr), 0);
}

int calls = 0;
int XML_CODEPAGE_API FailingToWide(unsigned int, unsigned long, const char*, int, XmlWideChar*,
                                   int) {
  ++calls;
  return 0;
}
int XML_CODEPAGE_API FailingToAnsi(unsigned int, unsigned long, const XmlWideChar*, int, char*, int,
                                   const char*, int*) {
  ++calls;
  return 0;
}
int XML_CODEPAGE_API CountingToAnsi(unsigned int codePage, unsigned long flags,
                                    const XmlWideChar* wide, int units, char* text, int bytes,
                                    const char* defaultChar, int* usedDefault) {
  ++calls;
  return ConvertWideToWindows1252(codePage == XmlCodePageAnsi ? XmlCodePageWindows1252 : 0, flags,
                                  wide, units, text, bytes, defaultChar, usedDefault);
}

TEST(XmlConvertValue, FailuresOfTheConversionFunctions) {
  char buffer[8] = "keep";
  uint32_t size = sizeof(buffer);
  {
    CodePageScope scope(FailingToWide, ConvertWideToWindows1252);
    calls = 0;
    EXPECT_EQ(XmlConvertValue("abc", buffer, &size), 0);
    EXPECT_EQ(calls, 1);
    EXPECT_STREQ(buffer, "keep");
    EXPECT_EQ(size, sizeof(buffer));
  }
  {
    CodePageScope scope(ConvertUtf8ToWide, FailingToAnsi);
    calls = 0;
    EXPECT_EQ(XmlConvertValue("abc", buffer, &size), 0);
    EXPECT_EQ(calls, 1);
    EXPECT_STREQ(buffer, "keep");
    uint32_t needed = 5;
    EXPECT_EQ(XmlConvertValue("abc", nullptr, &needed), 0);
  }
  {
    // Bound functions are used as they are: no new binding in between.
    CodePageScope scope(ConvertUtf8ToWide, CountingToAnsi);
    calls = 0;
    EXPECT_EQ(XmlConvertValue("abc", buffer, &size), 1);
    EXPECT_EQ(calls, 2);  // the byte count, then the conversion
    EXPECT_STREQ(buffer, "abc");
  }
}

TEST(XmlConvertValue, BindsWhenUnbound) {
  CodePageScope scope(nullptr, nullptr);
  char buffer[8] = "";
  uint32_t size = sizeof(buffer);
  ASSERT_EQ(XmlConvertValue("ok", buffer, &size), 1);
  EXPECT_STREQ(buffer, "ok");
  EXPECT_NE(g_codePageFunctions.multiByteToWideChar, nullptr);
  EXPECT_NE(g_codePageFunctions.wideCharToMultiByte, nullptr);
}

TEST(ConvertUtf8ToWide, CountsAndBuffers) {
  XmlWideChar wide[8];
  // -1 includes the terminator; an explicit count does not add one.
  EXPECT_EQ(ConvertUtf8ToWide(XmlCodePageUtf8, 0, "ab", -1, nullptr, 0), 3);
  EXPECT_EQ(ConvertUtf8ToWide(XmlCodePageUtf8, 0, "ab", 2, nullptr, 0), 2);
  EXPECT_EQ(ConvertUtf8ToWide(XmlCodePageUtf8, 0, "\xF0\x9F\x98\x80", -1, nullptr, 0), 3);
  ASSERT_EQ(ConvertUtf8ToWide(XmlCodePageUtf8, 0, "\xF0\x9F\x98\x80", -1, wide, 8), 3);
  EXPECT_EQ(wide[0], 0xD83D);
  EXPECT_EQ(wide[1], 0xDE00);
  EXPECT_EQ(wide[2], 0);
  EXPECT_EQ(ConvertUtf8ToWide(XmlCodePageUtf8, 0, "abc", -1, wide, 3), 0);  // too small
  EXPECT_EQ(ConvertUtf8ToWide(1252, 0, "abc", -1, wide, 8), 0);
  EXPECT_EQ(ConvertUtf8ToWide(XmlCodePageUtf8, 0, "abc", 0, wide, 8), 0);
  EXPECT_EQ(ConvertUtf8ToWide(XmlCodePageUtf8, 0, nullptr, -1, wide, 8), 0);
}

// The code page's own characters are checked against the system's under
// Wine (tests/win/xml_codepage_test.cpp); here what it lacks.
TEST(ConvertWideToWindows1252, LackingCharactersAndBuffers) {
  XmlWideChar lacking[] = {0x0100, 0x0080, 0xD800, 0xDC00, 0};
  char out[8];
  int usedDefault = 0;
  EXPECT_EQ(ConvertWideToWindows1252(XmlCodePageAnsi, 0, lacking, -1, nullptr, 0, nullptr, nullptr),
            4);
  ASSERT_EQ(
      ConvertWideToWindows1252(XmlCodePageAnsi, 0, lacking, -1, out, 8, nullptr, &usedDefault), 4);
  EXPECT_STREQ(out, "???");  // the pair is one character
  EXPECT_EQ(usedDefault, 1);
  EXPECT_EQ(ConvertWideToWindows1252(XmlCodePageAnsi, 0, lacking, -1, out, 3, nullptr, nullptr), 0);
  EXPECT_EQ(ConvertWideToWindows1252(XmlCodePageUtf8, 0, lacking, -1, out, 8, nullptr, nullptr), 0);
}

}  // namespace
