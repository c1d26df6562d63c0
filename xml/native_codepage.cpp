// The engine's own UTF-8 and windows-1252 conversions, for hosts without the
// Win32 functions. Invalid UTF-8 becomes U+FFFD, one per maximal ill-formed
// subsequence, as MultiByteToWideChar does without MB_ERR_INVALID_CHARS.
#include <string.h>

#include "xml/codepage.h"

namespace {

const uint16_t kReplacement = 0xFFFD;

// Unicode of the windows-1252 bytes 0x80..0x9F. The five bytes the code page
// leaves undefined map to the C1 controls of the same value, as on Windows.
const uint16_t kHighControls[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Decodes one code point at text[i] (i < bytes); advances i past the consumed
// bytes and answers the code point or kReplacement.
uint32_t DecodeUtf8(const unsigned char* text, size_t bytes, size_t* i) {
  unsigned char lead = text[*i];
  ++*i;
  if (lead < 0x80) return lead;
  size_t need;
  uint32_t value;
  unsigned char low = 0x80, high = 0xBF;  // range of the first continuation byte
  if (lead >= 0xC2 && lead <= 0xDF) {
    need = 1;
    value = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    need = 2;
    value = lead & 0x0F;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;  // no encoded surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    need = 3;
    value = lead & 0x07;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
  } else {
    return kReplacement;
  }
  for (size_t k = 0; k < need; ++k) {
    if (*i >= bytes) return kReplacement;
    unsigned char c = text[*i];
    if (c < low || c > high) return kReplacement;  // c is not consumed
    value = (value << 6) | (c & 0x3F);
    ++*i;
    low = 0x80;
    high = 0xBF;
  }
  return value;
}

int EncodeWindows1252(uint32_t code) {
  if (code < 0x80 || (code >= 0xA0 && code <= 0xFF)) return static_cast<int>(code);
  for (int k = 0; k < 32; ++k) {
    if (kHighControls[k] == code) return 0x80 + k;
  }
  return -1;
}

}  // namespace

int XML_CODEPAGE_API ConvertUtf8ToWide(unsigned int codePage, unsigned long flags, const char* text,
                                       int bytes, XmlWideChar* wide, int units) {
  (void)flags;
  if (codePage != XmlCodePageUtf8 || text == nullptr || bytes == 0 || bytes < -1 || units < 0 ||
      (units > 0 && wide == nullptr)) {
    return 0;
  }
  size_t length = bytes == -1 ? strlen(text) + 1 : static_cast<size_t>(bytes);
  const unsigned char* in = reinterpret_cast<const unsigned char*>(text);
  size_t written = 0;
  size_t i = 0;
  while (i < length) {
    uint32_t code = DecodeUtf8(in, length, &i);
    XmlWideChar pair[2];
    size_t n = 1;
    if (code >= 0x10000) {
      code -= 0x10000;
      pair[0] = static_cast<XmlWideChar>(0xD800 + (code >> 10));
      pair[1] = static_cast<XmlWideChar>(0xDC00 + (code & 0x3FF));
      n = 2;
    } else {
      pair[0] = static_cast<XmlWideChar>(code);
    }
    if (units > 0) {
      if (written + n > static_cast<size_t>(units)) return 0;  // buffer too small
      for (size_t k = 0; k < n; ++k) wide[written + k] = pair[k];
    }
    written += n;
    if (written > 0x7FFFFFFF) return 0;
  }
  return static_cast<int>(written);
}

int XML_CODEPAGE_API ConvertWideToWindows1252(unsigned int codePage, unsigned long flags,
                                              const XmlWideChar* wide, int units, char* text,
                                              int bytes, const char* defaultChar,
                                              int* usedDefaultChar) {
  (void)flags;
  if ((codePage != XmlCodePageAnsi && codePage != XmlCodePageWindows1252) || wide == nullptr ||
      units == 0 || units < -1 || bytes < 0 || (bytes > 0 && text == nullptr)) {
    return 0;
  }
  size_t length = 0;
  if (units == -1) {
    while (wide[length] != 0) ++length;
    ++length;
  } else {
    length = static_cast<size_t>(units);
  }
  char fallback = defaultChar != nullptr ? *defaultChar : '?';
  if (usedDefaultChar != nullptr) *usedDefaultChar = 0;
  size_t written = 0;
  for (size_t i = 0; i < length; ++i) {
    uint32_t code = wide[i];
    // A surrogate pair is one character the code page lacks.
    if (code >= 0xD800 && code <= 0xDBFF && i + 1 < length && wide[i + 1] >= 0xDC00 &&
        wide[i + 1] <= 0xDFFF) {
      ++i;
      code = 0x10000;
    }
    int byte = EncodeWindows1252(code);
    if (byte < 0) {
      byte = static_cast<unsigned char>(fallback);
      if (usedDefaultChar != nullptr) *usedDefaultChar = 1;
    }
    if (bytes > 0) {
      if (written >= static_cast<size_t>(bytes)) return 0;  // buffer too small
      text[written] = static_cast<char>(byte);
    }
    ++written;
  }
  return static_cast<int>(written);
}
