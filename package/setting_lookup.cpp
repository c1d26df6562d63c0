#include "package/setting_lookup.h"

#include <string.h>

#include "common/text.h"

char* CutSettingReference(char* value) {
  if (value == nullptr || value[0] != '%') return nullptr;
  size_t length = strlen(value);
  if (value[length - 1] != '%') return nullptr;
  // "%" and "%%" name the empty text: for "%" that is its own terminator.
  value[length - 1] = '\0';
  return value + 1;
}

int FormatLanguageSection(uint16_t languageId, char* section, uint32_t size) {
  return TextFormat(section, size, "STRINGS.%04X", static_cast<unsigned>(languageId));
}

int LookupSetting(ProfileReader read, uint16_t languageId, uint16_t primaryLanguageId,
                  const char* section, const char* key, const char* defaultText, char* buffer,
                  int size, const char* file) {
  if (read == nullptr || buffer == nullptr || size <= 0) return 0;
  if (defaultText == nullptr) defaultText = "";
  // The value is read into a buffer of its own; a caller with more room than
  // a setting has still gets at most SettingCapacity - 1 characters.
  const uint32_t room =
      size < SettingCapacity ? static_cast<uint32_t>(size) : static_cast<uint32_t>(SettingCapacity);
  char value[SettingCapacity];
  memset(value, 0, sizeof(value));
  if (read(section, key, defaultText, value, room, file) == 0) return 0;
  value[room - 1] = '\0';

  const char* name = CutSettingReference(value);
  if (name == nullptr) {
    if (!TextCopy(buffer, static_cast<size_t>(size), value)) return 0;
    return static_cast<int>(strlen(buffer));
  }

  char languageSection[16];
  uint32_t found = 0;
  if (FormatLanguageSection(languageId, languageSection, sizeof(languageSection))) {
    found = read(languageSection, name, defaultText, buffer, static_cast<uint32_t>(size), file);
  }
  if (found == 0 &&
      FormatLanguageSection(primaryLanguageId, languageSection, sizeof(languageSection))) {
    found = read(languageSection, name, defaultText, buffer, static_cast<uint32_t>(size), file);
  }
  if (found == 0) {
    found = read("STRINGS", name, defaultText, buffer, static_cast<uint32_t>(size), file);
  }
  return static_cast<int>(found);
}
