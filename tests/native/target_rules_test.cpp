// The version order and the display shortening.
#include <string.h>

#include <string>

#include <gtest/gtest.h>

#include "common/version_text.h"
#include "package/target_rules.h"

namespace {

struct VersionCase {
  const char* a;
  const char* b;
  int order;
};

const VersionCase kVersionCases[] = {
    {"3.01.0000", "3.00.0000", 1},
    {"3.00.0000", "3.00.0000", 0},
    {"2.50.0000", "3.00.0000", -1},
    {"10.00.0000", "3.00.0000", -1},  // by bytes, not by number
    {"", "1.03.0000", -1},
    {"3.00.00001", "3.00.0000", 1},
    {"3.00.0000X", "3.00.0000Y", -1},
    {"3.00.0000XA", "3.00.0000XB", 0},  // only ten bytes count
    {"\xE9", "3", 1},                 // unsigned bytes
};

TEST(CompareVersionBytes, OrdersByUnsignedBytesOverTenBytes) {
  for (const VersionCase& c : kVersionCases) {
    SCOPED_TRACE(std::string(c.a) + " vs " + c.b);
    int order = CompareVersionBytes(c.a, c.b);
    EXPECT_EQ(c.order, (order > 0) - (order < 0));
  }
}

// Too wide when longer than a width in characters.
int LongerThan(const char* text, void* context) {
  return strlen(text) >= *static_cast<size_t*>(context);
}

struct ShortenCase {
  const char* path;
  size_t width;
  const char* shown;
};

const ShortenCase kShortenCases[] = {
    {"C:\\A\\B\\C\\D", 100, "C:\\A\\B\\C\\D"},
    {"C:\\A\\B\\C\\D", 10, "C: ... \\D"},  // passes that widen the text go on
    {"C:\\A\\B\\CCCCCCCC\\D", 17, "C:\\A\\B ... \\D"},
    {"C:\\A\\B\\CCCCCCCC\\D", 13, "C:\\A ... \\D"},
    {"C:\\A\\B\\CCCCCCCC\\D", 1, "C: ... \\D"},  // fewer than two backslashes: no further pass
    {"C:\\Program Files\\Ravozeve\\Vuzizirer", 35, "C:\\Program Files ... \\Vuzizirer"},
    {"C:\\Program Files\\Ravozeve\\Vuzizirer", 31, "C: ... \\Vuzizirer"},
    {"C:\\Folder", 1, "C:\\Folder"},
    {"NoBackslash", 1, "NoBackslash"},
};

TEST(ShortenPathForDisplay, CutsMiddleComponentsWhileTooWide) {
  for (const ShortenCase& c : kShortenCases) {
    SCOPED_TRACE(std::string(c.path) + " in " + std::to_string(c.width));
    char shown[260];
    size_t width = c.width;
    ASSERT_EQ(1, ShortenPathForDisplay(shown, sizeof(shown), c.path, LongerThan, &width));
    EXPECT_STREQ(c.shown, shown);
  }
}

TEST(ShortenPathForDisplay, StopsAtTheLastTextThatFits) {
  size_t width = 1;
  char small[12];
  // "C:\A\B\C\D" fits; "C:\A\B ... \D" (13 bytes with the zero) does not.
  ASSERT_EQ(1, ShortenPathForDisplay(small, sizeof(small), "C:\\A\\B\\C\\D", LongerThan, &width));
  EXPECT_STREQ("C:\\A\\B\\C\\D", small);
  char tiny[4];
  EXPECT_EQ(0, ShortenPathForDisplay(tiny, sizeof(tiny), "C:\\A\\B", LongerThan, &width));
}

}  // namespace
