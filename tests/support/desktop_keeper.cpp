// Keeps the Wine desktop of the test prefix in use for the whole test run.
// Wine closes a desktop shortly after the last process that uses it ends;
// tests that need no window (most of them: the program loads user32 only
// when it first calls it) would let it close, and a desktop started again
// while the prefix is young makes every later window wait for seconds.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // Never shown: no test sees it among the visible windows.
  HWND window = CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  if (window == nullptr) return 1;
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  return 0;
}
