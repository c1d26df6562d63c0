#include "driver/options.h"

const char* SkipProgramName(const char* commandLine) {
  const unsigned char* p = reinterpret_cast<const unsigned char*>(commandLine);
  int quoted = 0;
  while (*p > ' ' || (*p != '\0' && quoted)) {
    if (*p == '"') quoted = !quoted;
    ++p;
  }
  while (*p != '\0' && *p <= ' ') ++p;
  return reinterpret_cast<const char*>(p);
}

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
