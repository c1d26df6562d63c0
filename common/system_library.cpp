#include "common/system_library.h"

#include <delayimp.h>

#include "common/text.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

LibraryLoader g_loadLibrary = LoadLibraryA;
ProcedureFinder g_findProcedure = GetProcAddress;

namespace {

// LOAD_LIBRARY_SEARCH_SYSTEM32, which the headers of the oldest systems lack.
const DWORD kSearchSystemFolder = 0x00000800;

typedef BOOL(WINAPI* DefaultDirectoriesSetter)(DWORD flags);
typedef BOOL(WINAPI* DllDirectorySetter)(LPCSTR path);

// The manifest makes the system load version 6 of the common controls by
// name, where it knows manifests (activation contexts, from Windows XP on).
int IsRedirectedByManifest(const char* name) {
  return lstrcmpiA(name, "comctl32.dll") == 0 &&
         FindLoadedProcedure("kernel32.dll", "ActivateActCtx") != nullptr;
}

}  // namespace

// The delay-import stubs call this at the first use of a function: it loads
// the function's DLL once (from the system folder unless the manifest
// redirects it), binds the function into the stub's slot and answers it. A
// DLL or function that cannot be had raises the same exception as the
// toolchain's own helper, which this smaller one replaces.
extern "C" FARPROC WINAPI __delayLoadHelper2(PCImgDelayDescr descriptor, FARPROC* slot) {
  BYTE* base = reinterpret_cast<BYTE*>(&__ImageBase);
  const char* dll = reinterpret_cast<const char*>(base + descriptor->rvaDLLName);
  HMODULE* module = reinterpret_cast<HMODULE*>(base + descriptor->rvaHmod);
  FARPROC* slots = reinterpret_cast<FARPROC*>(base + descriptor->rvaIAT);
  const IMAGE_THUNK_DATA* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + descriptor->rvaINT);
  const IMAGE_THUNK_DATA* name = names + (slot - slots);
  FARPROC procedure = nullptr;
  if (*module == nullptr) {
    *module = IsRedirectedByManifest(dll) ? LoadLibraryA(dll) : LoadSystemLibrary(dll);
  }
  if (*module != nullptr) {
    const char* exportName =
        IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal)
            ? reinterpret_cast<const char*>(IMAGE_ORDINAL(name->u1.Ordinal))
            : reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + name->u1.AddressOfData)->Name;
    procedure = GetProcAddress(*module, exportName);
  }
  if (procedure == nullptr) {
    DWORD error = *module == nullptr ? ERROR_MOD_NOT_FOUND : ERROR_PROC_NOT_FOUND;
    RaiseException(VcppException(ERROR_SEVERITY_ERROR, error), 0, 0, nullptr);
  }
  *slot = procedure;
  return procedure;
}

HMODULE LoadLibraryFrom(const char* folder, const char* name) {
  char path[MAX_PATH];
  if (folder == nullptr || folder[0] == '\0' || !TextFormat(path, MAX_PATH, "%s\\%s", folder, name)) {
    return nullptr;
  }
  return g_loadLibrary(path);
}

HMODULE LoadSystemLibrary(const char* name) {
  char system[MAX_PATH];
  UINT length = GetSystemDirectoryA(system, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  return LoadLibraryFrom(system, name);
}

FARPROC FindProcedure(HMODULE module, const char* name) {
  return module != nullptr ? g_findProcedure(module, name) : nullptr;
}

FARPROC FindLoadedProcedure(const char* module, const char* name) {
  return FindProcedure(GetModuleHandleA(module), name);
}

int RestrictLibrarySearch() {
  DefaultDirectoriesSetter setDefault = reinterpret_cast<DefaultDirectoriesSetter>(
      FindLoadedProcedure("kernel32.dll", "SetDefaultDllDirectories"));
  if (setDefault != nullptr && setDefault(kSearchSystemFolder)) return 1;
  DllDirectorySetter setDirectory = reinterpret_cast<DllDirectorySetter>(
      FindLoadedProcedure("kernel32.dll", "SetDllDirectoryA"));
  return setDirectory != nullptr && setDirectory("") ? 1 : 0;
}
