#include "files/program_files.h"

#include <string.h>

#include "common/folders.h"
#include "common/option_bits.h"
#include "common/os_version.h"
#include "common/path_text.h"
#include "common/product_names.h"
#include "common/program_folder.h"
#include "common/run_records.h"
#include "common/system_change.h"
#include "common/text.h"
#include "files/file_access.h"
#include "files/file_decryption.h"
#include "files/folder_path.h"
#include "files/multi_string.h"
#include "files/restart_operations.h"
#include "files/shell_files.h"
#include "files/staging_folder.h"

int (*g_readPackageFolder)(char* folder) = ReadOwnFolder;

namespace {

const ProgramFile* ProgramFileSet() { return SelectProgramFileSet(g_setupPackage.isXmlDescriptor); }

// The descriptor a package of the other kind installed.
const char* OtherDescriptorName() {
  return g_setupPackage.isXmlDescriptor ? "NvxSetup.ini" : "NvxSetup.xml";
}

// The three lists of the set, each path at the place of its entry.
struct FileLists {
  MultiString source;  // in the package folder
  MultiString staged;  // in the staging folder
  MultiString final;   // where the files are installed
};

void InitFileLists(FileLists* lists) {
  InitMultiString(&lists->source);
  InitMultiString(&lists->staged);
  InitMultiString(&lists->final);
}

void FreeFileLists(FileLists* lists) {
  FreeMultiString(&lists->source);
  FreeMultiString(&lists->staged);
  FreeMultiString(&lists->final);
}

int BuildFinalList(const ProgramFile* set, const char* windows, const char* folder,
                   MultiString* list) {
  if (!AppendPath(list, windows, set[0].installedName)) return 0;
  for (int i = 1; i < kProgramFileCount; ++i) {
    if (!AppendPath(list, folder, set[i].installedName)) return 0;
  }
  return 1;
}

// Removes name from folder, if it is there: now, or at the restart while the
// product runs. Only the folder itself is looked in, and only a file counts.
int RemoveStrayFile(const char* folder, const char* name, int instanceRunning) {
  char found[MAX_PATH];
  if (!FindFileIn(folder, name, found)) return 1;
  if (instanceRunning) return ScheduleDeleteAtRestart(found);
  MultiString list;
  InitMultiString(&list);
  int ok = AppendEntry(&list, found) && DeleteFileList(&list);
  FreeMultiString(&list);
  return ok;
}

// Whether no final path of the set is taken by a folder: the move would put
// the file inside it.
int NoFolderInTheWay(const MultiString* final) {
  for (int i = 0; i < final->count; ++i) {
    if (IsFolder(MultiStringEntry(final, i))) return 0;
  }
  return 1;
}

// The entries of final that are files: a folder of a set file's name is not
// the program's, and a deletion would take everything in it.
int KeepFiles(const MultiString* final, int from, MultiString* files) {
  for (int i = from; i < final->count; ++i) {
    const char* path = MultiStringEntry(final, i);
    if (IsFile(path) && !AppendEntry(files, path)) return 0;
  }
  return 1;
}

void DecryptEach(const MultiString* list) {
  for (int i = 0; i < list->count; ++i) DecryptIfEncrypted(MultiStringEntry(list, i));
}

// Withdraws what earlier runs left pending for the restart on the set's
// final paths and on the descriptor of the other kind: this run's intent is
// the one that must stand after the restart.
int WithdrawEarlierOperations(const MultiString* final, const char* folder) {
  MultiString paths;
  InitMultiString(&paths);
  int ok = AppendEntries(&paths, MultiStringText(final), MultiStringSize(final)) &&
           AppendPath(&paths, folder, OtherDescriptorName()) &&
           WithdrawRestartOperations(MultiStringText(&paths));
  FreeMultiString(&paths);
  return ok;
}

// The product runs: every staged copy replaces its final file at the restart
// in one replacing move, with no deletion of its own: a copy gone by then
// leaves the old file in place. Once a move cannot be scheduled, nothing
// more is.
int ReplaceAtRestart(const FileLists* lists, int nt, int decrypt, const char* staging) {
  int ok = 1;
  for (int i = 0; ok && i < lists->final.count; ++i) {
    const char* final = MultiStringEntry(&lists->final, i);
    ok = ScheduleMoveAtRestart(MultiStringEntry(&lists->staged, i), final);
    if (ok && decrypt) DecryptIfEncrypted(final);
  }
  // After the moves, which empty it.
  if (ok && nt) ScheduleDeleteAtRestart(staging);
  return ok;
}

// A move at the restart cannot cross volumes: the staged copies for a
// program folder on another drive wait inside it under temporary names,
// which their moves consume, so nothing is left behind on that drive (on
// Windows 9x no folder could be removed at the restart). Their names ("VOD",
// up to four hex digits, ".TMP") are no longer than the installed ones, so a
// folder the rule lets through holds them. Brought over only once the whole
// package is staged.
int StageInProgramFolder(HWND window, const char* folder, FileLists* lists) {
  MultiString from;
  MultiString to;
  MultiString staged;
  InitMultiString(&from);
  InitMultiString(&to);
  InitMultiString(&staged);
  int ok = AppendEntry(&staged, MultiStringEntry(&lists->staged, 0));
  for (int i = 1; ok && i < lists->staged.count; ++i) {
    char name[MAX_PATH];
    ok = AppendEntry(&from, MultiStringEntry(&lists->staged, i)) &&
         AllowSystemChangeOf("create file", folder) && GetTempFileNameA(folder, "VOD", 0, name) != 0 &&
         AppendEntry(&to, name) && AppendEntry(&staged, name);
  }
  if (ok) ok = MoveFileList(window, &from, &to);
  if (ok) {
    MultiString swap = lists->staged;
    lists->staged = staged;
    staged = swap;
  } else {
    DeleteFileList(&to);
  }
  FreeMultiString(&from);
  FreeMultiString(&to);
  FreeMultiString(&staged);
  return ok;
}

// A file copied into place, or moved there from another volume, is a new
// file with the rights its folder hands down: it gets its own again.
void SetAccessOfLandedFiles(const FileLists* lists, int copied) {
  for (int i = 0; i < lists->final.count; ++i) {
    const char* final = MultiStringEntry(&lists->final, i);
    if (copied || !SameRoot(MultiStringEntry(&lists->staged, i), final)) SetInstalledFileAccess(final);
  }
}

// The staging folder goes once its files are moved out. One that cannot (a
// file was held or put in it) goes at the restart on NT and stays on
// Windows 9x: the files stand in place, and the run goes on.
int RemoveStagingFolder(const char* staging, int nt) {
  if (AllowSystemChangeOf("remove folder", staging) && RemoveDirectoryA(staging)) return 1;
  return nt ? ScheduleDeleteAtRestart(staging) : 1;
}

int InstallFromPackage(HWND window, const char* packageFolder, const char* folder,
                       int instanceRunning, FileLists* lists) {
  OSVERSIONINFOA version;
  if (!ReadOsVersion(&version)) return 0;
  const int nt = IsNtFamily(&version);
  const int decrypt = IsWindows2000OrLater(&version);
  const ProgramFile* set = ProgramFileSet();

  char windows[MAX_PATH];
  char temp[MAX_PATH];
  if (!ReadWindowsFolder(windows) || !TextCopy(temp, MAX_PATH, windows) ||
      !TextAppend(temp, MAX_PATH, "\\TEMP")) {
    return 0;
  }
  // Every final path fits (the folder rule) and is free of folders before
  // anything is copied.
  if (!BuildFinalList(set, windows, folder, &lists->final) || !NoFolderInTheWay(&lists->final)) {
    return 0;
  }
  char staging[MAX_PATH];
  if (!MakeStagingFolder(temp, staging)) return 0;
  for (int i = 0; i < kProgramFileCount; ++i) {
    if (!AppendPath(&lists->source, packageFolder, set[i].packageName) ||
        !AppendPath(&lists->staged, staging, set[i].installedName)) {
      return 0;
    }
  }
  // Nothing at the final places changes, and nothing is made on the program
  // folder's drive, before the whole set is staged.
  if (!CopyFileList(window, &lists->source, &lists->staged)) return 0;
  if (!CreateFolderPath(folder)) return 0;
  char fullFolder[MAX_PATH];
  DWORD fullLength = GetFullPathNameA(folder, MAX_PATH, fullFolder, nullptr);
  if (fullLength == 0 || fullLength >= MAX_PATH) {
    if (!TextCopy(fullFolder, MAX_PATH, folder)) fullFolder[0] = '\0';
  }
  if (instanceRunning && !SameRoot(fullFolder, staging) && !StageInProgramFolder(window, folder, lists)) {
    return 0;
  }

  if (nt) {
    for (int i = 0; i < lists->staged.count; ++i) {
      const char* staged = MultiStringEntry(&lists->staged, i);
      SetInstalledFileAccess(staged);
      if (decrypt) DecryptIfEncrypted(staged);
    }
  }
  if (!WithdrawEarlierOperations(&lists->final, folder)) return 0;
  if (!RemoveStrayFile(folder, OtherDescriptorName(), instanceRunning)) return 0;
  if (nt && !RemoveStrayFile(folder, kProductManifestName, instanceRunning)) return 0;

  if (instanceRunning) return ReplaceAtRestart(lists, nt, decrypt, staging);

  if (IsRenamePending(kUninstallerName)) {
    // Another program left an operation on a file of the uninstaller's name
    // for the restart (this program's own earlier ones are withdrawn above):
    // the new one is put in place now and once more at the restart, after
    // that operation.
    if (decrypt) DecryptEach(&lists->final);
    if (!ScheduleMoveAtRestart(MultiStringEntry(&lists->staged, 0),
                               MultiStringEntry(&lists->final, 0))) {
      return 0;
    }
    if (!CopyFileList(window, &lists->staged, &lists->final)) return 0;
    if (nt) SetAccessOfLandedFiles(lists, 1);
    return 1;
  }

  if (decrypt) DecryptEach(&lists->final);
  if (!MoveFileList(window, &lists->staged, &lists->final)) return 0;
  if (nt) SetAccessOfLandedFiles(lists, 0);
  return RemoveStagingFolder(staging, nt);
}

}  // namespace

