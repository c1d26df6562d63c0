// Deletions and moves recorded for the next start of the system: on the NT
// family in its list of pending file operations, on Windows 9x in the section
// "rename" of WININIT.INI. The platform family comes from the version query.
#pragma once

// Deletes a file (or, on NT, a folder) at the restart.
int ScheduleDeleteAtRestart(const char* path);
// Deletes every path of a multi-string at the restart, in order.
int ScheduleDeleteListAtRestart(const char* paths);
// Moves source onto destination at the restart, replacing it: a source gone
// by then leaves the destination as it is.
int ScheduleMoveAtRestart(const char* source, const char* destination);
// Withdraws every operation pending for the restart that concerns one of
// paths (a multi-string of full paths): a move onto or of it, its deletion.
// Operations on other paths, other programs' among them, stay as they were
// and in their order. The sources of the moves onto paths, staged copies
// nothing will move now, are deleted: now, or at the restart while in use.
// Answers 1 when none on paths is left pending.
int WithdrawRestartOperations(const char* paths);
// Whether an operation in the system's list of pending operations concerns
// a file named name (a file name without folder; letter case does not
// count). Windows 9x keeps no such list in the registry: there it answers 0.
int IsRenamePending(const char* name);
