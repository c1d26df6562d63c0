// Reading the operations the system will carry out at its next start. Needs
// no Windows: the callers read the data, these walk it.
#pragma once
#include <stddef.h>

struct MultiString;

// Whether the pending file operations in data (pairs of source and destination,
// each zero-terminated, as in "PendingFileRenameOperations"; size bytes, not
// necessarily terminated) concern a file named name: a move by its
// destination's last component, a deletion (empty destination) by its source's.
// Letter case does not count.
int PendingOperationsConcern(const char* data, size_t size, const char* name);
// The same over the lines of a "rename" section of WININIT.INI as a
// multi-string: "NUL=source" deletes source, "destination=source" moves.
int RenameSectionConcerns(const char* section, size_t size, const char* name);

// Copies into kept, in their order, the operations of data (pairs as above)
// that concern none of paths (a multi-string of full paths): an operation
// concerns a path when its source or its destination, without the system's
// "\??\" prefix and the "!" of a replacing move, is that path, ignoring
// letter case. Answers the number of operations left out, or -1 when memory
// runs out.
int KeepPendingOperationsApartFrom(const char* data, size_t size, const char* paths,
                                   MultiString* kept);
// The same over the lines of a "rename" section (a multi-string): a line
// concerns a path when its destination, or its source, is that path; paths
// are then short (8.3) paths, as the lines hold them.
int KeepRenameLinesApartFrom(const char* section, size_t size, const char* paths,
                             MultiString* kept);
