#include <gtest/gtest.h>

#include <string.h>

#include <memory>
#include <string>

#include "common/text.h"

namespace {

TEST(TextCopy, FitsExactlyOrFailsUnchanged) {
  struct Case {
    const char* source;
    size_t capacity;
    int ok;
  } cases[] = {
      {"", 1, 1}, {"a", 1, 0}, {"a", 2, 1}, {"abc", 3, 0}, {"abc", 4, 1}, {"abc", 260, 1},
  };
  for (const Case& c : cases) {
    char buffer[300];
    memset(buffer, 'Z', sizeof(buffer));
    buffer[0] = 'K';
    buffer[1] = '\0';
    EXPECT_EQ(c.ok, TextCopy(buffer, c.capacity, c.source)) << c.source << " into " << c.capacity;
    if (c.ok) {
      EXPECT_STREQ(c.source, buffer);
    } else {
      EXPECT_STREQ("K", buffer);  // unchanged
    }
    if (c.capacity >= 2) EXPECT_EQ('Z', buffer[c.capacity]) << "wrote past the capacity";
  }
}

TEST(TextCopy, NullOrEmptyDestinationFails) {
  char buffer[4] = "xy";
  EXPECT_EQ(0, TextCopy(nullptr, 4, "a"));
  EXPECT_EQ(0, TextCopy(buffer, 0, "a"));
  EXPECT_STREQ("xy", buffer);
  EXPECT_EQ(1, TextCopy(buffer, 4, nullptr));
  EXPECT_STREQ("", buffer);
}

TEST(TextCopyN, TakesAtMostCountBytes) {
  char buffer[8];
  EXPECT_EQ(1, TextCopyN(buffer, sizeof(buffer), "C:\\WINDOWS", 2));
  EXPECT_STREQ("C:", buffer);
  EXPECT_EQ(1, TextCopyN(buffer, sizeof(buffer), "ab", 5));
  EXPECT_STREQ("ab", buffer);
  EXPECT_EQ(0, TextCopyN(buffer, 3, "abcdef", 4));
  EXPECT_STREQ("ab", buffer);
}

TEST(TextAppend, AppendsOrLeavesUnchanged) {
  char buffer[8] = "abc";
  EXPECT_EQ(1, TextAppend(buffer, sizeof(buffer), "defg"));
  EXPECT_STREQ("abcdefg", buffer);
  EXPECT_EQ(0, TextAppend(buffer, sizeof(buffer), "h"));
  EXPECT_STREQ("abcdefg", buffer);
  // An unterminated destination is refused, never read past its capacity.
  char raw[4] = {'a', 'b', 'c', 'd'};
  EXPECT_EQ(0, TextAppend(raw, sizeof(raw), ""));
}

TEST(TextFormat, Conversions) {
  struct Case {
    std::string expected;
    std::string actual;
  };
  char b[64];
  auto fmt = [&](const char* f, auto... args) {
    return TextFormat(b, sizeof(b), f, args...) ? std::string(b) : std::string("<fail>");
  };
  Case cases[] = {
      {"0000", fmt("%04X", 0u)},
      {"000C", fmt("%04X", 12u)},
      {"000F", fmt("%04X", 15u)},
      {"FFFFFFFF", fmt("%04X", 0xFFFFFFFFu)},
      {"SOFTWARE\\KWO\\Plum", fmt("SOFTWARE\\KWO\\%s", "Plum")},
      {"C:\\G\\N.lnk", fmt("%s\\%s.lnk", "C:\\G", "N")},
      {"-42 42 7", fmt("%d %u %i", -42, 42u, 7)},
      {"1a2b 1A2B", fmt("%x %X", 0x1a2bu, 0x1a2bu)},
      {"  7|7", fmt("%3d|%d", 7, 7)},
      {"-007", fmt("%04d", -7)},
      {"100%", fmt("%d%%", 100)},
      {"abc", fmt("%lx", 0xabcUL)},
      {"x", fmt("%c", 'x')},
      {"(null?)", fmt("(%snull?)", static_cast<const char*>(nullptr))},
      {"<fail>", fmt("%q", 1)},
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, c.actual);
}

TEST(TextFormat, TooLongLeavesBufferUnchanged) {
  for (size_t cap = 1; cap <= 8; ++cap) {
    std::unique_ptr<char[]> b(new char[cap]);
    memset(b.get(), 0, cap);
    int ok = TextFormat(b.get(), cap, "%s-%04X", "ab", 0x1Fu);  // "ab-001F", 7 chars
    EXPECT_EQ(cap >= 8 ? 1 : 0, ok) << cap;
    if (!ok) EXPECT_EQ(0, b[0]);
  }
}

TEST(TextLength, StopsAtCapacity) {
  const char raw[3] = {'a', 'b', 'c'};
  EXPECT_EQ(3u, TextLength(raw, 3));
  EXPECT_EQ(2u, TextLength("ab", 10));
}

}  // namespace
