// The progress window shown while a step list runs.
#pragma once
#include <windows.h>

// Creates and shows the progress window; answers its handle (none on failure).
HWND ShowProgressWindow(HINSTANCE instance);
INT_PTR CALLBACK ProgressDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Moves the bar to position and pauses so that the move is seen.
void ProgressStep(HWND window, int position);
// Moves the bar without the pause.
void ProgressMove(HWND window, int position);
