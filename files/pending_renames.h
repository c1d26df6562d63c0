// Reading the operations the system will carry out at its next start. Needs
// no Windows: the callers read the data, these walk it.
#pragma once
#include <stddef.h>
#include <wchar.h>

struct MultiString;

// Whether the pending file operations in data (pairs of source and destination,
// each zero-terminated, as in "PendingFileRenameOperations", read as UTF-16;
// count characters, not necessarily terminated) concern a file named name: a
// move by its destination's last component, a deletion (empty destination) by
// its source's. The case of ASCII letters does not count.
int PendingOperationsConcern(const wchar_t* data, size_t count, const wchar_t* name);

// Copies into kept, in their order and character for character, the
// operations of data (pairs as above) that concern none of paths (a
// multi-string of full paths): an operation concerns a path when its source
// or its destination, without the system's "\??\" prefix and the "!" of a
// replacing move, is that path, ignoring the case of ASCII letters. kept
// (room for count + 3 characters) receives them as a multi-string, and
// *keptCount its characters, the final zero included. moved, when not null
// (room for count + 2), receives as a multi-string the sources, without their
// prefix, of the moves left out that went onto one of paths from a path that
// is none of them: staged copies nothing will move any more. Answers the
// number of operations left out.
int KeepPendingOperationsApartFrom(const wchar_t* data, size_t count, const wchar_t* paths,
                                   wchar_t* kept, size_t* keptCount, wchar_t* moved);
// The same over the lines of a "rename" section (a multi-string) into kept: a
// line concerns a path when its destination, or its source, is that path;
// paths are then short (8.3) paths, as the lines hold them. moved, when not
// null, receives the sources of the moves left out, as above. Answers -1
// when memory runs out.
int KeepRenameLinesApartFrom(const char* section, size_t size, const char* paths,
                             MultiString* kept, MultiString* moved);