int InstallProgramFiles(HWND window, const char* packageFolder, const char* folder,
                        int instanceRunning) {
  if (!IsUsableProgramFolder(folder)) return 0;
  FileLists lists;
  InitFileLists(&lists);
  int result = InstallFromPackage(window, packageFolder, folder, instanceRunning, &lists);
  FreeFileLists(&lists);
  return result;
}

int RemoveProgramFiles(const char* folder, int instanceRunning) {
  // Without a program folder (an uninstall that stopped part way removed its
  // value after the files) only the uninstaller is left to remove.
  const int uninstallerOnly = folder == nullptr || folder[0] == '\0';
  if (!uninstallerOnly && !IsUsableProgramFolder(folder)) return 0;
  OSVERSIONINFOA version;
  if (!ReadOsVersion(&version)) return 0;
  char windows[MAX_PATH];
  if (!ReadWindowsFolder(windows)) return 0;
  MultiString final;
  MultiString present;
  InitMultiString(&final);
  InitMultiString(&present);
  int result = uninstallerOnly ? AppendPath(&final, windows, kUninstallerName)
                               : BuildFinalList(ProgramFileSet(), windows, folder, &final);
  if (result) {
    result = uninstallerOnly ? WithdrawRestartOperations(MultiStringText(&final))
                             : WithdrawEarlierOperations(&final, folder);
  }

  // Files of the set's names only, and those gone already need no deletion.
  // The uninstaller is normally the running program: without a running
  // product it goes at the restart, the rest now.
  if (result) result = KeepFiles(&final, instanceRunning ? 0 : 1, &present);
  if (result && instanceRunning) {
    if (IsNtFamily(&version)) {
      for (int i = 0; result && i < present.count; ++i) {
        result = ScheduleDeleteAtRestart(MultiStringEntry(&present, i));
      }
    } else if (present.count != 0) {
      result = ScheduleDeleteListAtRestart(MultiStringText(&present));
    }
  } else if (result) {
    if (present.count != 0) result = DeleteFileList(&present);
    const char* uninstaller = MultiStringEntry(&final, 0);
    if (result && IsFile(uninstaller)) result = ScheduleDeleteAtRestart(uninstaller);
  }
  FreeMultiString(&final);
  FreeMultiString(&present);
  return result;
}

int ProcessProgramFiles(HWND window, const char* folder, int instanceRunning, uint32_t flags) {
  if (!(flags & OptInstall)) return RemoveProgramFiles(folder, instanceRunning);
  char packageFolder[MAX_PATH];
  if (!g_readPackageFolder(packageFolder)) return 0;
  return InstallProgramFiles(window, packageFolder, folder, instanceRunning);
}
