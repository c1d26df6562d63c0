#include "common/resource_strings.h"

int LoadResourceString(HINSTANCE instance, UINT id, char* buffer, int size) {
  buffer[0] = '\0';
  return LoadStringA(instance, id, buffer, size);
}
