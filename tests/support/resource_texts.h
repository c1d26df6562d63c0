// The fourteen languages of setup.exe's resources, the texts of their .rc
// sources, and readers of compiled string tables and dialog templates.
#pragma once
#include <windows.h>

#include <map>
#include <string>
#include <vector>

namespace ts {

struct SetupLanguage {
  const char* suffix;  // strings_<suffix>.rc, dialog_install_<suffix>.rc
  LANGID id;
  const char* locale;  // the Unix locale whose Wine process picks it
  UINT ansiCodePage;
};
extern const SetupLanguage kSetupLanguages[14];
const SetupLanguage* FindSetupLanguage(const std::string& suffixOrLocale);

std::wstring Widen(const std::string& utf8);
std::string Utf8(const std::wstring& text);

// The strings of resources/strings_<suffix>.rc by ID (UTF-8). Empty when the
// file cannot be read or names an ID resource_ids.h does not define.
std::map<int, std::string> RcStringTable(const std::string& suffix);

// The control texts of dialog 101 in resources/dialog_install[_<suffix>].rc
// (English without a suffix) by control ID (UTF-8); empty when unreadable.
std::map<int, std::string> RcInstallDialogTexts(const std::string& suffix);

// String tables of a module: language -> ID -> text.
using StringTables = std::map<LANGID, std::map<int, std::wstring>>;
StringTables ModuleStringTables(HMODULE module);

// One control of a dialog template.
struct DialogItem {
  int id = 0;
  std::wstring className;  // "Button", "Edit", "Static", ... or the class name
  std::wstring text;
  DWORD style = 0;
  DWORD exStyle = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
};
struct DialogTemplate {
  bool extended = false;
  DWORD style = 0;
  DWORD exStyle = 0;
  short x = 0, y = 0, cx = 0, cy = 0;
  std::wstring title;
  WORD pointSize = 0;
  std::wstring font;
  std::vector<DialogItem> items;
};
// Parses a DLGTEMPLATE or DLGTEMPLATEEX; false when it is malformed.
bool ParseDialogTemplate(const void* data, DWORD size, DialogTemplate* dialog);
// The languages in which a module holds a resource.
std::vector<LANGID> ResourceLanguages(HMODULE module, LPCSTR type, LPCSTR name);
// A resource of one language; false when absent.
bool ResourceBytes(HMODULE module, LPCSTR type, LPCSTR name, LANGID language,
                   const void** data, DWORD* size);

}  // namespace ts
