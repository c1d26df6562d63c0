#include <gtest/gtest.h>

#include "driver/options.h"

namespace {

struct OptionCase {
  const char* commandLine;
  uint32_t expected;
};

class OptionWord : public testing::TestWithParam<OptionCase> {};

TEST_P(OptionWord, FromCommandLine) {
  uint32_t flags = OptInstall;
  ApplyOptionText(GetParam().commandLine, &flags);
  EXPECT_EQ(GetParam().expected, flags) << "command line: \"" << GetParam().commandLine << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OptionWord,
    testing::Values(
        OptionCase{"", 0x1},
        OptionCase{"/U", 0x0},
        OptionCase{"/u", 0x0},
        OptionCase{"/U /U", 0x0},               // clears, does not toggle
        OptionCase{"/S", 0x3},
        OptionCase{"/s", 0x3},
        OptionCase{"/S/U", 0x2},
        OptionCase{"/SU", 0x3},                 // only the first character counts
        OptionCase{"/Silent /Unused", 0x2},
        OptionCase{"/S/F/W", 0x303},
        OptionCase{"/O", 0x5},
        OptionCase{"/o /f", 0x205},
        OptionCase{"/X", 0x1},
        OptionCase{"/ S", 0x1},                 // a blank after the slash is no option
        OptionCase{"/S /", 0x3},                // a trailing lone slash changes nothing
        OptionCase{"-S", 0x1},                  // only "/" introduces an option
        OptionCase{"/t", 0x1},                  // lower-case t is an ignored option
        OptionCase{"/S /T", 0x3},               // /T later on is ignored
        OptionCase{"//S", 0x3},
        OptionCase{"abc/Uxyz", 0x0},
        OptionCase{"/U /S /O /W /F", 0x306}));

// What WinMain gets after the program's name. A byte from 0x80 in an
// unquoted name is part of it, as a blank inside quotes is.
TEST(OptionWord, CommandLineAfterTheProgramName) {
  const struct {
    const char* line;
    const char* rest;
  } cases[] = {
      {"setup.exe /S", "/S"},
      {"\"C:\\My Files\\setup.exe\"  /U /S", "/U /S"},
      {"C:/J\xFCrgen/setup.exe /Tf HWND=1", "/Tf HWND=1"},
      {"\"C:\\a b\\setup.exe", ""},
      {"setup.exe", ""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_STREQ(c.rest, SkipProgramName(c.line)) << c.line;
}

TEST(OptionWord, NullTextLeavesTheWord) {
  uint32_t flags = OptInstall;
  ApplyOptionText(nullptr, &flags);
  EXPECT_EQ(static_cast<uint32_t>(OptInstall), flags);
}

TEST(OptionWord, LongTokensAreFine) {
  std::string line = "/S" + std::string(100000, 'x') + "/U";
  uint32_t flags = OptInstall;
  ApplyOptionText(line.c_str(), &flags);
  EXPECT_EQ(0x2u, flags);
}

}  // namespace
