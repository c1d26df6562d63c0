#include "files/restart_operations.h"

#include <windows.h>
#include <string.h>

#include "common/folders.h"
#include "common/os_version.h"
#include "common/path_text.h"
#include "common/system_change.h"
#include "common/text.h"
#include "files/multi_string.h"
#include "files/pending_renames.h"

namespace {

const char kInitFile[] = "WININIT.INI";
const char kRenameSection[] = "rename";
const char kSessionManagerKey[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
const char kPendingValue[] = "PendingFileRenameOperations";
const wchar_t kPendingValueWide[] = L"PendingFileRenameOperations";

// The section is read in a buffer that doubles until the whole section fits.
const DWORD kFirstSectionSize = 4096;
const DWORD kLargestSectionSize = 16 * 1024 * 1024;

int PathExists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

// Short (8.3) form of path into a zero-filled MAX_PATH buffer.
int TakeShortPath(const char* path, char* shortPath) {
  ZeroMemory(shortPath, MAX_PATH);
  DWORD length = GetShortPathNameA(path, shortPath, MAX_PATH);
  return length != 0 && length < MAX_PATH;
}

// Short form of a move's destination. One that does not exist yet has none:
// it is the short form of its folder and its own name, which must then be
// valid in 8.3 form; an empty key would not name the file.
int TakeShortDestination(const char* path, char* shortPath) {
  if (TakeShortPath(path, shortPath)) return 1;
  if (PathExists(path)) return 0;
  const char* slash = FindLastBackslash(path);
  if (slash == nullptr || !IsValidShortName(slash + 1)) return 0;
  size_t folderLength = static_cast<size_t>(slash - path);
  if (folderLength == 2 && path[1] == ':') folderLength = 3;  // keep the root's backslash
  char folder[MAX_PATH];
  char shortFolder[MAX_PATH];
  if (!TextCopyN(folder, MAX_PATH, path, folderLength) || !TakeShortPath(folder, shortFolder)) {
    return 0;
  }
  if (shortFolder[0] != '\0' && !EndsWithBackslash(shortFolder) &&
      !TextAppend(shortFolder, MAX_PATH, "\\")) {
    return 0;
  }
  if (!TextAppend(shortFolder, MAX_PATH, slash + 1)) return 0;
  ZeroMemory(shortPath, MAX_PATH);
  return TextCopy(shortPath, MAX_PATH, shortFolder);
}

// Adds the line "NUL=" and the short form of path. A path that does not exist
// needs no deletion and adds nothing; one that exists without a short form fails.
int AddDeleteLine(MultiString* lines, const char* path) {
  char shortPath[MAX_PATH];
  if (!TakeShortPath(path, shortPath)) return !PathExists(path);
  return AppendEntry(lines, "NUL=", shortPath);
}

// Reads every line of the section "rename".
int ReadRenameSection(MultiString* lines) {
  for (DWORD size = kFirstSectionSize; size <= kLargestSectionSize; size *= 2) {
    char* buffer = static_cast<char*>(LocalAlloc(LPTR, size));
    if (buffer == nullptr) return 0;
    DWORD length = GetPrivateProfileSectionA(kRenameSection, buffer, size, kInitFile);
    int complete = length + 2 < size;
    int ok = complete && AppendEntries(lines, buffer, length);
    LocalFree(buffer);
    if (complete) return ok;
  }
  return 0;
}

// Writes the section "rename" as a whole.
int WriteRenameSection(const MultiString* lines) {
  if (!AllowSystemChangeOf("write", kRenameSection)) return 0;
  return WritePrivateProfileSectionA(kRenameSection, MultiStringText(lines), kInitFile) ? 1 : 0;
}

// Adds lines at the end of the section "rename". The section is written as a
// whole, as several "NUL=" lines need, with every line it held before kept in
// front: lines of other programs must still run at the restart.
int AppendRenameLines(const MultiString* added) {
  if (added->count == 0) return 1;
  MultiString lines;
  InitMultiString(&lines);
  int ok = ReadRenameSection(&lines) &&
           AppendEntries(&lines, MultiStringText(added), MultiStringSize(added)) &&
           WriteRenameSection(&lines);
  FreeMultiString(&lines);
  return ok;
}

int ScheduleDeleteNt(const char* path) {
  if (!AllowSystemChangeOf("schedule delete", path)) return 0;
  return MoveFileExA(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) ? 1 : 0;
}

// Reads "PendingFileRenameOperations" in UTF-16, as the system keeps it:
// *data (LocalFree) receives count characters, or stays null when the value
// is missing or empty. Answers 0 when it cannot be read.
int ReadPendingValue(HKEY key, wchar_t** data, size_t* count) {
  *data = nullptr;
  *count = 0;
  DWORD size = 0;
  LONG status = RegQueryValueExW(key, kPendingValueWide, nullptr, nullptr, nullptr, &size);
  if (status == ERROR_FILE_NOT_FOUND || (status == ERROR_SUCCESS && size < sizeof(wchar_t))) return 1;
  if (status != ERROR_SUCCESS) return 0;
  *data = static_cast<wchar_t*>(LocalAlloc(LPTR, size));
  if (*data != nullptr &&
      RegQueryValueExW(key, kPendingValueWide, nullptr, nullptr, reinterpret_cast<BYTE*>(*data),
                       &size) == ERROR_SUCCESS) {
    *count = size / sizeof(wchar_t);
    return 1;
  }
  if (*data != nullptr) LocalFree(*data);
  *data = nullptr;
  return 0;
}

// The UTF-16 form of a multi-string of the code page (LocalFree), or null.
wchar_t* WidenMultiString(const char* texts) {
  const char* end = texts;
  while (*end != '\0') end += strlen(end) + 1;
  int size = static_cast<int>(end - texts) + 1;
  int count = MultiByteToWideChar(CP_ACP, 0, texts, size, nullptr, 0);
  wchar_t* wide = count > 0 ? static_cast<wchar_t*>(LocalAlloc(LPTR, count * sizeof(wchar_t))) : nullptr;
  if (wide != nullptr && MultiByteToWideChar(CP_ACP, 0, texts, size, wide, count) != count) {
    LocalFree(wide);
    wide = nullptr;
  }
  return wide;
}

// The code-page form of path into narrow (MAX_PATH bytes), only when it names
// the same file: every character of path has its own in the code page.
int NarrowPath(const wchar_t* path, char* narrow) {
  wchar_t back[MAX_PATH];
  return WideCharToMultiByte(CP_ACP, 0, path, -1, narrow, MAX_PATH, nullptr, nullptr) > 0 &&
         MultiByteToWideChar(CP_ACP, 0, narrow, -1, back, MAX_PATH) > 0 &&
         wcsncmp(back, path, MAX_PATH) == 0;
}

// A staged copy that nothing will move any more goes now, or at the restart
// while it is held open.
void DeleteStagedCopy(const char* path) {
  if (AllowSystemChangeOf("delete file", path) && DeleteFileA(path)) return;
  if (IsFile(path)) ScheduleDeleteAtRestart(path);
}

// Whether "PendingFileRenameOperations" holds an operation on a file named name.
int PendingValueConcerns(const char* name) {
  wchar_t wideName[MAX_PATH];
  if (MultiByteToWideChar(CP_ACP, 0, name, -1, wideName, MAX_PATH) == 0) return 0;
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return 0;
  }
  wchar_t* data = nullptr;
  size_t count = 0;
  int found = ReadPendingValue(key, &data, &count) && data != nullptr &&
              PendingOperationsConcern(data, count, wideName);
  RegCloseKey(key);
  if (data != nullptr) LocalFree(data);
  return found;
}

// Withdraws the operations of "PendingFileRenameOperations" on paths, and
// deletes the staged copies their moves would have put there. The value is
// read, compared and written in UTF-16, so that other programs' paths keep
// every character, and written only when something was withdrawn.
int WithdrawPendingOperations(const char* paths) {
  wchar_t* widePaths = WidenMultiString(paths);
  wchar_t* data = nullptr;
  wchar_t* kept = nullptr;
  wchar_t* moved = nullptr;
  size_t count = 0;
  size_t keptCount = 0;
  int ok = 0;
  HKEY key;
  if (widePaths != nullptr && RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0,
                                            KEY_QUERY_VALUE | KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
    if (ReadPendingValue(key, &data, &count)) {
      ok = data == nullptr;  // nothing is pending
      kept = data != nullptr ? static_cast<wchar_t*>(LocalAlloc(LPTR, (count + 3) * sizeof(wchar_t))) : nullptr;
      moved = data != nullptr ? static_cast<wchar_t*>(LocalAlloc(LPTR, (count + 2) * sizeof(wchar_t))) : nullptr;
    }
    if (kept != nullptr && moved != nullptr) {
      int left = KeepPendingOperationsApartFrom(data, count, widePaths, kept, &keptCount, moved);
      if (left == 0) {
        ok = 1;
      } else if (AllowSystemChange(kPendingValue)) {
        LONG status = keptCount <= 1
                          ? RegDeleteValueA(key, kPendingValue)
                          : RegSetValueExW(key, kPendingValueWide, 0, REG_MULTI_SZ,
                                           reinterpret_cast<const BYTE*>(kept),
                                           static_cast<DWORD>(keptCount * sizeof(wchar_t)));
        ok = status == ERROR_SUCCESS;
      }
    }
    RegCloseKey(key);
  }
  char copy[MAX_PATH];
  for (const wchar_t* path = moved; ok && path != nullptr && *path != L'\0'; path += wcslen(path) + 1) {
    if (NarrowPath(path, copy)) DeleteStagedCopy(copy);
  }
  if (widePaths != nullptr) LocalFree(widePaths);
  if (data != nullptr) LocalFree(data);
  if (kept != nullptr) LocalFree(kept);
  if (moved != nullptr) LocalFree(moved);
  return ok;
}

// Withdraws the lines of the section "rename" on paths, which the lines name
// by their short forms, and deletes the staged copies their moves would have
// put there.
int WithdrawRenameLines(const char* paths) {
  MultiString shortPaths;
  MultiString lines;
  MultiString kept;
  MultiString moved;
  InitMultiString(&shortPaths);
  InitMultiString(&lines);
  InitMultiString(&kept);
  InitMultiString(&moved);
  int ok = 1;
  for (const char* path = paths; ok && *path != '\0'; path += strlen(path) + 1) {
    char shortPath[MAX_PATH];
    // A path that cannot be had in short form is looked for as it is.
    if (!TakeShortPath(path, shortPath) && !TakeShortDestination(path, shortPath)) {
      TextCopy(shortPath, MAX_PATH, path);
    }
    ok = AppendEntry(&shortPaths, shortPath);
  }
  int left = ok && ReadRenameSection(&lines)
                 ? KeepRenameLinesApartFrom(MultiStringText(&lines), MultiStringSize(&lines),
                                            MultiStringText(&shortPaths), &kept, &moved)
                 : -1;
  ok = left == 0 || (left > 0 && WriteRenameSection(&kept));
  for (int i = 0; ok && left > 0 && i < moved.count; ++i) DeleteStagedCopy(MultiStringEntry(&moved, i));
  FreeMultiString(&shortPaths);
  FreeMultiString(&lines);
  FreeMultiString(&kept);
  FreeMultiString(&moved);
  return ok;
}

}  // namespace

