#include "registry/registry_text.h"

#include "common/text.h"

int CompleteStringRead(uint32_t type, char* buffer, size_t size, size_t got) {
  if (buffer == nullptr || size == 0) return 0;
  if ((type != RegistryStringType && type != RegistryExpandStringType) || got > size) {
    buffer[0] = '\0';
    return 0;
  }
  // Data stored without its zero, or no data at all, leaves the rest of the
  // buffer as it was: the text ends where the data ends.
  if (TextLength(buffer, got) == got) {
    if (got == size) {
      buffer[0] = '\0';
      return 0;
    }
    buffer[got] = '\0';
  }
  return 1;
}

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

int ExpandPackedVersion(char* version, size_t cap) {
  if (version == nullptr || TextLength(version, cap) != 8) return 1;
  uint32_t packed = 0;
  for (int i = 0; i < 8; ++i) {
    int digit = HexDigit(version[i]);
    if (digit < 0) break;
    packed = (packed << 4) | static_cast<uint32_t>(digit);
  }
  return TextFormat(version, cap, "%X.%02X.%04X", static_cast<unsigned>(packed >> 24),
                    static_cast<unsigned>((packed >> 16) & 0xFF),
                    static_cast<unsigned>(packed & 0xFFFF));
}
