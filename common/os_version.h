// The version of the running Windows and the platform decisions taken from it.
#pragma once
#include <windows.h>

typedef BOOL(WINAPI* VersionQuery)(OSVERSIONINFOA* version);

// GetVersionExA; tests put another Windows in front of every version query.
extern VersionQuery g_versionQuery;

// Reads the version (size member set, all other members zero before the call).
// Answers 0 when the query fails.
int ReadOsVersion(OSVERSIONINFOA* version);
// The NT family: platform id VER_PLATFORM_WIN32_NT. Any other id is Windows 9x.
int IsNtFamily(const OSVERSIONINFOA* version);
// NT with a major version of 5 or more.
int IsWindows2000OrLater(const OSVERSIONINFOA* version);
// Whether the running system is of the NT family (a failed query: no).
int RunsOnNtFamily();
