// Readers of the product key, and of one value of the system's
// CurrentVersion key. Each answers 1 when the value was read.
#include "registry/product_key.h"
#include "registry/registry_io.h"
#include "registry/registry_text.h"

namespace {

const char kWindowsKeyPath[] = "Software\\Microsoft\\Windows\\CurrentVersion";

}  // namespace

int ReadProgramFolder(char* buffer) {
  return ReadMachineString(kProductKeyPath, KEY_READ, "ProgDir", buffer, MAX_PATH);
}

int ReadProgramPath(char* buffer, DWORD size) {
  return ReadMachineString(kProductKeyPath, KEY_READ, "", buffer, size);
}

int ReadGroupFolder(char* buffer) {
  return ReadMachineString(kProductKeyPath, KEY_READ, "MenuDir", buffer, MAX_PATH);
}

// Opened for writing as the download settings are: the install reads it just
// before it writes the key.
int ReadDownloadFolder(char* buffer, DWORD size) {
  return ReadMachineString(kProductKeyPath, KEY_ALL_ACCESS, "DownloadDir", buffer, size);
}

int ReadWindowsSetting(const char* name, char* buffer, DWORD size) {
  return ReadMachineString(kWindowsKeyPath, KEY_READ, name, buffer, size);
}

int ReadNameAndVersion(char* name, char* version) {
  HKEY key;
  if (!OpenRegistryKey(HKEY_LOCAL_MACHINE, kProductKeyPath, KEY_READ, &key)) {
    name[0] = '\0';
    version[0] = '\0';
    return 0;
  }
  int ok = ReadStringValue(key, "Name", name, MAX_PATH) &&
           ReadStringValue(key, "Version", version, MAX_PATH);
  RegCloseKey(key);
  return ok && ExpandPackedVersion(version, MAX_PATH);
}

// Four bytes are the number whatever the value's type; fewer would leave the
// variable half set, more do not fit.
int ReadInternetFunction(int* value) {
  HKEY key;
  if (!OpenRegistryKey(HKEY_LOCAL_MACHINE, kProductKeyPath, KEY_READ, &key)) return 0;
  DWORD data = 0;
  DWORD size = sizeof(data);
  int ok = RegQueryValueExA(key, "InternetFunction", nullptr, nullptr, reinterpret_cast<BYTE*>(&data),
                            &size) == ERROR_SUCCESS &&
           size == sizeof(data);
  RegCloseKey(key);
  if (ok) *value = static_cast<int>(data);
  return ok;
}
