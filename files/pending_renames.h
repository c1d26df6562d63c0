// Reading the operations the system will carry out at its next start. Needs
// no Windows: the callers read the data, these walk it.
#pragma once
#include <stddef.h>

// Whether the pending file operations in data (pairs of source and destination,
// each zero-terminated, as in "PendingFileRenameOperations"; size bytes, not
// necessarily terminated) concern a file named name: a move by its
// destination's last component, a deletion (empty destination) by its source's.
// Letter case does not count.
int PendingOperationsConcern(const char* data, size_t size, const char* name);
// The same over the lines of a "rename" section of WININIT.INI as a
// multi-string: "NUL=source" deletes source, "destination=source" moves.
int RenameSectionConcerns(const char* section, size_t size, const char* name);
