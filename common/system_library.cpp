#include "common/system_library.h"

#include <delayimp.h>

#include "common/text.h"

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

// Called before a delay-imported DLL is loaded: the answer is the module to
// use, or null to let the loader take it by name.
FARPROC WINAPI LoadDelayedLibrary(unsigned notice, PDelayLoadInfo info) {
  if (notice != dliNotePreLoadLibrary || IsRedirectedByManifest(info->szDll)) return nullptr;
  return reinterpret_cast<FARPROC>(LoadSystemLibrary(info->szDll));
}

}  // namespace

PfnDliHook __pfnDliNotifyHook2 = LoadDelayedLibrary;

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
