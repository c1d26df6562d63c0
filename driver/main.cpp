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
