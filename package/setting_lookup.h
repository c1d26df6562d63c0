// The lookup rule of the settings files, apart from the profile-file reader so
// that it builds and is tested without Windows.
#pragma once
#include <stdint.h>

// Room of one setting value, terminator included.
enum { SettingCapacity = 260 };

// Reads one value of an INI file as GetPrivateProfileStringA does: the value,
// or defaultText when the key is missing, into buffer (capacity size); answers
// the number of characters placed there.
typedef uint32_t (*ProfileReader)(const char* section, const char* key, const char* defaultText,
                                  char* buffer, uint32_t size, const char* file);

// When value is written as a reference (it begins and ends with "%"), cuts
// off the trailing "%" and answers the name, the text after the leading "%"
// (empty for "%" and "%%"); otherwise answers null and leaves value unchanged.
char* CutSettingReference(char* value);

// Names the language section of languageId ("STRINGS.0407") into section
// (capacity size). Answers 1, or 0 when it does not fit.
int FormatLanguageSection(uint16_t languageId, char* section, uint32_t size);

// Reads section/key into buffer (capacity size). A reference is looked up as
// a key of STRINGS.<languageId>, STRINGS.<primaryLanguageId> and STRINGS, in
// that order, straight into buffer. Answers the number of characters placed
// in buffer; 0 when nothing was found (buffer untouched unless a reference
// was followed, which leaves the default there).
int LookupSetting(ProfileReader read, uint16_t languageId, uint16_t primaryLanguageId,
                  const char* section, const char* key, const char* defaultText, char* buffer,
                  int size, const char* file);
