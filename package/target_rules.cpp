#include "package/target_rules.h"

#include <string.h>

#include "common/path_text.h"
#include "common/text.h"

namespace {

int CountBackslashes(const char* text) {
  int count = 0;
  for (const char* found = FindBackslash(text); found != nullptr; found = FindBackslash(found + 1)) {
    ++count;
  }
  return count;
}

}  // namespace

int ShortenPathForDisplay(char* shown, size_t cap, const char* fullPath, TooWideFunction tooWide,
                          void* context) {
  if (!TextCopy(shown, cap, fullPath)) return 0;
  const char* lastPart = FindLastBackslash(fullPath);
  const size_t lastLength = lastPart != nullptr ? strlen(lastPart) : 0;
  while (tooWide(shown, context) && CountBackslashes(shown) >= 2) {
    // Keep what stands before the second-last backslash of the text.
    char* last = FindLastBackslash(shown);
    *last = '\0';
    char* cut = FindLastBackslash(shown);
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
