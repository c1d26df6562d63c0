// A growing multi-string: texts one after another, each ended by a zero byte,
// the whole ended by one more zero byte. Shell file lists, profile sections and
// REG_MULTI_SZ values all take this form. Needs no Windows.
#pragma once
#include <stddef.h>

struct MultiString {
  char* text;       // entries and the final zero; null until the first entry
  size_t length;    // bytes of the entries with their zeros, final zero excluded
  size_t capacity;  // bytes allocated at text
  int count;        // number of entries
};

void InitMultiString(MultiString* list);
void FreeMultiString(MultiString* list);

// Appends one entry made of the parts joined (null parts are skipped).
// Answers 0 and leaves the list unchanged when memory runs out.
int AppendEntry(MultiString* list, const char* first, const char* second = nullptr,
                const char* third = nullptr);
// Appends one entry of exactly length bytes of text (possibly empty: an empty
// entry, as the system's list of pending operations holds for a deletion).
int AppendEntryOf(MultiString* list, const char* text, size_t length);
// Appends folder and name with one backslash between them (none added when the
// folder already ends with one).
int AppendPath(MultiString* list, const char* folder, const char* name);
// Appends every entry of entries, a multi-string of at most size bytes; an
// entry cut off by the end of the data ends there.
int AppendEntries(MultiString* list, const char* entries, size_t size);

// The entry at index, or null past the last one.
const char* MultiStringEntry(const MultiString* list, int index);
// The whole multi-string; an empty one ("" and the final zero) when nothing was added.
const char* MultiStringText(const MultiString* list);
// Bytes of the whole multi-string, final zero included.
size_t MultiStringSize(const MultiString* list);
