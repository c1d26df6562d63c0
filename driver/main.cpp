#include <windows.h>

#include "common/system_library.h"
#include "driver/setup_sequence.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  // Before anything loads a DLL by name: the setup runs from whatever folder
  // it was downloaded to, which may hold files named like system DLLs.
  RestrictLibrarySearch();
  SetupContext context;
  InitSetupContext(&context);
  return RunSetup(instance, commandLine, &context);
}

namespace {

// The text after the program's name, skipped as MinGW's start code skips it:
// quotes group, and bytes from 0x80 (signed chars) end the name outside them.
char* ArgumentsOf(char* line) {
  int quoted = 0;
  while (static_cast<signed char>(*line) > ' ' || (*line != '\0' && quoted)) {
    if (*line == '"') quoted = !quoted;
    ++line;
  }
  while (*line != '\0' && static_cast<signed char>(*line) <= ' ') ++line;
  return line;
}

}  // namespace

// The entry of setup.exe (linked without the C runtime's start code, which
// is most of its size and sets up nothing it uses: no arguments vector, no
// constructors, no thread-local data; msvcrt.dll sets itself up on loading).
extern "C" __attribute__((force_align_arg_pointer, noreturn)) void WinMainCRTStartup() {
  ExitProcess(WinMain(GetModuleHandleA(nullptr), nullptr, ArgumentsOf(GetCommandLineA()), SW_SHOWDEFAULT));
}
