#include "driver/progress.h"

// Placeholder until the progress window lands: no window, steps only pause.
HWND ShowProgressWindow(HINSTANCE) { return nullptr; }
INT_PTR CALLBACK ProgressDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
void ProgressStep(HWND, int) { Sleep(50); }
void ProgressMove(HWND, int) {}
