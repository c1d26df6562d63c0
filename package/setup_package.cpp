#include "package/setup_package.h"

SetupPackage g_setupPackage;

// Placeholder until package loading lands: nothing is loaded, the load succeeds.
int LoadSetupPackage(HINSTANCE instance, const char*, SetupContext*) {
  g_setupPackage.instance = instance;
  return 1;
}

void ReleaseSetupPackage() {}
