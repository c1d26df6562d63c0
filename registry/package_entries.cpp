// Adjusts the package entries that the installed product keeps under the
// product key's "Install" subkey, so that every entry has the values the
// product expects. Never fails: entries that cannot be opened stay as they are.
#include "registry/product_key.h"
#include "registry/registry_io.h"

namespace {

// The product's own entry carries a different "NVX" default.
const char kOwnEntryName[] = "DIDIVE";

void FixUpPackageEntry(HKEY entry, const char* name) {
  // Set only when missing or longer than 4 bytes: a shorter value is the
  // product's own and stays.
  DWORD nvx = 0;
  DWORD size = sizeof(nvx);
  if (RegQueryValueExA(entry, "NVX", nullptr, nullptr, reinterpret_cast<BYTE*>(&nvx), &size) !=
      ERROR_SUCCESS) {
    SetDwordValue(entry, "NVX", lstrcmpiA(name, kOwnEntryName) == 0 ? 0x200 : 0x100);
  }

  const BYTE emptyList[1] = {0};
  if (!HasRegistryValue(entry, "RegVersion")) {
    SetBinaryValue(entry, "RegVersion", REG_MULTI_SZ, emptyList, sizeof(emptyList));
  }

  // A "Version" of at most two characters counts as never updated.
  char version[MAX_PATH];
  size = MAX_PATH;
  if (RegQueryValueExA(entry, "Version", nullptr, nullptr, reinterpret_cast<BYTE*>(version), &size) ==
          ERROR_SUCCESS &&
      size <= 3) {
    const BYTE never[8] = {0};
    SetBinaryValue(entry, "LastUpdate", REG_BINARY, never, sizeof(never));
  }

  if (!HasRegistryValue(entry, "DeviceInfo")) {
    SetBinaryValue(entry, "DeviceInfo", REG_MULTI_SZ, emptyList, sizeof(emptyList));
  }

  DeleteRegistryValue(entry, "Catalog");
}

}  // namespace

int FixUpPackageEntries() {
  HKEY install;
  if (!OpenRegistryKey(HKEY_LOCAL_MACHINE, kInstallKeyPath, KEY_ALL_ACCESS, &install)) return 1;
  DWORD entries = 0;
  if (RegQueryInfoKeyA(install, nullptr, nullptr, nullptr, &entries, nullptr, nullptr, nullptr,
                       nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
      entries > 0) {
    char name[MAX_PATH];
    for (DWORD index = 0; RegEnumKeyA(install, index, name, MAX_PATH) == ERROR_SUCCESS; ++index) {
      HKEY entry;
      if (!OpenRegistryKey(install, name, KEY_ALL_ACCESS, &entry)) continue;
      FixUpPackageEntry(entry, name);
      RegCloseKey(entry);
    }
  }
  RegCloseKey(install);
  return 1;
}
