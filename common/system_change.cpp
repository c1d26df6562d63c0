#include "common/system_change.h"

#include <windows.h>

#include "common/text.h"

namespace {

SystemChangeFilter g_filter = nullptr;

}  // namespace

void SetSystemChangeFilter(SystemChangeFilter filter) { g_filter = filter; }

int AllowSystemChange(const char* change) {
  if (g_filter == nullptr || g_filter(change != nullptr ? change : "")) return 1;
  SetLastError(ERROR_ACCESS_DENIED);
  return 0;
}

int AllowSystemChangeOf(const char* word, const char* path) {
  if (g_filter == nullptr) return 1;
  // Descriptions are for the tests' eyes only: a long one is cut.
  char change[2 * MAX_PATH];
  if (!TextFormat(change, sizeof(change), "%s %s", word, path != nullptr ? path : "")) {
    TextCopy(change, sizeof(change), word);
  }
  return AllowSystemChange(change);
}
