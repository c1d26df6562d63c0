// Shortcuts to the same program left in the program groups of earlier
// versions, which lay beside the current group.
#include <windows.h>
#include <shellapi.h>

#include "package/shortcuts.h"

namespace {

const WCHAR* const kOldGroupNames[] = {L"\\Plumwick", L"\\Access KWO"};

size_t WideLength(const WCHAR* text) {
  size_t n = 0;
  while (text[n] != 0) ++n;
  return n;
}

// Appends src to dst (cap characters); answers 0 and leaves dst unchanged
// when it does not fit.
int AppendWide(WCHAR* dst, size_t cap, const WCHAR* src) {
  size_t used = WideLength(dst);
  size_t extra = WideLength(src);
  if (used + extra >= cap) return 0;
  for (size_t i = 0; i <= extra; ++i) dst[used + i] = src[i];
  return 1;
}

int IsDotEntry(const WCHAR* name) {
  return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

// Deletes the first entry of folder whose icon location is programPath,
// then the folder if that left it empty.
void RemoveOldShortcut(const char* programPath, const WCHAR* folder) {
  WCHAR pattern[MAX_PATH];
  pattern[0] = 0;
  if (!AppendWide(pattern, MAX_PATH, folder) || !AppendWide(pattern, MAX_PATH, L"\\*")) return;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(pattern, &found);
  if (search == INVALID_HANDLE_VALUE) return;
  int deleted = 0;
  do {
    if (IsDotEntry(found.cFileName)) continue;
    WCHAR entry[MAX_PATH];
    entry[0] = 0;
    if (!AppendWide(entry, MAX_PATH, folder) || !AppendWide(entry, MAX_PATH, L"\\") ||
        !AppendWide(entry, MAX_PATH, found.cFileName)) {
      continue;
    }
    char narrowEntry[MAX_PATH];
    if (WideCharToMultiByte(CP_ACP, 0, entry, -1, narrowEntry, MAX_PATH, nullptr, nullptr) == 0) continue;
    SHFILEINFOA info;
    ZeroMemory(&info, sizeof(info));
    SHGetFileInfoA(narrowEntry, 0, &info, sizeof(info), SHGFI_ICONLOCATION);
    if (info.hIcon != nullptr) DestroyIcon(info.hIcon);
    if (lstrcmpiA(info.szDisplayName, programPath) == 0) {
      deleted = DeleteFileW(entry);
      break;
    }
  } while (FindNextFileW(search, &found));
  // The open search would keep the folder from being removed.
  FindClose(search);
  if (deleted) RemoveDirectoryW(folder);
}

}  // namespace

void RemoveOldGroupShortcuts(const char* programPath, const char* groupFolder) {
  if (programPath == nullptr || groupFolder == nullptr) return;
  WCHAR group[MAX_PATH];
  if (MultiByteToWideChar(CP_ACP, 0, groupFolder, -1, group, MAX_PATH) == 0) return;
  for (const WCHAR* name : kOldGroupNames) {
    WCHAR folder[MAX_PATH];
    folder[0] = 0;
    AppendWide(folder, MAX_PATH, group);
    WCHAR* lastSlash = nullptr;
    for (WCHAR* p = folder; *p != 0; ++p) {
      if (*p == L'\\') lastSlash = p;
    }
    if (lastSlash == nullptr) continue;
    *lastSlash = 0;
    if (!AppendWide(folder, MAX_PATH, name)) continue;
    // A group that carries an old name is the current group, not an older one:
    // emptying it would leave nowhere to save the new shortcut.
    if (lstrcmpiW(folder, group) == 0) continue;
    RemoveOldShortcut(programPath, folder);
  }
}
