#include "common/text.h"

#include <string.h>

size_t TextLength(const char* text, size_t cap) {
  size_t n = 0;
  while (n < cap && text[n] != '\0') ++n;
  return n;
}

int TextCopyN(char* dst, size_t cap, const char* src, size_t count) {
  if (dst == nullptr || cap == 0) return 0;
  if (src == nullptr) src = "";
  size_t n = TextLength(src, count);
  if (n >= cap) return 0;
  memmove(dst, src, n);
  dst[n] = '\0';
  return 1;
}

int TextCopy(char* dst, size_t cap, const char* src) {
  return TextCopyN(dst, cap, src, static_cast<size_t>(-1));
}

int TextAppend(char* dst, size_t cap, const char* src) {
  if (dst == nullptr || cap == 0) return 0;
  size_t used = TextLength(dst, cap);
  if (used == cap) return 0;  // dst was not terminated within its buffer
  return TextCopy(dst + used, cap - used, src);
}

namespace {

// Output sink that counts what would be written and writes what fits.
struct Sink {
  char* out;
  size_t cap;
  size_t len;
};

void Put(Sink* s, char c) {
  if (s->len < s->cap) s->out[s->len] = c;
  ++s->len;
}

void PutPadded(Sink* s, const char* digits, size_t n, int width, char pad) {
  for (int i = static_cast<int>(n); i < width; ++i) Put(s, pad);
  for (size_t i = 0; i < n; ++i) Put(s, digits[i]);
}

// unsigned long holds every value the conversions take (no 64-bit division
// helper is linked into the 32-bit program).
void PutUnsigned(Sink* s, unsigned long v, unsigned base, bool upper, bool negative,
                 int width, char pad) {
  char tmp[24];
  size_t n = 0;
  const char* set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  do {
    tmp[n++] = set[v % base];
    v /= base;
  } while (v != 0);
  char digits[25];
  size_t k = 0;
  if (negative && pad == ' ') digits[k++] = '-';
  while (n > 0) digits[k++] = tmp[--n];
  if (negative && pad == '0') {
    Put(s, '-');
    if (width > 0) --width;
  }
  PutPadded(s, digits, k, width, pad);
}

}  // namespace

int TextFormatV(char* dst, size_t cap, const char* format, va_list args) {
  if (dst == nullptr || cap == 0 || format == nullptr) return 0;
  // Format into a scratch window first so that dst stays unchanged on failure.
  Sink s{nullptr, 0, 0};
  // A va_list parameter is an array type on some ABIs (x86-64 System V), so
  // take both passes from local copies rather than from the parameter.
  va_list first;
  va_list again;
  va_copy(first, args);
  va_copy(again, args);
  for (int pass = 0; pass < 2; ++pass) {
    va_list* ap = pass == 0 ? &first : &again;
    s.len = 0;
    for (const char* p = format; *p != '\0'; ++p) {
      if (*p != '%') {
        Put(&s, *p);
        continue;
      }
      ++p;
      char pad = ' ';
      int width = 0;
      if (*p == '0') {
        pad = '0';
        ++p;
      }
      while (*p >= '0' && *p <= '9') width = width * 10 + (*p++ - '0');
      bool isLong = false;
      if (*p == 'l') {
        isLong = true;
        ++p;
      }
      switch (*p) {
        case 's': {
          const char* text = va_arg(*ap, const char*);
          if (text == nullptr) text = "";
          size_t n = strlen(text);
          PutPadded(&s, text, n, width, ' ');
          break;
        }
        case 'c':
          Put(&s, static_cast<char>(va_arg(*ap, int)));
          break;
        case 'd':
        case 'i': {
          long v = isLong ? va_arg(*ap, long) : va_arg(*ap, int);
          unsigned long mag = v < 0 ? 0UL - static_cast<unsigned long>(v) : static_cast<unsigned long>(v);
          PutUnsigned(&s, mag, 10, false, v < 0, width, pad);
          break;
        }
        case 'u':
        case 'x':
        case 'X': {
          unsigned long v = isLong ? va_arg(*ap, unsigned long) : va_arg(*ap, unsigned);
          unsigned base = *p == 'u' ? 10 : 16;
          PutUnsigned(&s, v, base, *p == 'X', false, width, pad);
          break;
        }
        case '%':
          Put(&s, '%');
          break;
        default:
          // An unknown conversion is a programming error: refuse the format.
          va_end(first);
          va_end(again);
          return 0;
      }
    }
    if (pass == 0) {
      if (s.len >= cap) {
        va_end(first);
        va_end(again);
        return 0;
      }
      s.out = dst;
      s.cap = cap;
    }
  }
  va_end(first);
  va_end(again);
  dst[s.len] = '\0';
  return 1;
}

int TextFormat(char* dst, size_t cap, const char* format, ...) {
  va_list args;
  va_start(args, format);
  int ok = TextFormatV(dst, cap, format, args);
  va_end(args);
  return ok;
}
