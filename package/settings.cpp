#include "package/settings.h"

// Placeholder until the settings lookup lands: no setting is found.
int GetSetting(const char*, const char*, const char*, char* buffer, int size, const char*) {
  if (buffer != nullptr && size > 0) buffer[0] = '\0';
  return 0;
}
