// The options of the command line: slash letters into the option word.
#pragma once
#include <stdint.h>

#include "common/option_bits.h"

struct SetupContext;

// Applies the slash options of a command-line text to an option word.
// Only the first character after each "/" counts; unknown ones are ignored.
// Needs no Windows.
void ApplyOptionText(const char* text, uint32_t* flags);
// Updates context->flags from the command-line text. Always answers 1.
int ParseOptions(const char* commandLine, SetupContext* context);