int WithdrawRestartOperations(const char* paths) {
  OSVERSIONINFOA version;
  if (!ReadOsVersion(&version)) return 0;
  return IsNtFamily(&version) ? WithdrawPendingOperations(paths) : WithdrawRenameLines(paths);
}

int ScheduleDeleteAtRestart(const char* path) {
  OSVERSIONINFOA version;
  if (!ReadOsVersion(&version)) return 0;
  if (IsNtFamily(&version)) return ScheduleDeleteNt(path);
  MultiString lines;
  InitMultiString(&lines);
  int ok = AddDeleteLine(&lines, path) && AppendRenameLines(&lines);
  FreeMultiString(&lines);
  return ok;
}

int ScheduleDeleteListAtRestart(const char* paths) {
  OSVERSIONINFOA version;
  if (!ReadOsVersion(&version)) return 0;
  const int nt = IsNtFamily(&version);
  MultiString lines;
  InitMultiString(&lines);
  int ok = 1;
  for (const char* path = paths; ok && *path != '\0'; path += strlen(path) + 1) {
    ok = nt ? ScheduleDeleteNt(path) : AddDeleteLine(&lines, path);
  }
  if (ok && !nt) ok = AppendRenameLines(&lines);
  FreeMultiString(&lines);
  return ok;
}

int ScheduleMoveAtRestart(const char* source, const char* destination) {
  OSVERSIONINFOA version;
  if (!ReadOsVersion(&version)) return 0;
  if (!AllowSystemChangeOf("schedule move", destination)) return 0;
  if (IsNtFamily(&version)) {
    return MoveFileExA(source, destination, MOVEFILE_DELAY_UNTIL_REBOOT | MOVEFILE_REPLACE_EXISTING) ? 1 : 0;
  }
  char shortSource[MAX_PATH];
  char shortDestination[MAX_PATH];
  if (!TakeShortPath(source, shortSource) || !TakeShortDestination(destination, shortDestination)) {
    return 0;
  }
  return WritePrivateProfileStringA(kRenameSection, shortDestination, shortSource, kInitFile) ? 1 : 0;
}

// The registry on every family: this program's own earlier lines in
// WININIT.INI are withdrawn before the question is asked.
int IsRenamePending(const char* name) { return PendingValueConcerns(name); }
