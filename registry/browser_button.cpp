// The browser toolbar button that starts the installed program: a subkey of
// the browser's extension key named after the product GUID.
#include "registry/browser_button.h"

#include <windows.h>

#include "registry/registry_io.h"

namespace {

const char kExtensionsKeyPath[] = "SOFTWARE\\Microsoft\\Internet Explorer\\Extensions";
const char kButtonKeyName[] = "{5E0C71A2-8B3D-4F6A-9C21-0D7E4B93A6F8}";
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
  HKEY extensions;
  LONG status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kExtensionsKeyPath, 0, KEY_ALL_ACCESS, &extensions);
  if (status != ERROR_SUCCESS) return !IsBrowserButtonRegistered();
  HKEY button;
  status = RegOpenKeyExA(extensions, kButtonKeyName, 0, KEY_ALL_ACCESS, &button);
  int ok = status == ERROR_FILE_NOT_FOUND;
  if (status == ERROR_SUCCESS) {
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
