// The test seam in front of every call of the install and uninstall steps
// that changes the system: file and folder operations, restart operations,
// registry writes and deletions, shortcut saves and removals. Unset, every
// change is made. A test sets a filter to see each change asked for and to
// make a chosen one fail as a refused system call would.
#pragma once

// Answers 0 to refuse the change described by change (a value name for a
// registry value, else a short word and the path or key).
typedef int (*SystemChangeFilter)(const char* change);

// nullptr makes every change again.
void SetSystemChangeFilter(SystemChangeFilter filter);
// Asked before each change; 0 means the caller fails the change without
// making it (the last error is then ERROR_ACCESS_DENIED).
int AllowSystemChange(const char* change);
// The same with the description made of a word and a path.
int AllowSystemChangeOf(const char* word, const char* path);
