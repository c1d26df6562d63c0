// Loading DLLs and binding functions at run time. A DLL loaded by a bare name
// is searched in the program's own folder first, which is whatever folder the
// setup was started from: the program loads DLLs by full path only, and keeps
// the system's own later loads to the system folder. The DLLs it imports
// besides kernel32 and the C runtime are delay-loaded: the helper here loads each
// from the system folder at its first use.
#pragma once
#include <windows.h>

typedef HMODULE(WINAPI* LibraryLoader)(LPCSTR path);
typedef FARPROC(WINAPI* ProcedureFinder)(HMODULE module, LPCSTR name);

// LoadLibraryA and GetProcAddress; tests look at the paths loaded and make
// exports missing, as on the older systems, through these.
extern LibraryLoader g_loadLibrary;
extern ProcedureFinder g_findProcedure;

// Loads the DLL name from the system folder by its full path. Answers the
// module (to be freed with FreeLibrary) or null.
HMODULE LoadSystemLibrary(const char* name);
// Loads the DLL name from folder by its full path. Answers the module or null.
HMODULE LoadLibraryFrom(const char* folder, const char* name);
// The export name of module, or null (also for a null module).
FARPROC FindProcedure(HMODULE module, const char* name);
// The export name of a DLL the process has loaded already (kernel32,
// advapi32, shell32: the program's own imports), or null.
FARPROC FindLoadedProcedure(const char* module, const char* name);

// Takes the program's own folder and the current folder out of the DLL
// search of the process: only the system folder where kernel32 has
// SetDefaultDllDirectories, else no current folder where it has
// SetDllDirectoryA. Answers 1 when either was applied; older systems have
// neither and answer 0. Called first at program entry.
int RestrictLibrarySearch();
