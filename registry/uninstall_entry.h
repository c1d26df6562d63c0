// The system's uninstall entry and the interface path key.
#pragma once
#include <stdint.h>

int RegisterUninstallEntry(const char* uninstallerName, const char* productName,
                           const char* productVersion, uint32_t flags);
int RegisterInterfacePath(const char* uninstallerName, uint32_t flags);
