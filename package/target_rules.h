// Decisions of the target choice that need no Windows: the shortening of a
// path for display.
#pragma once
#include <stddef.h>

// Answers nonzero when text is too wide for the window it is to be shown in.
typedef int (*TooWideFunction)(const char* text, void* context);

// Fills shown (cap bytes) with fullPath, shortened for display: while the
// text is too wide and holds at least two backslashes, the part before the
// last component loses its own last component to " ... ". Answers 0 when
// fullPath does not fit into shown.
int ShortenPathForDisplay(char* shown, size_t cap, const char* fullPath, TooWideFunction tooWide,
                          void* context);
