// Answers INI-style questions (release id as section, key) from the XML
// package descriptor.
#pragma once
#include <stddef.h>
#include <stdint.h>

struct XmlDocument;
struct SystemProfile;

enum {
  DescriptorKeyCount = 25,
  DescriptorPathCapacity = 260,  // room of every path built here, terminator included
  // Indirections (gd elements and CDATA sections) followed for one value.
  DescriptorMaxIndirections = 16,
};

// One key: the element below the release, the attribute predicates that
// narrow it (written as they go into the path, "[@id=NT]", or ""), and the
// attribute whose value is the answer (null: the element's text is).
struct DescriptorKeyRow {
  const char* key;
  const char* element;
  const char* predicates;
  const char* answer;
};

extern const DescriptorKeyRow DescriptorKeyMap[DescriptorKeyCount];

// The first row whose key equals key without regard to case, or null.
const DescriptorKeyRow* FindDescriptorKey(const char* key);

// Builds "/build/nvx[@id=P]/xrelease/release[@id=R]/element" and the row's
// predicates into path (capacity size) and stores the answer attribute (null
// for the element text). Answers 1, or 0 when the path does not fit (path is
// then unusable).
int BuildDescriptorPath(const DescriptorKeyRow* row, const char* packageId, const char* releaseId,
                        char* path, size_t size, const char** answerAttribute);

// Converts the value of key in release releaseId of package packageId into
// buffer (capacity size, system code page). Answers 1 when it was converted;
// emptyResult (buffer untouched) when the element exists with empty text; 0
// when the key is unknown, the path leads nowhere, an indirection fails, a
// path would not fit or the value does not fit.
int LookupDescriptorValue(const char* releaseId, const char* key, char* buffer, uint32_t size,
                          const char* packageId, const XmlDocument* document,
                          const SystemProfile* profile, int emptyResult);
