#include "files/restart_operations.h"

#include <windows.h>
#include <string.h>

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

// Whether "PendingFileRenameOperations" holds an operation on a file named name.
int PendingValueConcerns(const char* name) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return 0;
  }
  char* data = nullptr;
  DWORD size = 0;
  LONG status = RegQueryValueExA(key, kPendingValue, nullptr, nullptr, nullptr, &size);
  if (status == ERROR_SUCCESS && size != 0) {
    data = static_cast<char*>(LocalAlloc(LPTR, size));
    status = data != nullptr ? RegQueryValueExA(key, kPendingValue, nullptr, nullptr,
                                                reinterpret_cast<BYTE*>(data), &size)
                             : ERROR_OUTOFMEMORY;
  }
  RegCloseKey(key);
  int found = status == ERROR_SUCCESS && data != nullptr && PendingOperationsConcern(data, size, name);
  if (data != nullptr) LocalFree(data);
  return found;
}

// Whether the section "rename" of WININIT.INI holds an operation on a file named name.
int RenameSectionHolds(const char* name) {
  MultiString lines;
  InitMultiString(&lines);
  int found = ReadRenameSection(&lines) &&
              RenameSectionConcerns(MultiStringText(&lines), MultiStringSize(&lines), name);
  FreeMultiString(&lines);
  return found;
}

// Withdraws the operations of "PendingFileRenameOperations" on paths.
int WithdrawPendingOperations(const char* paths) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManagerKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                    &key) != ERROR_SUCCESS) {
    return 0;
  }
  char* data = nullptr;
  DWORD size = 0;
  MultiString kept;
  InitMultiString(&kept);
  int ok = 0;
  LONG status = RegQueryValueExA(key, kPendingValue, nullptr, nullptr, nullptr, &size);
  if (status == ERROR_FILE_NOT_FOUND || (status == ERROR_SUCCESS && size == 0)) {
    ok = 1;  // nothing is pending
  } else if (status == ERROR_SUCCESS &&
             (data = static_cast<char*>(LocalAlloc(LPTR, size))) != nullptr &&
             RegQueryValueExA(key, kPendingValue, nullptr, nullptr, reinterpret_cast<BYTE*>(data),
                              &size) == ERROR_SUCCESS) {
    int left = KeepPendingOperationsApartFrom(data, size, paths, &kept);
    if (left == 0) {
      ok = 1;
    } else if (left > 0 && AllowSystemChange(kPendingValue)) {
      status = kept.count == 0
                   ? RegDeleteValueA(key, kPendingValue)
                   : RegSetValueExA(key, kPendingValue, 0, REG_MULTI_SZ,
                                    reinterpret_cast<const BYTE*>(MultiStringText(&kept)),
                                    static_cast<DWORD>(MultiStringSize(&kept)));
      ok = status == ERROR_SUCCESS;
    }
  }
  if (data != nullptr) LocalFree(data);
  FreeMultiString(&kept);
  RegCloseKey(key);
  return ok;
}

// Withdraws the lines of the section "rename" on paths, which the lines name
// by their short forms.
int WithdrawRenameLines(const char* paths) {
  MultiString shortPaths;
  MultiString lines;
  MultiString kept;
  InitMultiString(&shortPaths);
  InitMultiString(&lines);
  InitMultiString(&kept);
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
                                            MultiStringText(&shortPaths), &kept)
                 : -1;
  ok = left == 0 || (left > 0 && WriteRenameSection(&kept));
  FreeMultiString(&shortPaths);
  FreeMultiString(&lines);
  FreeMultiString(&kept);
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
    return MoveFileExA(source, destination, MOVEFILE_DELAY_UNTIL_REBOOT) ? 1 : 0;
  }
  char shortSource[MAX_PATH];
  char shortDestination[MAX_PATH];
  if (!TakeShortPath(source, shortSource) || !TakeShortDestination(destination, shortDestination)) {
    return 0;
  }
  return WritePrivateProfileStringA(kRenameSection, shortDestination, shortSource, kInitFile) ? 1 : 0;
}

int IsRenamePending(const char* name) {
  int found = PendingValueConcerns(name);
  // Windows 9x keeps its pending operations in WININIT.INI, not in the registry.
  OSVERSIONINFOA version;
  if (ReadOsVersion(&version) && !IsNtFamily(&version)) found |= RenameSectionHolds(name);
  return found;
}
