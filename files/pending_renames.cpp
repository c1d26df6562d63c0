#include "files/pending_renames.h"

#include <string.h>

#include "common/path_text.h"
#include "files/multi_string.h"

namespace {

// Length of the zero-terminated text at data, stopping at the end of the data.
size_t BoundedLength(const char* data, size_t available) {
  size_t n = 0;
  while (n < available && data[n] != '\0') ++n;
  return n;
}

int LastComponentIs(const char* path, size_t length, const char* name) {
  size_t offset = LastComponentOffset(path, length);
  return NameEqualsNoCase(path + offset, length - offset, name);
}

// Whether the text (length bytes) equals one of the entries of paths,
// ignoring the case of letters.
int IsOneOf(const char* text, size_t length, const char* paths) {
  for (const char* path = paths; *path != '\0'; path += strlen(path) + 1) {
    if (NameEqualsNoCase(text, length, path)) return 1;
  }
  return 0;
}

// Whether a path of the system's list, with its "!" (replace) and "\??\"
// prefixes, names one of paths.
int ListedPathIsOneOf(const char* text, size_t length, const char* paths) {
  if (length > 0 && text[0] == '!') {
    ++text;
    --length;
  }
  if (length >= 4 && text[0] == '\\' && text[1] == '?' && text[2] == '?' && text[3] == '\\') {
    text += 4;
    length -= 4;
  }
  return length != 0 && IsOneOf(text, length, paths);
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

int PendingOperationsConcern(const char* data, size_t size, const char* name) {
  if (name[0] == '\0') return 0;
  int found = 0;
  size_t offset = 0;
  while (offset < size) {
    const char* source = data + offset;
    size_t sourceLength = BoundedLength(source, size - offset);
    size_t next = offset + sourceLength + 1;
    const char* destination = data + next;
    size_t destinationLength = next < size ? BoundedLength(destination, size - next) : 0;
    if (destinationLength != 0) {
      found |= LastComponentIs(destination, destinationLength, name);
    } else {
      found |= LastComponentIs(source, sourceLength, name);
    }
    offset = next + destinationLength + 1;
  }
  return found;
}

int RenameSectionConcerns(const char* section, size_t size, const char* name) {
  if (name[0] == '\0') return 0;
  int found = 0;
  size_t offset = 0;
  RenameLine line;
  while (NextRenameLine(section, size, &offset, &line)) {
    if (line.equals == line.length) continue;
    if (NameEqualsNoCase(line.text, line.equals, "NUL")) {
      found |= LastComponentIs(line.text + line.equals + 1, line.length - line.equals - 1, name);
    } else {
      found |= LastComponentIs(line.text, line.equals, name);
    }
  }
  return found;
}

int KeepPendingOperationsApartFrom(const char* data, size_t size, const char* paths,
                                   MultiString* kept) {
  int left = 0;
  size_t offset = 0;
  while (offset < size && data[offset] != '\0') {
    const char* source = data + offset;
    size_t sourceLength = BoundedLength(source, size - offset);
    size_t next = offset + sourceLength + 1;
    const char* destination = next < size ? data + next : "";
    size_t destinationLength = next < size ? BoundedLength(destination, size - next) : 0;
    if (ListedPathIsOneOf(source, sourceLength, paths) ||
        ListedPathIsOneOf(destination, destinationLength, paths)) {
      ++left;
    } else if (!AppendEntryOf(kept, source, sourceLength) ||
               !AppendEntryOf(kept, destination, destinationLength)) {
      return -1;
    }
    offset = next + destinationLength + 1;
  }
  return left;
}

int KeepRenameLinesApartFrom(const char* section, size_t size, const char* paths,
                             MultiString* kept) {
  int left = 0;
  size_t offset = 0;
  RenameLine line;
  while (NextRenameLine(section, size, &offset, &line)) {
    const size_t equals = line.equals;
    const int concerned =
        equals < line.length &&
        (IsOneOf(line.text + equals + 1, line.length - equals - 1, paths) ||
         (!NameEqualsNoCase(line.text, equals, "NUL") && IsOneOf(line.text, equals, paths)));
    if (concerned) {
      ++left;
    } else if (!AppendEntryOf(kept, line.text, line.length)) {
      return -1;
    }
  }
  return left;
}
