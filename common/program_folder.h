// What a program folder must be before anything is installed into it. The
// install dialog asks it of the folder typed or chosen, the file step of the
// folder it is given. Needs no Windows.
#pragma once

// The longest name a file of the program set is installed under.
enum { ProgramFileNameMax = 12 };

// A full path (a drive and a backslash, or a share) with room, within the
// 260 bytes of a path, for a backslash and the longest installed name: an
// empty or relative folder would put the files under the current folder or
// the current drive's root, and one too long would fail half way through
// the moves.
int IsUsableProgramFolder(const char* folder);
