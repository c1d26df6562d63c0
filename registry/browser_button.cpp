// The browser toolbar button that starts the installed program: a subkey of
// the browser's extension key named after the product GUID.
#include "registry/browser_button.h"

#include <windows.h>

#include "common/product_names.h"
#include "registry/registry_io.h"

namespace {

// The browser's class for toolbar buttons that start a program.
const char kExecButtonClass[] = "{1FBA04EE-3024-11D2-8F1F-0000F87ABD16}";

int WriteButton(const char* programPath, const char* iconText, const char* buttonText) {
  HKEY extensions;
  // Without a browser extension key there is no button to show: not a failure.
  if (!CreateRegistryKey(HKEY_LOCAL_MACHINE, kExtensionsKeyPath, &extensions)) return 1;
  HKEY button;
  int ok = CreateRegistryKey(extensions, kButtonKeyName, &button);
  if (ok) {
    ok = SetStringValue(button, "Exec", programPath) && SetStringValue(button, "Icon", iconText) &&
         SetStringValue(button, "HotIcon", iconText) &&
         SetStringValue(button, "ButtonText", buttonText) &&
         SetStringValue(button, "clsid", kExecButtonClass) &&
         SetStringValue(button, "Default Visible", "Yes");
    RegCloseKey(button);
  }
  RegCloseKey(extensions);
  return ok;
}

// Only a failing deletion of the button key fails: an extension key or a
// button key that cannot be opened is passed over (the uninstall looks
// whether the button is gone).
int RemoveButton() {
  HKEY extensions;
  if (!OpenRegistryKey(HKEY_LOCAL_MACHINE, kExtensionsKeyPath, KEY_ALL_ACCESS, &extensions)) return 1;
  HKEY button;
  int ok = 1;
  if (OpenRegistryKey(extensions, kButtonKeyName, KEY_ALL_ACCESS, &button)) {
    RegCloseKey(button);
    ok = DeleteRegistryKey(extensions, kButtonKeyName);
  }
  RegCloseKey(extensions);
  return ok;
}

}  // namespace

int RegisterBrowserButton(const char* programPath, const char* iconText, const char* buttonText,
                          int wanted) {
  return wanted ? WriteButton(programPath, iconText, buttonText) : RemoveButton();
}

int IsBrowserButtonRegistered() {
  HKEY extensions;
  if (!OpenRegistryKey(HKEY_LOCAL_MACHINE, kExtensionsKeyPath, KEY_READ, &extensions)) return 0;
  HKEY button;
  int found = OpenRegistryKey(extensions, kButtonKeyName, KEY_READ, &button);
  if (found) RegCloseKey(button);
  RegCloseKey(extensions);
  return found;
}
