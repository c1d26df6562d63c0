// The choice of installation folder, program group and shortcuts.
#pragma once

struct SetupContext;

// Fills context->target (and previousVersion, cancelled); answers 1 when the
// choice is complete, 0 when a required value is missing.
int ChooseTarget(SetupContext* context);
