#include "files/multi_string.h"

#include <stdlib.h>
#include <string.h>

#include "common/path_text.h"

namespace {

const char kEmpty[2] = {'\0', '\0'};

// Makes room for extra more bytes of entries plus the final zero.
int Reserve(MultiString* list, size_t extra) {
  size_t needed = list->length + extra + 1;
  if (needed <= list->capacity) return 1;
  size_t capacity = list->capacity != 0 ? list->capacity : 256;
  while (capacity < needed) capacity *= 2;
  char* grown = static_cast<char*>(realloc(list->text, capacity));
  if (grown == nullptr) return 0;
  list->text = grown;
  list->capacity = capacity;
  return 1;
}

size_t PartLength(const char* part) { return part != nullptr ? strlen(part) : 0; }

void PutPart(MultiString* list, const char* part, size_t length) {
  if (length == 0) return;
  memcpy(list->text + list->length, part, length);
  list->length += length;
}

}  // namespace

void InitMultiString(MultiString* list) {
  list->text = nullptr;
  list->length = 0;
  list->capacity = 0;
  list->count = 0;
}

void FreeMultiString(MultiString* list) {
  free(list->text);
  InitMultiString(list);
}

int AppendEntry(MultiString* list, const char* first, const char* second, const char* third) {
  size_t a = PartLength(first), b = PartLength(second), c = PartLength(third);
  if (!Reserve(list, a + b + c + 1)) return 0;
  PutPart(list, first, a);
  PutPart(list, second, b);
  PutPart(list, third, c);
  list->text[list->length++] = '\0';
  list->text[list->length] = '\0';
  ++list->count;
  return 1;
}

int AppendEntryOf(MultiString* list, const char* text, size_t length) {
  if (!Reserve(list, length + 1)) return 0;
  PutPart(list, text, length);
  list->text[list->length++] = '\0';
  list->text[list->length] = '\0';
  ++list->count;
  return 1;
}

int AppendPath(MultiString* list, const char* folder, const char* name) {
  const char* separator = folder != nullptr && EndsWithBackslash(folder) ? nullptr : "\\";
  return AppendEntry(list, folder, separator, name);
}

int AppendEntries(MultiString* list, const char* entries, size_t size) {
  size_t offset = 0;
  while (offset < size && entries[offset] != '\0') {
    size_t length = 0;
    while (offset + length < size && entries[offset + length] != '\0') ++length;
    if (!AppendEntryOf(list, entries + offset, length)) return 0;
    offset += length + 1;
  }
  return 1;
}

const char* MultiStringEntry(const MultiString* list, int index) {
  if (index < 0 || index >= list->count) return nullptr;
  const char* entry = list->text;
  for (int i = 0; i < index; ++i) entry += strlen(entry) + 1;
  return entry;
}

const char* MultiStringText(const MultiString* list) {
  return list->text != nullptr ? list->text : kEmpty;
}

size_t MultiStringSize(const MultiString* list) {
  return list->text != nullptr ? list->length + 1 : sizeof(kEmpty);
}
