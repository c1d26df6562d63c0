// Helpers of the file subsystem's Windows tests: a chosen Windows version in
// front of the operations, the pending operations of the restart as raw data,
// and small file-system helpers.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "files/os_version.h"

namespace files_test {

// Makes the file operations see the given platform id and major version.
class ScopedWindowsVersion {
 public:
  ScopedWindowsVersion(DWORD platformId, DWORD majorVersion);
  ~ScopedWindowsVersion();
  static ScopedWindowsVersion* current;
  DWORD platformId;
  DWORD majorVersion;
  bool fail = false;  // the query itself fails

 private:
  VersionQuery saved_;
};

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);
bool Exists(const std::string& path);
bool IsFolder(const std::string& path);
std::string ShortPath(const std::string& path);
std::string WindowsFolder();
// Deletes a folder with everything in it (test data only).
void DeleteTree(const std::string& path);

// "PendingFileRenameOperations" as raw bytes; "missing" when there is none.
std::string PendingOperations();
void ClearPendingOperations();
void SetPendingOperations(const std::string& data);
// The pairs (source, destination) of the pending operations, in order.
std::vector<std::pair<std::string, std::string>> PendingPairs();

std::string WininitPath();
std::string WininitText();  // "missing" when there is no file
void RemoveWininit();

// Runs "wineboot -r", which carries out the pending operations of both forms.
void RunRestart();

}  // namespace files_test
