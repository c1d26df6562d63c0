// Double-byte characters: which bytes begin one in the code page that path
// texts are read in. In code pages 932, 936 and 950 the second byte of a
// character can be 0x5C, the byte of a backslash.
#pragma once

// The process's ANSI code page (the system's CP_ACP).
enum { AnsiCodePage = 0 };

// The code page of path texts: AnsiCodePage, unless a tool reads a package
// for the language of another code page.
extern unsigned g_pathCodePage;

// Whether byte begins a two-byte character in g_pathCodePage. Windows asks
// the system; elsewhere the lead bytes of 932, 936, 949 and 950 are known,
// and AnsiCodePage has none.
int IsLeadByte(unsigned char byte);
