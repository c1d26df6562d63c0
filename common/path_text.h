// Texts of paths and names: roots, full paths, components, short names. Needs no Windows.
// Paths are split and joined only at backslashes that are characters of their
// own: the second byte of a double-byte character (g_pathCodePage) never
// counts as one.
#pragma once
#include <stddef.h>

// Whether two texts are equal, ignoring the case of ASCII letters; the first
// is given by its length.
int NameEqualsNoCase(const char* text, size_t length, const char* name);
// The first backslash of text, or null.
const char* FindBackslash(const char* text);
// The last backslash of text, or null.
const char* FindLastBackslash(const char* text);
inline char* FindBackslash(char* text) {
  return const_cast<char*>(FindBackslash(static_cast<const char*>(text)));
}
inline char* FindLastBackslash(char* text) {
  return const_cast<char*>(FindLastBackslash(static_cast<const char*>(text)));
}
// Whether the last character of text is a backslash.
int EndsWithBackslash(const char* text);
// Offset of the last path component within the first length bytes of path:
// the text after the last backslash, or the whole text when there is none.
size_t LastComponentOffset(const char* path, size_t length);
// Length of the root of a full path: "X:" of a drive path, "\\server\share"
// of a network path; 0 when the path has neither.
size_t PathRootLength(const char* path);
// Whether path is a full path: a drive and a backslash ("C:\..."), or a share.
int IsFullPath(const char* path);
// Whether two full paths lie under the same root (drive or share). Paths
// whose roots cannot be told count as the same.
int SameRoot(const char* first, const char* second);
// Whether name is a valid file name in 8.3 form: one to eight characters, an
// optional dot with one to three more, none of them a character that a short
// name may not hold, and not a device name.
int IsValidShortName(const char* name);
