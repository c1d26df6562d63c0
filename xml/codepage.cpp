#include "xml/codepage.h"

#include "xml/xml.h"

#ifdef _WIN32
#include "common/os_version.h"
#endif

CodePageFunctions g_codePageFunctions = {nullptr, nullptr};

#ifdef _WIN32

const char* SelectCodePageModule(unsigned long platformId) {
  return platformId == VER_PLATFORM_WIN32_WINDOWS ? "unicows.dll" : "kernel32.dll";
}

int BindCodePageFunctionsFor(unsigned long platformId) {
  // The package loader loads the Unicode layer on 9x; here it is only looked
  // up, so a layer that is not in the process leaves both functions unbound.
  HMODULE module = GetModuleHandleA(SelectCodePageModule(platformId));
  FARPROC toWide = nullptr;
  FARPROC toAnsi = nullptr;
  if (module != nullptr) {
    toWide = GetProcAddress(module, "MultiByteToWideChar");
    toAnsi = GetProcAddress(module, "WideCharToMultiByte");
  }
  g_codePageFunctions.multiByteToWideChar = reinterpret_cast<XmlMultiByteToWideCharProc>(toWide);
  g_codePageFunctions.wideCharToMultiByte = reinterpret_cast<XmlWideCharToMultiByteProc>(toAnsi);
  return toWide != nullptr && toAnsi != nullptr ? 1 : 0;
}

int BindCodePageFunctions() {
  OSVERSIONINFOA version;
  if (!ReadOsVersion(&version)) return 0;
  return BindCodePageFunctionsFor(version.dwPlatformId);
}

#else

int BindCodePageFunctions() {
  g_codePageFunctions.multiByteToWideChar = ConvertUtf8ToWide;
  g_codePageFunctions.wideCharToMultiByte = ConvertWideToWindows1252;
  return 1;
}

#endif
