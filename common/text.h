// Bounded text building. Every copy or format into a fixed buffer in the
// program goes through these helpers. Each answers 1 when the whole text and
// its terminating zero fit, else 0; on 0 the destination is left unchanged.
#pragma once
#include <stdarg.h>
#include <stddef.h>

// Copies src into dst (capacity cap bytes, terminator included).
int TextCopy(char* dst, size_t cap, const char* src);
// Copies at most count bytes of src (stopping at its terminator) and terminates.
int TextCopyN(char* dst, size_t cap, const char* src, size_t count);
// Appends src to the zero-terminated text already in dst.
int TextAppend(char* dst, size_t cap, const char* src);
// Formats into dst. Understands %s, %c, %d, %i, %u, %x, %X, %lu, %ld, %lx,
// %lX, %% with an optional "0" flag and a field width (as in "%04X").
int TextFormat(char* dst, size_t cap, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 3, 4)))
#endif
    ;
int TextFormatV(char* dst, size_t cap, const char* format, va_list args);
// Length of a zero-terminated text, reading at most cap bytes; cap when no
// terminator lies within them.
size_t TextLength(const char* text, size_t cap);
