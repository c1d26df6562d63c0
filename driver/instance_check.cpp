// Is the product running? By its mutex from version 1.03.0000 on, by its
// main window's title before that.
#include "driver/instance_check.h"

#include <windows.h>

#include "common/version_text.h"

void CheckRunningInstance(SetupContext* context) {
  const char* name = context->target.productName;
  context->instanceRunning = 0;
  // An empty name identifies nothing (an empty window title is common).
  if (name[0] == '\0') return;

  if (CompareVersionBytes(context->previousVersion, "1.03.0000") >= 0) {
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
