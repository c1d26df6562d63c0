// unicows.dll of the sample package: the two conversions the setup program
// binds from the Unicode layer on Windows 9x, passed on to the system's own.
// The system's functions are looked up by name in kernel32 so that a call can
// never come back into these exports (the .def file exports them under the
// system's names).
#include <windows.h>

namespace {

using MultiByteToWideCharProc = int(WINAPI*)(UINT, DWORD, LPCSTR, int, LPWSTR, int);
using WideCharToMultiByteProc = int(WINAPI*)(UINT, DWORD, LPCWSTR, int, LPSTR, int, LPCSTR, LPBOOL);

FARPROC SystemProc(const char* name) {
  HMODULE kernel = GetModuleHandleA("kernel32.dll");
  return kernel != nullptr ? GetProcAddress(kernel, name) : nullptr;
}

}  // namespace

extern "C" int WINAPI LayerMultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int length,
                                               LPWSTR wide, int wideLength) {
  auto proc = reinterpret_cast<MultiByteToWideCharProc>(SystemProc("MultiByteToWideChar"));
  if (proc == nullptr) {
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return 0;
  }
  return proc(codePage, flags, text, length, wide, wideLength);
}

extern "C" int WINAPI LayerWideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wide, int wideLength,
                                               LPSTR text, int length, LPCSTR defaultChar,
                                               LPBOOL usedDefaultChar) {
  auto proc = reinterpret_cast<WideCharToMultiByteProc>(SystemProc("WideCharToMultiByte"));
  if (proc == nullptr) {
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return 0;
  }
  return proc(codePage, flags, wide, wideLength, text, length, defaultChar, usedDefaultChar);
}
