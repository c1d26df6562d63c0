// Writers of the product key's own values. Each creates or updates with
// OptInstall set and deletes with it clear; only RegisterProgramFolder
// creates the key, the others need it to exist. A removal finds values (or
// the whole key) gone already when an earlier uninstall stopped part way:
// they count as removed, so that running the uninstall again completes it.
#include "registry/product_key.h"

#include "common/option_bits.h"
#include "common/product_names.h"
#include "common/text.h"
#include "registry/registry_io.h"

namespace {


// Opens the key to write values (install) or to remove them. Answers 1 with
// the key open; else 0, and *result holds what the operation answers: 0, or
// 1 for a removal that finds no key left.
int OpenProductKeyFor(uint32_t flags, HKEY* key, int* result) {
  LONG status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kProductKeyPath, 0, KEY_ALL_ACCESS, key);
  *result = !(flags & OptInstall) && status == ERROR_FILE_NOT_FOUND;
  return status == ERROR_SUCCESS;
}

}  // namespace

int RegisterProgramFolder(const char* folder, uint32_t flags) {
  HKEY key;
  int ok;
  if (flags & OptInstall) {
    if (!CreateRegistryKey(HKEY_LOCAL_MACHINE, kProductKeyPath, &key)) return 0;
    char programPath[MAX_PATH];
    ok = SetStringValue(key, "ProgDir", folder) &&
         TextCopy(programPath, MAX_PATH, folder) &&
         TextAppend(programPath, MAX_PATH, kProgramPathTail) &&
         SetStringValue(key, "", programPath);
  } else {
    int result;
    if (!OpenProductKeyFor(flags, &key, &result)) return result;
    ok = DeleteRegistryValue(key, "") && DeleteRegistryValue(key, "ProgDir");
  }
  RegCloseKey(key);
  return ok;
}

int RegisterNameAndVersion(const char* name, const char* version, uint32_t flags) {
  HKEY key;
  int result;
  if (!OpenProductKeyFor(flags, &key, &result)) return result;
  int ok;
  if (flags & OptInstall) {
    ok = SetStringValue(key, "Name", name) && SetStringValue(key, "Version", version);
  } else {
    ok = DeleteRegistryValue(key, "Name") && DeleteRegistryValue(key, "Version");
  }
  RegCloseKey(key);
  return ok;
}

int RegisterGroupFolder(const char* folder, uint32_t flags) {
  HKEY key;
  int result;
  if (!OpenProductKeyFor(flags, &key, &result)) return result;
  int ok = (flags & OptInstall) ? SetStringValue(key, "MenuDir", folder)
                                : DeleteRegistryValue(key, "MenuDir");
  RegCloseKey(key);
  return ok;
}

// A "DownloadDir" already registered is kept; "InternetFunction" is kept at
// uninstall so that the next install can honour a stored 0.
int RegisterDownloadSettings(int internetFunction, const char* downloadFolder, uint32_t flags) {
  HKEY key;
  int result;
  if (!OpenProductKeyFor(flags, &key, &result)) return result;
  int ok;
  if (flags & OptInstall) {
    ok = HasRegistryValue(key, "DownloadDir") || SetStringValue(key, "DownloadDir", downloadFolder);
    ok = ok && SetDwordValue(key, "InternetFunction", static_cast<DWORD>(internetFunction));
  } else {
    ok = DeleteRegistryValue(key, "DownloadDir");
    DeleteRegistryValue(key, "ProxyServer");
  }
  RegCloseKey(key);
  return ok;
}
