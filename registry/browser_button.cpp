// The browser toolbar button that starts the installed program: a subkey of
// the browser's extension key named after the product GUID.
#include "registry/browser_button.h"

#include <windows.h>

#include "common/product_names.h"
#include "registry/registry_io.h"

namespace {

// The browser's class for toolbar buttons that start a program.
const char kExecButtonClass[] = "{1FBA04EE-3024-11D2-8F1F-0000F87ABD16}";

int WriteButton(REGSAM view, const char* programPath, const char* iconText, const char* buttonText) {
  HKEY extensions;
  // Without a browser extension key there is no button to show: not a failure.
  if (!CreateRegistryKeyIn(HKEY_LOCAL_MACHINE, kExtensionsKeyPath, view, &extensions)) return 1;
  HKEY button;
  int ok = CreateRegistryKeyIn(extensions, kButtonKeyName, view, &button);
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
int RemoveButton(REGSAM view) {
  HKEY extensions;
  if (!OpenRegistryKey(HKEY_LOCAL_MACHINE, kExtensionsKeyPath, KEY_ALL_ACCESS | view, &extensions)) return 1;
  HKEY button;
  int ok = 1;
  if (OpenRegistryKey(extensions, kButtonKeyName, KEY_ALL_ACCESS | view, &button)) {
    RegCloseKey(button);
    ok = DeleteRegistryKeyIn(extensions, kButtonKeyName, view);
  }
  RegCloseKey(extensions);
  return ok;
}

int IsButtonIn(REGSAM view) {
  HKEY extensions;
  if (!OpenRegistryKey(HKEY_LOCAL_MACHINE, kExtensionsKeyPath, KEY_READ | view, &extensions)) return 0;
  HKEY button;
  int found = OpenRegistryKey(extensions, kButtonKeyName, KEY_READ | view, &button);
  if (found) RegCloseKey(button);
  RegCloseKey(extensions);
  return found;
}

}  // namespace

// Under WoW64 the browser of 64-bit Windows reads the 64-bit view, which
// this program's own calls do not reach: the button is kept in both.
int RegisterBrowserButton(const char* programPath, const char* iconText, const char* buttonText,
                          int wanted) {
  REGSAM views[2];
  const int count = ReadSharedViews(views);
  int ok = 1;
  for (int i = 0; ok && i < count; ++i) {
    ok = wanted ? WriteButton(views[i], programPath, iconText, buttonText) : RemoveButton(views[i]);
  }
  return ok;
}

int IsBrowserButtonRegistered() {
  REGSAM views[2];
  const int count = ReadSharedViews(views);
  int found = 0;
  for (int i = 0; !found && i < count; ++i) found = IsButtonIn(views[i]);
  return found;
}
