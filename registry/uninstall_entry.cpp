#include "registry/uninstall_entry.h"

// Placeholder until the uninstall entry lands: nothing written, success.
int RegisterUninstallEntry(const char*, const char*, const char*, uint32_t) { return 1; }
int RegisterInterfacePath(const char*, uint32_t) { return 1; }
