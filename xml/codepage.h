// The two conversion functions XmlConvertValue calls, bound at run time.
// On Windows they come from "kernel32.dll" (NT family) or "unicows.dll"
// (9x family); elsewhere from this engine's own UTF-8 and windows-1252
// conversions, which follow the Win32 contracts.
#pragma once
#include <stdint.h>

#ifdef _WIN32
#include <windows.h>
typedef WCHAR XmlWideChar;
#define XML_CODEPAGE_API WINAPI
#else
typedef char16_t XmlWideChar;
#define XML_CODEPAGE_API
#endif

enum { XmlCodePageAnsi = 0, XmlCodePageWindows1252 = 1252, XmlCodePageUtf8 = 65001 };

typedef int(XML_CODEPAGE_API* XmlMultiByteToWideCharProc)(unsigned int codePage,
                                                          unsigned long flags, const char* text,
                                                          int bytes, XmlWideChar* wide, int units);
typedef int(XML_CODEPAGE_API* XmlWideCharToMultiByteProc)(
    unsigned int codePage, unsigned long flags, const XmlWideChar* wide, int units, char* text,
    int bytes, const char* defaultChar, int* usedDefaultChar);

struct CodePageFunctions {
  XmlMultiByteToWideCharProc multiByteToWideChar;
  XmlWideCharToMultiByteProc wideCharToMultiByte;
};

// Process-wide; null until bound, never reset by the engine.
extern CodePageFunctions g_codePageFunctions;

#ifdef _WIN32
// The module that supplies the functions for a platform id of GetVersionExA.
const char* SelectCodePageModule(unsigned long platformId);
// Binding for a given platform id (BindCodePageFunctions without the version
// query): looks the module up without loading it and stores both results.
int BindCodePageFunctionsFor(unsigned long platformId);
#endif

// UTF-8 to UTF-16 and UTF-16 to windows-1252 ("?" for what it lacks), with the
// argument and result rules of MultiByteToWideChar and WideCharToMultiByte.
// Code pages: XmlCodePageUtf8 in, XmlCodePageAnsi or XmlCodePageWindows1252
// out; any other answers 0.
int XML_CODEPAGE_API ConvertUtf8ToWide(unsigned int codePage, unsigned long flags, const char* text,
                                       int bytes, XmlWideChar* wide, int units);
int XML_CODEPAGE_API ConvertWideToWindows1252(unsigned int codePage, unsigned long flags,
                                              const XmlWideChar* wide, int units, char* text,
                                              int bytes, const char* defaultChar,
                                              int* usedDefaultChar);
