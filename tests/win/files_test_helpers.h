// Helpers of the file subsystem's Windows tests: a chosen Windows version in
// front of the operations, the program file set, the pending operations of the
// restart as raw data, and small file-system helpers.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <aclapi.h>
#include <sddl.h>

#include <algorithm>
#include <ostream>
#include <string>
#include <vector>

#include "common/os_version.h"
#include "files/program_file_set.h"
#include "support/support.h"

namespace files_test {

// Makes the file operations see the given platform id and major version.
class ScopedWindowsVersion {
 public:
  ScopedWindowsVersion(DWORD platformId, DWORD majorVersion);
  ~ScopedWindowsVersion();
  static inline ScopedWindowsVersion* current = nullptr;
  DWORD platformId;
  DWORD majorVersion;
  bool fail = false;  // the query itself fails

 private:
  VersionQuery saved_;
};

inline constexpr char kSessionManager[] = "SYSTEM\\CurrentControlSet\\Control\\Session Manager";
inline constexpr char kPending[] = "PendingFileRenameOperations";

inline BOOL WINAPI FakeVersion(OSVERSIONINFOA* version) {
  ScopedWindowsVersion* v = ScopedWindowsVersion::current;
  if (v->fail) return FALSE;
  version->dwPlatformId = v->platformId;
  version->dwMajorVersion = v->majorVersion;
  version->dwMinorVersion = v->platformId == VER_PLATFORM_WIN32_WINDOWS ? 10 : 0;
  return version->dwOSVersionInfoSize == sizeof(OSVERSIONINFOA);
}

inline ScopedWindowsVersion::ScopedWindowsVersion(DWORD platformId, DWORD majorVersion)
    : platformId(platformId), majorVersion(majorVersion), saved_(g_versionQuery) {
  current = this;
  g_versionQuery = FakeVersion;
}

inline ScopedWindowsVersion::~ScopedWindowsVersion() {
  g_versionQuery = saved_;
  current = nullptr;
}

inline std::string SidText(PSID sid) {
  if (sid == nullptr) return "none";
  char* text = nullptr;
  if (!ConvertSidToStringSidA(sid, &text)) return "invalid";
  std::string result = text;
  LocalFree(text);
  return result;
}

// One entry of an access list.
struct Ace {
  int type;
  int flags;
  DWORD mask;
  std::string sid;
  bool operator==(const Ace& other) const {
    return type == other.type && flags == other.flags && mask == other.mask && sid == other.sid;
  }
};

inline std::ostream& operator<<(std::ostream& out, const Ace& ace) {
  return out << "{type " << ace.type << ", flags " << ace.flags << ", mask 0x" << std::hex << ace.mask
             << std::dec << ", " << ace.sid << "}";
}

inline std::vector<Ace> AcesOf(PACL acl) {
  std::vector<Ace> aces;
  if (acl == nullptr) return aces;
  for (DWORD i = 0; i < acl->AceCount; ++i) {
    ACCESS_ALLOWED_ACE* ace = nullptr;
    if (!GetAce(acl, i, reinterpret_cast<void**>(&ace))) break;
    aces.push_back({ace->Header.AceType, ace->Header.AceFlags, ace->Mask, SidText(&ace->SidStart)});
  }
  return aces;
}

inline std::string ReadFileBytes(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "missing";
  std::string bytes;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read != 0) bytes.append(buffer, read);
  CloseHandle(file);
  return bytes;
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
  CloseHandle(file);
}

inline bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

inline bool IsFolder(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

inline std::string ShortPath(const std::string& path) {
  char buffer[MAX_PATH] = {};
  DWORD length = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
  EXPECT_TRUE(length != 0 && length < MAX_PATH) << path;
  return buffer;
}

// The names matching pattern in folder: files, or else folders; sorted.
inline std::vector<std::string> NamesIn(const std::string& folder, const char* pattern, bool folders) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "\\" + pattern).c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    if (((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == folders) names.push_back(data.cFileName);
  } while (FindNextFileA(find, &data));
  FindClose(find);
  std::sort(names.begin(), names.end());
  return names;
}

// The files in a folder (no subfolders), sorted by name.
inline std::vector<std::string> FilesIn(const std::string& folder) { return NamesIn(folder, "*", false); }

