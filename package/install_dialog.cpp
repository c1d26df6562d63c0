// Dialog 101: the installation folder and the desktop and Start-menu choices.
#include "package/install_dialog.h"

#include "common/program_folder.h"
#include "common/resource_strings.h"
#include "common/run_records.h"
#include "common/text.h"
#include "package/setup_package.h"
#include "resources/resource_ids.h"

namespace {

InstallTarget* DialogTarget(HWND dialog) {
  return reinterpret_cast<InstallTarget*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void InitInstallDialog(HWND dialog, InstallTarget* target) {
  HINSTANCE instance = g_setupPackage.instance;
  HICON icon = LoadIconA(instance, MAKEINTRESOURCEA(IDI_SETUP));
  SetClassLongPtrA(dialog, GCLP_HICON, reinterpret_cast<LONG_PTR>(icon));
  char text[MAX_PATH];
  LoadResourceString(instance, IDS_INSTALL_TITLE, text, MAX_PATH);
  SetWindowTextA(dialog, text);
  SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(target));

  // Typing stops at the buffer; OK tells when the folder is too long.
  SendDlgItemMessageA(dialog, IDC_TARGET_FOLDER, EM_LIMITTEXT, MAX_PATH - 1, 0);
  SetDlgItemTextA(dialog, IDC_TARGET_FOLDER, target->targetFolder);

  if (target->flags & OptFreshInstall) {
    LoadResourceString(instance, IDS_FRESH_FOLDER_LABEL, text, MAX_PATH);
  } else {
    LoadResourceString(instance, IDS_FOLDER_LABEL, text, MAX_PATH);
    EnableWindow(GetDlgItem(dialog, IDC_BROWSE), FALSE);
    SendDlgItemMessageA(dialog, IDC_TARGET_FOLDER, EM_SETREADONLY, TRUE, 0);
  }
  SetDlgItemTextA(dialog, IDC_FOLDER_LABEL, text);

  EnableWindow(GetDlgItem(dialog, IDCANCEL), !(target->flags & OptRelaunch));

  CheckDlgButton(dialog, IDC_DESKTOP_ICON, target->desktopShortcut ? BST_INDETERMINATE : BST_UNCHECKED);
  CheckDlgButton(dialog, IDC_START_MENU_ICON,
                 target->startMenuShortcut ? BST_INDETERMINATE : BST_UNCHECKED);
  if (target->internetFunction == 0 || (target->flags & OptKeepSettings)) {
    ShowWindow(GetDlgItem(dialog, IDC_DESKTOP_ICON), SW_HIDE);
    ShowWindow(GetDlgItem(dialog, IDC_START_MENU_ICON), SW_HIDE);
  }
}

void ToggleCheckBox(HWND dialog, int id) {
  UINT state = IsDlgButtonChecked(dialog, id);
  CheckDlgButton(dialog, id, state == BST_UNCHECKED ? BST_CHECKED : BST_UNCHECKED);
}

void AcceptInstallDialog(HWND dialog) {
  InstallTarget* target = DialogTarget(dialog);
  char folder[MAX_PATH];
  folder[0] = '\0';
  GetDlgItemTextA(dialog, IDC_TARGET_FOLDER, folder, MAX_PATH);
  // The file step's rule, at once: the dialog stays open and says why.
  if (!IsUsableProgramFolder(folder)) {
    char text[MAX_PATH];
    char caption[MAX_PATH];
    LoadResourceString(g_setupPackage.instance, IDS_FOLDER_UNUSABLE, text, MAX_PATH);
    LoadResourceString(g_setupPackage.instance, IDS_INSTALL_TITLE, caption, MAX_PATH);
    MessageBoxA(dialog, text, caption, MB_ICONWARNING);
    HWND edit = GetDlgItem(dialog, IDC_TARGET_FOLDER);
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    return;
  }
  target->desktopShortcut = IsDlgButtonChecked(dialog, IDC_DESKTOP_ICON) != BST_UNCHECKED;
  target->startMenuShortcut = IsDlgButtonChecked(dialog, IDC_START_MENU_ICON) != BST_UNCHECKED;
  target->browserButton = target->internetFunction != 0;
  TextCopy(target->targetFolder, MAX_PATH, folder);
  EndDialog(dialog, IDOK);
}

}  // namespace

INT_PTR CALLBACK InstallDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      InitInstallDialog(dialog, reinterpret_cast<InstallTarget*>(lParam));
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_BROWSE: {
          InstallTarget* target = DialogTarget(dialog);
          if (BrowseForTarget(target->targetFolder, dialog)) {
            SetDlgItemTextA(dialog, IDC_TARGET_FOLDER, target->targetFolder);
          }
          return TRUE;
        }
        case IDC_DESKTOP_ICON:
        case IDC_START_MENU_ICON:
          ToggleCheckBox(dialog, LOWORD(wParam));
          return TRUE;
        case IDOK:
          AcceptInstallDialog(dialog);
          return TRUE;
        case IDCANCEL:
        case IDCLOSE:
          EndDialog(dialog, LOWORD(wParam));
          return TRUE;
      }
      break;
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_CLOSE) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      break;
  }
  return FALSE;
}

INT_PTR RunInstallDialog(InstallTarget* target) {
  return DialogBoxParamA(g_setupPackage.instance, MAKEINTRESOURCEA(IDD_INSTALL), nullptr,
                         InstallDialogProc, reinterpret_cast<LPARAM>(target));
}
