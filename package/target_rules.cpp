#include "package/target_rules.h"

#include <string.h>

#include "common/text.h"

int CompareVersionBytes(const char* a, const char* b) {
  for (int i = 0; i < 10; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x != y) return x < y ? -1 : 1;
    if (x == 0) break;
  }
  return 0;
}

namespace {

int CountBackslashes(const char* text) {
  int count = 0;
  for (; *text != '\0'; ++text) count += *text == '\\';
  return count;
}

}  // namespace

int ShortenPathForDisplay(char* shown, size_t cap, const char* fullPath, TooWideFunction tooWide,
                          void* context) {
  if (!TextCopy(shown, cap, fullPath)) return 0;
  const char* lastPart = strrchr(fullPath, '\\');
  const size_t lastLength = lastPart != nullptr ? strlen(lastPart) : 0;
  while (tooWide(shown, context) && CountBackslashes(shown) >= 2) {
    // Keep what stands before the second-last backslash of the text.
    char* last = strrchr(shown, '\\');
    *last = '\0';
    char* cut = strrchr(shown, '\\');
    *last = '\\';
    const size_t keep = static_cast<size_t>(cut - shown);
    // A shortened text that would not fit leaves the last one that did.
    if (keep + 5 + lastLength >= cap) break;
    cut[0] = '\0';
    TextAppend(shown, cap, " ... ");
    TextAppend(shown, cap, lastPart);
  }
  return 1;
}
