#include <windows.h>

#include "driver/setup_context.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  SetupContext context;
  InitSetupContext(&context);
  return RunSetup(instance, commandLine, &context);
}
