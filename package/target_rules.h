// Decisions of the target choice that need no Windows: the version order,
// the program group rule and the shortening of a path for display.
#pragma once
#include <stddef.h>

// Shell folder ids the program group rule chooses between.
enum : int {
  kFolderPrograms = 0x02,
  kFolderStartMenu = 0x0B,
  kFolderCommonStartMenu = 0x16,
  kFolderCommonPrograms = 0x17,
};

// Orders two version texts byte by byte as unsigned values over at most ten
// bytes (nine characters and the terminator): <0, 0 or >0.
int CompareVersionBytes(const char* a, const char* b);

// The shell folder that a GROUP value is based on.
int ProgramGroupBaseFolder(const char* group, int isNt);
// Builds the program group folder from the base folder and the GROUP value;
// answers 0 (folder unchanged) when it does not fit into cap bytes.
int ComposeProgramGroup(char* folder, size_t cap, const char* base, const char* group);

// Answers nonzero when text is too wide for the window it is to be shown in.
typedef int (*TooWideFunction)(const char* text, void* context);

// Fills shown (cap bytes) with fullPath, shortened for display: while the
// text is too wide and holds at least two backslashes, the part before the
// last component loses its own last component to " ... ". Answers 0 when
// fullPath does not fit into shown.
int ShortenPathForDisplay(char* shown, size_t cap, const char* fullPath, TooWideFunction tooWide,
                          void* context);
