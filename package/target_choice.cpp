#include "package/target_choice.h"

// Placeholder until the target choice lands: nothing chosen, nothing cancelled.
int ChooseTarget(SetupContext*) { return 1; }
