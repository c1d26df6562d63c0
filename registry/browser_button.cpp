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

// Only a button key that is not there counts as removed: one that is there
// but cannot be opened (or whose extension key cannot be) keeps the button.
int RemoveButton() {
  HKEY extensions = nullptr;
  HKEY button = nullptr;
  int ok;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kExtensionsKeyPath, 0, KEY_ALL_ACCESS, &extensions) !=
      ERROR_SUCCESS) {
    extensions = nullptr;
    ok = !IsBrowserButtonRegistered();
  } else {
    LONG status = RegOpenKeyExA(extensions, kButtonKeyName, 0, KEY_ALL_ACCESS, &button);
    if (status != ERROR_SUCCESS) button = nullptr;
    ok = status == ERROR_FILE_NOT_FOUND;
  }
  if (button != nullptr) {
    RegCloseKey(button);
    ok = DeleteRegistryKey(extensions, kButtonKeyName);
  }
  if (extensions != nullptr) RegCloseKey(extensions);
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