// The program file set as the tests expect it, entry by entry, in the package
// and installed; entry 2, the descriptor, is named by the package's kind.
inline const char* const kPackageNames[kProgramFileCount] = {
    "setup.exe",   "DidIve",      nullptr,       "NvxSetup.dat", "NvxSetup.dll", "NVXSYSID.sys",
    "NVXSYSID.vxd", "nvxliba.dll", "nvxlibb.dll", "unicows.dll",  "NVXNTDEV.sys", "NvxFlash.dll"};
inline const char* const kInstalledNames[kProgramFileCount] = {
    "_nvxu000.exe", "DidIve.exe",  nullptr,       "NvxSetup.dat", "NvxSetup.dll", "NVXSYSID.sys",
    "NVXSYSID.vxd", "nvxliba.dll", "nvxlibb.dll", "unicows.dll",  "NVXNTDEV.sys", "NvxFlash.dll"};

inline std::string PackageName(int i, const std::string& descriptor) {
  return i == 2 ? descriptor : kPackageNames[i];
}
inline std::string InstalledName(int i, const std::string& descriptor) {
  return i == 2 ? descriptor : kInstalledNames[i];
}

inline std::string Uninstaller() { return ts::WindowsDir() + "\\_nvxu000.exe"; }
inline std::string TempFolder() { return ts::WindowsDir() + "\\TEMP"; }

// The names in the program folder (every entry but the uninstaller), sorted.
inline std::vector<std::string> InstalledNames(const std::string& descriptor) {
  std::vector<std::string> names;
  for (int i = 1; i < kProgramFileCount; ++i) names.push_back(InstalledName(i, descriptor));
  std::sort(names.begin(), names.end());
  return names;
}

// The final paths of the set, entry 0 the uninstaller.
inline std::vector<std::string> FinalPaths(const std::string& folder, const std::string& descriptor) {
  std::vector<std::string> paths = {Uninstaller()};
  for (int i = 1; i < kProgramFileCount; ++i) paths.push_back(folder + "\\" + InstalledName(i, descriptor));
  return paths;
}

// Folders named like staging folders inside folder, as paths.
inline std::vector<std::string> StagingFoldersIn(const std::string& folder) {
  std::vector<std::string> found = NamesIn(folder, "VOD*.tmp", true);
  for (std::string& name : found) name = folder + "\\" + name;
  return found;
}

inline std::string PendingOperations() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_READ, &key) != ERROR_SUCCESS) return "missing";
  DWORD size = 0;
  DWORD type = 0;
  std::string data = "missing";
  if (RegQueryValueExA(key, kPending, nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
    data.assign(size, '\0');
    RegQueryValueExA(key, kPending, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size);
    data.resize(size);
    EXPECT_EQ(type, static_cast<DWORD>(REG_MULTI_SZ));
  }
  RegCloseKey(key);
  return data;
}

inline void ClearPendingOperations() {
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
  RegDeleteValueA(key, kPending);
  RegCloseKey(key);
}

inline void SetPendingOperations(const std::string& data) {
  HKEY key;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE, &key), ERROR_SUCCESS);
  EXPECT_EQ(RegSetValueExA(key, kPending, 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data.data()),
                           static_cast<DWORD>(data.size())),
            ERROR_SUCCESS);
  RegCloseKey(key);
}

inline std::vector<std::pair<std::string, std::string>> PendingPairs() {
  std::vector<std::pair<std::string, std::string>> pairs;
  std::string data = PendingOperations();
  if (data == "missing") return pairs;
  size_t offset = 0;
  while (offset < data.size() && data[offset] != '\0') {
    std::string source = data.c_str() + offset;
    offset += source.size() + 1;
    std::string destination = offset < data.size() ? data.c_str() + offset : "";
    offset += destination.size() + 1;
    pairs.emplace_back(source, destination);
  }
  return pairs;
}

inline std::string WininitPath() { return ts::WindowsDir() + "\\WININIT.INI"; }

inline std::string WininitText() { return ReadFileBytes(WininitPath()); }

inline void RemoveWininit() {
  DeleteFileA(WininitPath().c_str());
  DeleteFileA((ts::WindowsDir() + "\\wininit.bak").c_str());
}

inline void RunRestart() {
  STARTUPINFOA startup = {};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process = {};
  char command[] = "wineboot.exe -r";
  ASSERT_TRUE(CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
  ASSERT_EQ(WaitForSingleObject(process.hProcess, 120000), WAIT_OBJECT_0);
  DWORD exitCode = 1;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hProcess);
  CloseHandle(process.hThread);
  ASSERT_EQ(exitCode, 0u);
}

}  // namespace files_test
