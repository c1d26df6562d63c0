// The install and uninstall step lists.
#pragma once
#include <windows.h>

#include "common/run_records.h"

// Runs the step list of the mode in flags, moving the progress window's bar;
// answers context->succeeded.
int RunStepList(SetupContext* context, HWND progress);
