// The start of every run: mode, options, package, rights, system, target,
// then the step list and the end of the run.
#pragma once
#include <windows.h>

#include "common/run_records.h"

// Initialises a context as every run starts: install mode, everything else empty.
void InitSetupContext(SetupContext* context);
// The whole install or uninstall run after the mode was chosen; answers the exit code.
int RunSetup(HINSTANCE instance, const char* commandLine, SetupContext* context);
