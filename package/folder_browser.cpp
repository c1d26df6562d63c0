// The shell's folder browser opened by the Browse button of dialog 101.
#include <windows.h>
#include <shlobj.h>

#include "common/folders.h"
#include "common/resource_strings.h"
#include "common/run_records.h"
#include "common/text.h"
#include "package/install_dialog.h"
#include "package/setup_package.h"
#include "package/target_rules.h"
#include "registry/product_key.h"
#include "resources/resource_ids.h"

namespace {

const UINT kBrowseFlags =
    BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT | BIF_RETURNFSANCESTORS | BIF_BROWSEFORCOMPUTER;

struct MeasureContext {
  HDC dc;
  LONG width;
};

int IsTooWide(const char* text, void* context) {
  MeasureContext* measure = static_cast<MeasureContext*>(context);
  SIZE size = {0, 0};
  GetTextExtentPoint32A(measure->dc, text, static_cast<int>(TextLength(text, MAX_PATH * 2)), &size);
  return size.cx >= measure->width;
}

// Shows path in the browser's status line, shortened to the window's width.
void ShowStatusPath(HWND browser, const char* path) {
  // Room for the widening first pass (" ... " for a one-letter part).
  char shown[MAX_PATH + 8];
  RECT rect = {0, 0, 0, 0};
  GetWindowRect(browser, &rect);
  MeasureContext measure = {GetDC(browser), rect.right - rect.left};
  if (measure.dc == nullptr) {
    TextCopy(shown, sizeof(shown), path);
  } else {
    ShortenPathForDisplay(shown, sizeof(shown), path, IsTooWide, &measure);
    ReleaseDC(browser, measure.dc);
  }
  SendMessageA(browser, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(shown));
}

// A folder OK may take: one that exists and is neither read-only nor offline.
int IsAcceptable(const char* path) {
  DWORD attributes = g_browseFolderAttributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES &&
         !(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_OFFLINE));
}

int CALLBACK BrowseCallback(HWND browser, UINT message, LPARAM lParam, LPARAM data) {
  char* targetFolder = reinterpret_cast<char*>(data);
  if (message == BFFM_INITIALIZED) {
    if (!IsFolder(targetFolder)) {
      char programFiles[MAX_PATH];
      ZeroMemory(programFiles, sizeof(programFiles));
      if (ReadWindowsSetting("ProgramFilesDir", programFiles, MAX_PATH)) {
        TextCopy(targetFolder, MAX_PATH, programFiles);
      }
    }
    // The status line shows the folder OK would take from the start: the
    // browser does not always report a selection made here (Wine's, on a
    // loaded machine, fails it), and without one the line stayed empty.
    if (IsAcceptable(targetFolder)) ShowStatusPath(browser, targetFolder);
    SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(targetFolder));
  } else if (message == BFFM_SELCHANGED) {
    LPCITEMIDLIST item = reinterpret_cast<LPCITEMIDLIST>(lParam);
    char path[MAX_PATH];
    ZeroMemory(path, sizeof(path));
    int acceptable = item != nullptr && SHGetPathFromIDListA(item, path) && IsAcceptable(path);
    SendMessageA(browser, BFFM_ENABLEOK, 0, acceptable);
    // Some browsers check the selection themselves after this callback (and
    // gray OK for anything but a computer): repeat the verdict after that.
    PostMessageA(browser, BFFM_ENABLEOK, 0, acceptable);
    if (acceptable) {
      TextCopy(targetFolder, MAX_PATH, path);
      ShowStatusPath(browser, path);
    }
  }
  return 0;
}

}  // namespace

FolderAttributes g_browseFolderAttributes = GetFileAttributesA;

int BrowseForTarget(char* targetFolder, HWND owner) {
  HRESULT init = CoInitialize(nullptr);
  IMalloc* allocator = nullptr;
  if (SHGetMalloc(&allocator) != S_OK) allocator = nullptr;
  LPITEMIDLIST root = nullptr;
  if (SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &root) != S_OK) root = nullptr;

  char title[MAX_PATH];
  char displayName[MAX_PATH];
  LoadResourceString(g_setupPackage.instance, IDS_FRESH_FOLDER_LABEL, title, MAX_PATH);
  displayName[0] = '\0';
  BROWSEINFOA info;
  ZeroMemory(&info, sizeof(info));
  info.hwndOwner = owner;
  info.pidlRoot = root;
  info.pszDisplayName = displayName;
  info.lpszTitle = title;
  info.ulFlags = kBrowseFlags;
  info.lpfn = BrowseCallback;
  info.lParam = reinterpret_cast<LPARAM>(targetFolder);
  LPITEMIDLIST chosen = SHBrowseForFolderA(&info);

  // The chosen item list is the caller's to free as well as the root's.
  if (allocator != nullptr) {
    if (root != nullptr) allocator->Free(root);
    if (chosen != nullptr) allocator->Free(chosen);
    allocator->Release();
  } else {
    CoTaskMemFree(root);
    CoTaskMemFree(chosen);
  }
  if (SUCCEEDED(init)) CoUninitialize();
  return chosen != nullptr;
}
