// Is the product running?
#pragma once

#include "common/run_records.h"

// Sets instanceRunning from the product's mutex or main window.
void CheckRunningInstance(SetupContext* context);
