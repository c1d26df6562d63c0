// The options of the command line: slash letters into the option word.
#pragma once
#include <stdint.h>

#include "common/option_bits.h"

struct SetupContext;

// Applies the slash options of a command-line text to an option word.
// Only the first character after each "/" counts; unknown ones are ignored.
// Needs no Windows.
void ApplyOptionText(const char* text, uint32_t* flags);
// The command line after the program's name and the blanks that follow it,
// as WinMain receives it: quotes group, and only a blank or a control
// character ends the name (bytes from 0x80 are part of it). Needs no Windows.
const char* SkipProgramName(const char* commandLine);
// Updates context->flags from the command-line text. Always answers 1.
int ParseOptions(const char* commandLine, SetupContext* context);
