#include "driver/options.h"

void ApplyOptionText(const char* text, uint32_t* flags) {
  if (text == nullptr) return;
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p != '/') continue;
    // Only the token's first character matters; the rest up to the next "/" is ignored.
    switch (p[1]) {
      case 'F': case 'f': *flags |= OptNoResultMessage; break;
      case 'O': case 'o': *flags |= OptRelaunch; break;
      case 'S': case 's': *flags |= OptSilent; break;
      case 'U': case 'u': *flags &= ~static_cast<uint32_t>(OptInstall); break;
      case 'W': case 'w': *flags |= OptKeepSettings; break;
      default: break;
    }
  }
}
