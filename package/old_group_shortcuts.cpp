// Shortcuts to the same program left in the program groups of earlier
// versions, which lay beside the current group. The NT family lists them with
// the wide functions; Windows 9x has those only as stubs that fail, and lists
// them with the ANSI ones (its names are in the system code page anyway).
#include <windows.h>
#include <shellapi.h>

#include "common/os_version.h"
#include "common/path_text.h"
#include "common/system_change.h"
#include "package/shortcuts.h"

FileFinderW g_findFirstFileW = FindFirstFileW;

namespace {

// Appends src to dst (MAX_PATH characters), or replaces dst when fresh;
// answers 0 and leaves dst unchanged when it does not fit.
template <typename Char>
int AppendText(Char* dst, const Char* src, int fresh = 0) {
  size_t used = 0;
  if (!fresh) {
    while (dst[used] != 0) ++used;
  }
  size_t extra = 0;
  while (src[extra] != 0) ++extra;
  if (used + extra >= MAX_PATH) return 0;
  for (size_t i = 0; i <= extra; ++i) dst[used + i] = src[i];
  return 1;
}

struct WideCalls {
  typedef WCHAR Char;
  typedef WIN32_FIND_DATAW FindData;
  static const Char* OldGroupName(int i) { return i == 0 ? L"\\Plumwick" : L"\\Access KWO"; }
  static const Char* AllEntries() { return L"\\*"; }
  static const Char* Separator() { return L"\\"; }
  static Char* LastSeparator(Char* text) {
    Char* last = nullptr;
    for (Char* p = text; *p != 0; ++p) {
      if (*p == L'\\') last = p;
    }
    return last;
  }
  static HANDLE FindFirst(const Char* pattern, FindData* found) {
    return g_findFirstFileW(pattern, found);
  }
  static BOOL FindNext(HANDLE search, FindData* found) { return FindNextFileW(search, found); }
  static BOOL DeleteEntry(const Char* path) { return DeleteFileW(path); }
  static BOOL RemoveFolder(const Char* path) { return RemoveDirectoryW(path); }
  static int SameName(const Char* a, const Char* b) { return lstrcmpiW(a, b) == 0; }
  static int FromCodePage(const char* text, Char* out) {
    return MultiByteToWideChar(CP_ACP, 0, text, -1, out, MAX_PATH) != 0;
  }
  static int ToCodePage(const Char* text, char* out) {
    return WideCharToMultiByte(CP_ACP, 0, text, -1, out, MAX_PATH, nullptr, nullptr) != 0;
  }
};

struct AnsiCalls {
  typedef char Char;
  typedef WIN32_FIND_DATAA FindData;
  static const Char* OldGroupName(int i) { return i == 0 ? "\\Plumwick" : "\\Access KWO"; }
  static const Char* AllEntries() { return "\\*"; }
  static const Char* Separator() { return "\\"; }
  static Char* LastSeparator(Char* text) { return FindLastBackslash(text); }
  static HANDLE FindFirst(const Char* pattern, FindData* found) {
    return FindFirstFileA(pattern, found);
  }
  static BOOL FindNext(HANDLE search, FindData* found) { return FindNextFileA(search, found); }
  static BOOL DeleteEntry(const Char* path) { return DeleteFileA(path); }
  static BOOL RemoveFolder(const Char* path) { return RemoveDirectoryA(path); }
  static int SameName(const Char* a, const Char* b) { return lstrcmpiA(a, b) == 0; }
  static int FromCodePage(const char* text, Char* out) { return AppendText(out, text, 1); }
  static int ToCodePage(const Char* text, char* out) { return AppendText(out, text, 1); }
};

template <typename Char>
int IsDotEntry(const Char* name) {
  return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

// Deletes the first entry of folder whose icon location is programPath,
// then the folder if that left it empty.
template <typename Calls>
void RemoveOldShortcut(const char* programPath, const typename Calls::Char* folder) {
  typedef typename Calls::Char Char;
  Char pattern[MAX_PATH];
  pattern[0] = 0;
  if (!AppendText(pattern, folder) || !AppendText(pattern, Calls::AllEntries())) return;
  typename Calls::FindData found;
  HANDLE search = Calls::FindFirst(pattern, &found);
  if (search == INVALID_HANDLE_VALUE) return;
  int deleted = 0;
  do {
    if (IsDotEntry(found.cFileName)) continue;
    Char entry[MAX_PATH];
    entry[0] = 0;
    if (!AppendText(entry, folder) || !AppendText(entry, Calls::Separator()) ||
        !AppendText(entry, static_cast<const Char*>(found.cFileName))) {
      continue;
    }
    char narrowEntry[MAX_PATH];
    narrowEntry[0] = '\0';
    if (!Calls::ToCodePage(entry, narrowEntry)) continue;
    SHFILEINFOA info;
    ZeroMemory(&info, sizeof(info));
    SHGetFileInfoA(narrowEntry, 0, &info, sizeof(info), SHGFI_ICONLOCATION);
    if (info.hIcon != nullptr) DestroyIcon(info.hIcon);
    if (lstrcmpiA(info.szDisplayName, programPath) == 0) {
      deleted = AllowSystemChangeOf("delete shortcut", narrowEntry) && Calls::DeleteEntry(entry);
      break;
    }
  } while (Calls::FindNext(search, &found));
  // The open search would keep the folder from being removed.
  FindClose(search);
  char narrowFolder[MAX_PATH];
  if (deleted && Calls::ToCodePage(folder, narrowFolder) &&
      AllowSystemChangeOf("remove folder", narrowFolder)) {
    Calls::RemoveFolder(folder);
  }
}

template <typename Calls>
void RemoveOldShortcuts(const char* programPath, const char* groupFolder) {
  typedef typename Calls::Char Char;
  Char group[MAX_PATH];
  group[0] = 0;
  if (!Calls::FromCodePage(groupFolder, group)) return;
  for (int i = 0; i < 2; ++i) {
    Char folder[MAX_PATH];
    folder[0] = 0;
    AppendText(folder, static_cast<const Char*>(group));
    Char* lastSlash = Calls::LastSeparator(folder);
    if (lastSlash == nullptr) continue;
    *lastSlash = 0;
    if (!AppendText(folder, Calls::OldGroupName(i))) continue;
    // A group that carries an old name is the current group, not an older one:
    // emptying it would leave nowhere to save the new shortcut.
    if (Calls::SameName(folder, group)) continue;
    RemoveOldShortcut<Calls>(programPath, folder);
  }
}

}  // namespace

void RemoveOldGroupShortcuts(const char* programPath, const char* groupFolder) {
  if (programPath == nullptr || groupFolder == nullptr) return;
  if (RunsOnNtFamily()) {
    RemoveOldShortcuts<WideCalls>(programPath, groupFolder);
  } else {
    RemoveOldShortcuts<AnsiCalls>(programPath, groupFolder);
  }
}
