// The system's uninstall entry and the interface path key.
#pragma once
#include <stdint.h>

int RegisterUninstallEntry(const char* uninstallerName, const char* productName,
                           const char* productVersion, uint32_t flags);
int RegisterInterfacePath(const char* uninstallerName, uint32_t flags);
// Whether the system's uninstall entry, or a value of the interface path key,
// is registered: an uninstall that stopped before its last steps left it.
int IsUninstallRegistered();
