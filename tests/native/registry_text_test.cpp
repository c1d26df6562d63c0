// Completion of string reads and expansion of packed versions.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "common/text.h"
#include "registry/registry_text.h"

namespace {

const uint32_t kExpandString = 2;

struct ReadCase {
  const char* label;
  uint32_t type;
  const char* data;  // what the system placed in the buffer
  size_t dataLength;  // bytes of data placed
  size_t size;        // buffer size handed to the read
  size_t got;         // size the system reported
  int expectedResult;
  const char* expectedText;
};

class CompleteStringReadTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(CompleteStringReadTest, TerminatesOrFailsWithinTheBuffer) {
  const ReadCase& c = GetParam();
  // The buffer sits inside a larger block whose guard bytes must stay.
  char block[32];
  memset(block, 'G', sizeof(block));
  char* buffer = block + 4;
  memset(buffer, 'X', c.size);
  memcpy(buffer, c.data, c.dataLength);

  EXPECT_EQ(CompleteStringRead(c.type, buffer, c.size, c.got), c.expectedResult) << c.label;
  EXPECT_EQ(std::string(buffer, strnlen(buffer, c.size)), c.expectedText) << c.label;
  EXPECT_LT(strnlen(buffer, c.size), c.size) << c.label << ": not terminated";
  for (size_t i = 0; i < 4; ++i) EXPECT_EQ(block[i], 'G') << c.label;
  for (size_t i = 4 + c.size; i < sizeof(block); ++i) EXPECT_EQ(block[i], 'G') << c.label;
}

INSTANTIATE_TEST_SUITE_P(
    Reads, CompleteStringReadTest,
    ::testing::Values(
        ReadCase{"terminated text", RegistryStringType, "abc", 4, 8, 4, 1, "abc"},
        ReadCase{"text filling the buffer with its zero", RegistryStringType, "abcdefg", 8, 8, 8, 1,
                 "abcdefg"},
        ReadCase{"unterminated, room after it", RegistryStringType, "abcd", 4, 8, 4, 1, "abcd"},
        ReadCase{"unterminated, filling the buffer", RegistryStringType, "abcdefgh", 8, 8, 8, 0, ""},
        ReadCase{"no data at all", RegistryStringType, "", 0, 8, 0, 1, ""},
        ReadCase{"embedded zero ends the text", RegistryStringType, "ab\0cd", 5, 8, 5, 1, "ab"},
        ReadCase{"an expandable string, not expanded", kExpandString, "%X%", 4, 8, 4, 1, "%X%"},
        ReadCase{"reported size beyond the buffer", RegistryStringType, "abcdefgh", 8, 8, 9, 0,
                 ""}));

TEST(CompleteStringReadTest, RefusesAnEmptyBuffer) {
  char c = 'X';
  EXPECT_EQ(CompleteStringRead(RegistryStringType, &c, 0, 0), 0);
  EXPECT_EQ(c, 'X');
  EXPECT_EQ(CompleteStringRead(RegistryStringType, nullptr, 8, 0), 0);
}

struct VersionCase {
  const char* stored;
  const char* shown;
};

class ExpandPackedVersionTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(ExpandPackedVersionTest, ShowsEightCharactersAsNumbers) {
  char version[260];
  ASSERT_EQ(1, TextCopy(version, sizeof(version), GetParam().stored));
  EXPECT_EQ(ExpandPackedVersion(version, sizeof(version)), 1);
  EXPECT_STREQ(version, GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, ExpandPackedVersionTest,
    ::testing::Values(VersionCase{"0103000B", "1.03.000B"}, VersionCase{"01030000", "1.03.0000"},
                      VersionCase{"0300000A", "3.00.000A"}, VersionCase{"0103000b", "1.03.000B"},
                      VersionCase{"FFFFFFFF", "FF.FF.FFFF"},
                      // Reading stops at the first character that is no digit.
                      VersionCase{"0103ZZZZ", "0.00.0103"}, VersionCase{"Z1030000", "0.00.0000"},
                      VersionCase{"1.03.0000", "1.03.0000"}, VersionCase{"0103000", "0103000"},
                      VersionCase{"010300000", "010300000"}, VersionCase{"", ""}));

TEST(ExpandPackedVersionTest, KeepsTheTextWhenTheExpansionDoesNotFit) {
  char version[10] = "0103000B";
  EXPECT_EQ(ExpandPackedVersion(version, 9), 0);
  EXPECT_STREQ(version, "0103000B");
  EXPECT_EQ(ExpandPackedVersion(version, sizeof(version)), 1);
  EXPECT_STREQ(version, "1.03.000B");
}

}  // namespace
