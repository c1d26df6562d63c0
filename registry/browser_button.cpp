#include "registry/browser_button.h"

// Placeholder until the browser button lands: nothing registered, success.
int RegisterBrowserButton(const char*, const char*, const char*, int) { return 1; }
int IsBrowserButtonRegistered() { return 0; }
