// Is the product running? By its mutex from version 1.03.0000 on, by its
// main window's title before that.
#include <windows.h>

#include "driver/setup_context.h"

namespace {

// Byte-wise unsigned comparison over at most 10 bytes (nine characters and the zero).
int CompareVersionText(const char* a, const char* b) {
  for (int i = 0; i < 10; ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]);
    unsigned char y = static_cast<unsigned char>(b[i]);
    if (x != y) return x < y ? -1 : 1;
    if (x == 0) break;
  }
  return 0;
}

}  // namespace

void CheckRunningInstance(SetupContext* context) {
  const char* name = context->target.productName;
  context->instanceRunning = 0;
  // An empty name identifies nothing (an empty window title is common).
  if (name[0] == '\0') return;

  if (CompareVersionText(context->previousVersion, "1.03.0000") >= 0) {
    HANDLE mutex = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, name);
    if (mutex == nullptr) return;
    if (context->flags & OptRelaunch) {
      DWORD wait = WaitForSingleObject(mutex, INFINITE);
      if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) {
        // We own it now; holding it would keep the product we start later
        // from taking its own mutex.
        ReleaseMutex(mutex);
      } else {
        context->instanceRunning = 1;
      }
    } else {
      context->instanceRunning = 1;
    }
    CloseHandle(mutex);
    return;
  }
  context->instanceRunning = FindWindowA(nullptr, name) != nullptr;
}
