#include "common/path_text.h"

#include <string.h>

#include "common/lead_bytes.h"

namespace {

char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

int IsShortNameChar(unsigned char c) {
  if (c >= 0x80) return 1;  // characters of the code page above ASCII
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return 1;
  return strchr("!#$%&'()-@^_`{}~", c) != nullptr && c != '\0';
}

int IsDeviceName(const char* base, size_t length) {
  static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CLOCK$"};
  for (const char* device : kDevices) {
    if (NameEqualsNoCase(base, length, device)) return 1;
  }
  if (length == 4 && (NameEqualsNoCase(base, 3, "COM") || NameEqualsNoCase(base, 3, "LPT")) &&
      base[3] >= '1' && base[3] <= '9') {
    return 1;
  }
  return 0;
}

// The character after the one at text: two bytes for a lead byte, unless
// the text ends after it.
const char* NextCharacter(const char* text) {
  if (IsLeadByte(static_cast<unsigned char>(text[0])) && text[1] != '\0') return text + 2;
  return text + 1;
}

}  // namespace

int NameEqualsNoCase(const char* text, size_t length, const char* name) {
  size_t i = 0;
  for (; i < length; ++i) {
    if (name[i] == '\0' || FoldCase(text[i]) != FoldCase(name[i])) return 0;
  }
  return name[i] == '\0';
}

const char* FindBackslash(const char* text) {
  for (; *text != '\0'; text = NextCharacter(text)) {
    if (*text == '\\') return text;
  }
  return nullptr;
}

const char* FindLastBackslash(const char* text) {
  const char* last = nullptr;
  for (const char* found = FindBackslash(text); found != nullptr; found = FindBackslash(found + 1)) {
    last = found;
  }
  return last;
}

int EndsWithBackslash(const char* text) {
  const char* last = FindLastBackslash(text);
  return last != nullptr && last[1] == '\0';
}

size_t LastComponentOffset(const char* path, size_t length) {
  size_t offset = 0;
  for (size_t i = 0; i < length;) {
    if (path[i] == '\\') offset = i + 1;
    const int pair = IsLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < length &&
                     path[i + 1] != '\0';
    i += pair ? 2 : 1;
  }
  return offset;
}

size_t PathRootLength(const char* path) {
  if (path[0] != '\0' && path[1] == ':') return 2;
  if (path[0] != '\\' || path[1] != '\\') return 0;
  // "\\server\share": the root ends before the backslash after the share.
  const char* server = path + 2;
  const char* share = FindBackslash(server);
  if (share == nullptr || share == server || share[1] == '\0' || share[1] == '\\') return 0;
  const char* end = FindBackslash(share + 1);
  return end != nullptr ? static_cast<size_t>(end - path) : strlen(path);
}

int IsFullPath(const char* path) {
  size_t root = PathRootLength(path);
  if (root == 2) return path[2] == '\\';
  return root != 0;
}

int SameRoot(const char* first, const char* second) {
  size_t a = PathRootLength(first);
  size_t b = PathRootLength(second);
  if (a == 0 || b == 0) return 1;
  if (a != b) return 0;
  for (size_t i = 0; i < a; ++i) {
    if (FoldCase(first[i]) != FoldCase(second[i])) return 0;
  }
  return 1;
}

int IsValidShortName(const char* name) {
  size_t length = strlen(name);
  const char* dot = strchr(name, '.');
  size_t base = dot != nullptr ? static_cast<size_t>(dot - name) : length;
  if (base == 0 || base > 8) return 0;
  if (dot != nullptr) {
    size_t extension = length - base - 1;
    if (extension == 0 || extension > 3 || strchr(dot + 1, '.') != nullptr) return 0;
  }
  for (size_t i = 0; i < length; ++i) {
    if (name + i != dot && !IsShortNameChar(static_cast<unsigned char>(name[i]))) return 0;
  }
  return !IsDeviceName(name, base);
}
