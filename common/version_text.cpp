#include "common/version_text.h"

int CompareVersionBytes(const char* a, const char* b) {
  for (int i = 0; i < 10; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x != y) return x < y ? -1 : 1;
    if (x == 0) break;
  }
  return 0;
}
