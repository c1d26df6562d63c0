// Text checks of the registry subsystem that need no Windows: what a string
// read got back, and the packed form of a version.
#pragma once
#include <stddef.h>
#include <stdint.h>

// Registry types of string values: REG_SZ and REG_EXPAND_SZ.
enum : uint32_t { RegistryStringType = 1, RegistryExpandStringType = 2 };

// Completes a string read that answered success: type and got are what the
// system reported, buffer holds size bytes. Text of either string type is
// taken as it stands (nothing is expanded); a value of another type fails;
// data without a terminating zero is terminated when there is room after it
// and fails otherwise. On failure the buffer is left empty.
int CompleteStringRead(uint32_t type, char* buffer, size_t size, size_t got);

// A version of exactly eight characters is a packed number, eight hexadecimal
// digits: "0103000B" becomes "1.03.000B". Any other text stays as it is.
// Answers 0 only when the expanded text does not fit (the text then stays).
int ExpandPackedVersion(char* version, size_t cap);
