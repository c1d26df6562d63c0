#include <windows.h>

#include "common/system_library.h"
#include "driver/options.h"
#include "driver/setup_sequence.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  // Before anything loads a DLL by name: the setup runs from whatever folder
  // it was downloaded to, which may hold files named like system DLLs.
  RestrictLibrarySearch();
  SetupContext context;
  InitSetupContext(&context);
  return RunSetup(instance, commandLine, &context);
}

// The entry of setup.exe (linked without the C runtime's start code, which
// is most of its size and sets up nothing it uses: no arguments vector, no
// constructors, no thread-local data; msvcrt.dll sets itself up on loading).
// A data import that would need the start code's run-time relocation fails
// to link (--disable-auto-import).
extern "C" __attribute__((force_align_arg_pointer, noreturn)) void WinMainCRTStartup() {
  char* arguments = const_cast<char*>(SkipProgramName(GetCommandLineA()));
  ExitProcess(WinMain(GetModuleHandleA(nullptr), nullptr, arguments, SW_SHOWDEFAULT));
}
