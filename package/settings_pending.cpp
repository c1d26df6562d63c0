#include "package/settings.h"

// Placeholder until the package readers land: nothing is found.
int ReadReleaseInfo(char*, char*) { return 0; }
int ReadInternetMode() { return 0; }
