#include "registry/registry_io.h"

#include "common/system_change.h"
#include "common/system_library.h"
#include "common/text.h"
#include "registry/registry_text.h"


namespace {

typedef BOOL(WINAPI* Wow64Query)(HANDLE process, BOOL* wow64);
typedef LONG(WINAPI* ViewKeyDeleter)(HKEY parent, LPCSTR path, REGSAM view, DWORD reserved);

}  // namespace

int CreateRegistryKey(HKEY root, const char* path, HKEY* key) {
  return CreateRegistryKeyIn(root, path, 0, key);
}

int CreateRegistryKeyIn(HKEY root, const char* path, REGSAM view, HKEY* key) {
  if (!AllowSystemChangeOf("create key", path)) return 0;
  return RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS | view,
                         nullptr, key, nullptr) == ERROR_SUCCESS;
}

int DeleteRegistryKey(HKEY parent, const char* path) { return DeleteRegistryKeyIn(parent, path, 0); }

int DeleteRegistryKeyIn(HKEY parent, const char* path, REGSAM view) {
  if (!AllowSystemChangeOf("delete key", path)) return 0;
  LONG status = ERROR_INVALID_FUNCTION;
  if (view == 0) {
    status = RegDeleteKeyA(parent, path);
  } else {
    // RegDeleteKeyA keeps to the program's own view; every system with
    // WoW64 has the call that takes a view.
    ViewKeyDeleter deleteKey =
        reinterpret_cast<ViewKeyDeleter>(FindLoadedProcedure("advapi32.dll", "RegDeleteKeyExA"));
    if (deleteKey != nullptr) status = deleteKey(parent, path, view, 0);
  }
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

int ReadSharedViews(REGSAM views[2]) {
  views[0] = 0;
  // Windows 2000 and older have no WoW64, nor the query.
  Wow64Query query = reinterpret_cast<Wow64Query>(FindLoadedProcedure("kernel32.dll", "IsWow64Process"));
  BOOL wow64 = FALSE;
  if (query == nullptr || !query(GetCurrentProcess(), &wow64) || !wow64) return 1;
  views[1] = KEY_WOW64_64KEY;
  return 2;
}

int SetKeyPathDefault(HKEY root, const char* path, const char* text) {
  if (text == nullptr || !AllowSystemChangeOf("set key", path)) return 0;
  return RegSetValueA(root, path, REG_SZ, text, static_cast<DWORD>(TextLength(text, MAX_PATH) + 1)) ==
         ERROR_SUCCESS;
}

int OpenRegistryKey(HKEY root, const char* path, REGSAM access, HKEY* key) {
  return RegOpenKeyExA(root, path, 0, access, key) == ERROR_SUCCESS;
}

int SetStringValue(HKEY key, const char* name, const char* text) {
  if (text == nullptr) return 0;
  // Every text handed in lives in a 260-byte buffer.
  size_t length = TextLength(text, MAX_PATH);
  if (length == MAX_PATH) return 0;
  return SetBinaryValue(key, name, REG_SZ, reinterpret_cast<const BYTE*>(text),
                        static_cast<DWORD>(length + 1));
}

int SetDwordValue(HKEY key, const char* name, DWORD value) {
  return SetBinaryValue(key, name, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

int SetBinaryValue(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size) {
  if (!AllowSystemChange(name)) return 0;
  return RegSetValueExA(key, name, 0, type, data, size) == ERROR_SUCCESS;
}

int DeleteRegistryValue(HKEY key, const char* name) {
  if (!AllowSystemChange(name)) return 0;
  LONG status = RegDeleteValueA(key, name);
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

int HasRegistryValue(HKEY key, const char* name) {
  DWORD size = 0;
  return RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS;
}

int ReadStringValue(HKEY key, const char* name, char* buffer, DWORD size) {
  if (buffer == nullptr || size == 0) return 0;
  DWORD type = REG_NONE;
  DWORD got = size;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &got) !=
      ERROR_SUCCESS) {
    buffer[0] = '\0';
    return 0;
  }
  return CompleteStringRead(type, buffer, size, got);
}

int ReadMachineString(const char* path, REGSAM access, const char* name, char* buffer,
                      DWORD size) {
  HKEY key;
  if (!OpenRegistryKey(HKEY_LOCAL_MACHINE, path, access, &key)) {
    if (buffer != nullptr && size > 0) buffer[0] = '\0';
    return 0;
  }
  int ok = ReadStringValue(key, name, buffer, size);
  RegCloseKey(key);
  return ok;
}
