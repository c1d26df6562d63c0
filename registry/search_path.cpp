// The search-path tree under the product key: one key level per component of
// a registered folder, the folder itself as the default value of the last.
#include "common/option_bits.h"
#include "common/text.h"
#include "registry/product_key.h"
#include "registry/registry_io.h"

int RegisterSearchFolder(const char* folder, uint32_t flags) {
  if (!(flags & OptInstall)) {
    DeleteKeyTree(HKEY_LOCAL_MACHINE, kSearchPathKeyPath);
    return 1;
  }
  if (folder == nullptr) return 0;
  // A path cut to fit would register another folder.
  char keyPath[MAX_PATH];
  if (!TextFormat(keyPath, MAX_PATH, "%s\\%s", kSearchPathKeyPath, folder)) return 0;

  // Folders registered inside this one before are covered by it now.
  HKEY key;
  if (OpenRegistryKey(HKEY_LOCAL_MACHINE, keyPath, KEY_ALL_ACCESS, &key)) {
    DWORD subkeys = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
        subkeys > 0) {
      DeleteKeyTree(key, nullptr);
    }
    RegCloseKey(key);
  }
  return SetKeyPathDefault(HKEY_LOCAL_MACHINE, keyPath, folder);
}

// Deletes all values and subkeys of parent\subkey, then the subkey itself;
// with no subkey name, empties parent and keeps it. Single failures are passed
// over. Deletion runs from the highest index down so that the indices still
// to visit do not move.
int DeleteKeyTree(HKEY parent, const char* subkey) {
  HKEY key;
  if (RegOpenKeyExA(parent, subkey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return 1;
  DWORD subkeys = 0;
  DWORD values = 0;
  if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr,
                       nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
    subkeys = 0;
    values = 0;
  }
  for (DWORD index = values; index-- > 0;) {
    char name[MAX_PATH];
    DWORD length = MAX_PATH;
    if (RegEnumValueA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) ==
        ERROR_SUCCESS) {
      DeleteRegistryValue(key, name);
    }
  }
  for (DWORD index = subkeys; index-- > 0;) {
    char name[MAX_PATH];
    if (RegEnumKeyA(key, index, name, MAX_PATH) == ERROR_SUCCESS) DeleteKeyTree(key, name);
  }
  RegCloseKey(key);
  if (subkey != nullptr) DeleteRegistryKey(parent, subkey);
  return 1;
}
