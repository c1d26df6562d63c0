// The progress window shown while a step list runs: dialog 102, one bar with
// positions 0 to 8, no buttons and no input.
#pragma once
#include <windows.h>

// Creates and shows the progress window; answers its handle (none on failure).
HWND ShowProgressWindow(HINSTANCE instance);
INT_PTR CALLBACK ProgressDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Moves the bar to position and pauses so that the move is seen.
void ProgressStep(HWND window, int position);
// The pause of each step in milliseconds (50); tests that run many step
// lists in a row set it to 0.
extern DWORD g_progressPause;
// Moves the bar without the pause.
void ProgressMove(HWND window, int position);
// Handles the window messages waiting for this thread, so that the window
// repaints between steps; a quit request is left for whoever runs a loop.
void ProcessPendingMessages();
