#include "files/pending_renames.h"

#include <string.h>
#include <wchar.h>

#include "common/path_text.h"
#include "files/multi_string.h"

namespace {

// Length of the zero-terminated text at data, stopping at the end of the data.
size_t BoundedLength(const char* data, size_t available) {
  size_t n = 0;
  while (n < available && data[n] != '\0') ++n;
  return n;
}

size_t WideLength(const wchar_t* data, size_t available) {
  size_t n = 0;
  while (n < available && data[n] != L'\0') ++n;
  return n;
}

wchar_t FoldWide(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

// Whether the text (length characters) equals name, ignoring the case of
// ASCII letters.
int WideEqualsNoCase(const wchar_t* text, size_t length, const wchar_t* name) {
  size_t i = 0;
  for (; i < length; ++i) {
    if (name[i] == L'\0' || FoldWide(text[i]) != FoldWide(name[i])) return 0;
  }
  return name[i] == L'\0';
}

int WideLastComponentIs(const wchar_t* path, size_t length, const wchar_t* name) {
  size_t offset = 0;
  for (size_t i = 0; i < length; ++i) {
    if (path[i] == L'\\') offset = i + 1;
  }
  return WideEqualsNoCase(path + offset, length - offset, name);
}

// Whether the text (length bytes) equals one of the entries of paths,
// ignoring the case of letters.
int IsOneOf(const char* text, size_t length, const char* paths) {
  for (const char* path = paths; *path != '\0'; path += strlen(path) + 1) {
    if (NameEqualsNoCase(text, length, path)) return 1;
  }
  return 0;
}

// A path of the system's list without its "!" (replace) and "\??\" prefixes.
void StripListPrefixes(const wchar_t** text, size_t* length) {
  if (*length > 0 && (*text)[0] == L'!') {
    ++*text;
    --*length;
  }
  const wchar_t* t = *text;
  if (*length >= 4 && t[0] == L'\\' && t[1] == L'?' && t[2] == L'?' && t[3] == L'\\') {
    *text += 4;
    *length -= 4;
  }
}

// Whether a path of the system's list names one of paths.
int ListedPathIsOneOf(const wchar_t* text, size_t length, const wchar_t* paths) {
  StripListPrefixes(&text, &length);
  if (length == 0) return 0;
  for (const wchar_t* path = paths; *path != L'\0'; path += wcslen(path) + 1) {
    if (WideEqualsNoCase(text, length, path)) return 1;
  }
  return 0;
}

// Puts length characters of text and a zero at *at.
void PutWide(wchar_t* out, size_t* at, const wchar_t* text, size_t length) {
  if (length != 0) memcpy(out + *at, text, length * sizeof(wchar_t));
  *at += length;
  out[(*at)++] = L'\0';
}

// One line of a [rename] section: "key=value", equals the index of "="
// (length when the line has none).
struct RenameLine {
  const char* text;
  size_t length;
  size_t equals;
};

// Reads the line at *offset and moves past it; 0 at the section's end.
int NextRenameLine(const char* section, size_t size, size_t* offset, RenameLine* line) {
  if (*offset >= size || section[*offset] == '\0') return 0;
  line->text = section + *offset;
  line->length = BoundedLength(line->text, size - *offset);
  line->equals = 0;
  while (line->equals < line->length && line->text[line->equals] != '=') ++line->equals;
  *offset += line->length + 1;
  return 1;
}

}  // namespace

int PendingOperationsConcern(const wchar_t* data, size_t count, const wchar_t* name) {
  if (name[0] == L'\0') return 0;
  int found = 0;
  size_t offset = 0;
  while (offset < count) {
    const wchar_t* source = data + offset;
    size_t sourceLength = WideLength(source, count - offset);
    size_t next = offset + sourceLength + 1;
    const wchar_t* destination = data + next;
    size_t destinationLength = next < count ? WideLength(destination, count - next) : 0;
    if (destinationLength != 0) {
      found |= WideLastComponentIs(destination, destinationLength, name);
    } else {
      found |= WideLastComponentIs(source, sourceLength, name);
    }
    offset = next + destinationLength + 1;
  }
  return found;
}

int KeepPendingOperationsApartFrom(const wchar_t* data, size_t count, const wchar_t* paths,
                                   wchar_t* kept, size_t* keptCount, wchar_t* moved) {
  int left = 0;
  size_t offset = 0;
  size_t keptAt = 0;
  size_t movedAt = 0;
  while (offset < count && data[offset] != L'\0') {
    const wchar_t* source = data + offset;
    size_t sourceLength = WideLength(source, count - offset);
    size_t next = offset + sourceLength + 1;
    const wchar_t* destination = next < count ? data + next : L"";
    size_t destinationLength = next < count ? WideLength(destination, count - next) : 0;
    const int onto = ListedPathIsOneOf(destination, destinationLength, paths);
    const int from = ListedPathIsOneOf(source, sourceLength, paths);
    if (onto || from) {
      ++left;
      if (onto && !from && moved != nullptr) {
        StripListPrefixes(&source, &sourceLength);
        PutWide(moved, &movedAt, source, sourceLength);
      }
    } else {
      PutWide(kept, &keptAt, source, sourceLength);
      PutWide(kept, &keptAt, destination, destinationLength);
    }
    offset = next + destinationLength + 1;
  }
  kept[keptAt++] = L'\0';
  *keptCount = keptAt;
  if (moved != nullptr) moved[movedAt] = L'\0';
  return left;
}

int KeepRenameLinesApartFrom(const char* section, size_t size, const char* paths,
                             MultiString* kept, MultiString* moved) {
  int left = 0;
  size_t offset = 0;
  RenameLine line;
  while (NextRenameLine(section, size, &offset, &line)) {
    const size_t equals = line.equals;
    const char* value = line.text + equals + 1;
    const size_t valueLength = equals < line.length ? line.length - equals - 1 : 0;
    const int from = equals < line.length && IsOneOf(value, valueLength, paths);
    const int onto = equals < line.length && !NameEqualsNoCase(line.text, equals, "NUL") &&
                     IsOneOf(line.text, equals, paths);
    if (onto || from) {
      ++left;
      if (onto && !from && moved != nullptr && !AppendEntryOf(moved, value, valueLength)) return -1;
    } else if (!AppendEntryOf(kept, line.text, line.length)) {
      return -1;
    }
  }
  return left;
}
