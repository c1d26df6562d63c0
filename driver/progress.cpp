#include "driver/progress.h"

#include <commctrl.h>

#include "common/resource_strings.h"
#include "resources/resource_ids.h"

DWORD g_progressPause = 50;

namespace {

const int kProgressPositions = 8;

void SetBarPosition(HWND window, int position) {
  SendMessageA(GetDlgItem(window, IDC_PROGRESS_BAR), PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

}  // namespace

void ProcessPendingMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

HWND ShowProgressWindow(HINSTANCE instance) {
  HWND window = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_PROGRESS), nullptr,
                                   ProgressDialogProc, 0);
  ShowWindow(window, SW_SHOW);
  ProcessPendingMessages();
  return window;
}

INT_PTR CALLBACK ProgressDialogProc(HWND window, UINT message, WPARAM, LPARAM) {
  if (message != WM_INITDIALOG) return FALSE;
  // The title is the install title in both modes.
  HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
  char title[MAX_PATH];
  LoadResourceString(instance, IDS_INSTALL_TITLE, title, MAX_PATH);
  SetWindowTextA(window, title);
  HWND bar = GetDlgItem(window, IDC_PROGRESS_BAR);
  SendMessageA(bar, PBM_SETPOS, 0, 0);
  SendMessageA(bar, PBM_SETRANGE, 0, MAKELPARAM(0, kProgressPositions));
  return TRUE;
}

void ProgressStep(HWND window, int position) {
  SetBarPosition(window, position);
  ProcessPendingMessages();
  Sleep(g_progressPause);
}

void ProgressMove(HWND window, int position) {
  SetBarPosition(window, position);
  ProcessPendingMessages();
}
