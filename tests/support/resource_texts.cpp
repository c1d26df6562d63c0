#include "support/resource_texts.h"

#include <cstring>
#include <fstream>
#include <sstream>

#include "support/support.h"

namespace ts {

const SetupLanguage kSetupLanguages[14] = {
    {"en", 0x0409, "en_US", 1252},    {"da", 0x0406, "da_DK", 1252},
    {"de", 0x0407, "de_DE", 1252},    {"fi", 0x040B, "fi_FI", 1252},
    {"fr", 0x040C, "fr_FR", 1252},    {"it", 0x0410, "it_IT", 1252},
    {"ja", 0x0411, "ja_JP", 932},     {"nl", 0x0413, "nl_NL", 1252},
    {"nb", 0x0414, "nb_NO", 1252},    {"sv", 0x041D, "sv_SE", 1252},
    {"zh_tw", 0x0404, "zh_TW", 950},  {"ko", 0x0412, "ko_KR", 949},
    {"zh_cn", 0x0804, "zh_CN", 936},  {"es", 0x0C0A, "es_ES", 1252},
};

const SetupLanguage* FindSetupLanguage(const std::string& suffixOrLocale) {
  for (const SetupLanguage& language : kSetupLanguages) {
    if (suffixOrLocale == language.suffix || suffixOrLocale == language.locale) return &language;
  }
  return nullptr;
}

std::wstring Widen(const std::string& utf8) {
  if (utf8.empty()) return L"";
  int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0], n);
  return wide;
}

std::string Utf8(const std::wstring& text) {
  if (text.empty()) return "";
  int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string utf8(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &utf8[0], n, nullptr,
                      nullptr);
  return utf8;
}

namespace {

// The source's resources folder as a Windows path (Z:\...\resources).
std::string ResourcesDir() {
  std::string path = "Z:";
  for (char c : std::string(SETUP_SOURCE_DIR)) path += c == '/' ? '\\' : c;
  return path + "\\resources";
}

// "#define NAME number" lines of resource_ids.h.
std::map<std::string, int> ResourceIdNames() {
  std::map<std::string, int> ids;
  std::istringstream lines(ReadFileText(ResourcesDir() + "\\resource_ids.h"));
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream words(line);
    std::string define, name;
    int value = 0;
    if (words >> define >> name >> value && define == "#define") ids[name] = value;
  }
  return ids;
}

// The text of a quoted .rc string starting at quote; false on a bad escape.
bool UnquoteRc(const std::string& line, size_t quote, std::string* text, size_t* end) {
  text->clear();
  for (size_t i = quote + 1; i < line.size(); ++i) {
    char c = line[i];
    if (c == '"') {
      if (i + 1 < line.size() && line[i + 1] == '"') {
        *text += '"';
        ++i;
        continue;
      }
      if (end != nullptr) *end = i + 1;
      return true;
    }
    if (c == '\\') {
      if (++i >= line.size()) return false;
      switch (line[i]) {
        case '\\': *text += '\\'; break;
        case '"': *text += '"'; break;
        case 'n': *text += '\n'; break;
        case 't': *text += '\t'; break;
        default: return false;
      }
      continue;
    }
    *text += c;
  }
  return false;
}

}  // namespace

std::map<int, std::string> RcStringTable(const std::string& suffix) {
  std::map<int, std::string> table;
  std::string source = ReadFileText(ResourcesDir() + "\\strings_" + suffix + ".rc");
  std::map<std::string, int> ids = ResourceIdNames();
  std::istringstream lines(source);
  std::string line;
  bool inside = false;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream words(line);
    std::string first;
    if (!(words >> first)) continue;
    if (first == "BEGIN") {
      inside = true;
      continue;
    }
    if (first == "END") {
      inside = false;
      continue;
    }
    if (!inside) continue;
    size_t quote = line.find('"');
    std::string text;
    auto id = ids.find(first);
    if (id == ids.end() || quote == std::string::npos || !UnquoteRc(line, quote, &text, nullptr)) {
      return {};
    }
    table[id->second] = text;
  }
  return table;
}

std::map<int, std::string> RcInstallDialogTexts(const std::string& suffix) {
  std::map<int, std::string> texts;
  std::string name = suffix == "en" ? "dialog_install.rc" : "dialog_install_" + suffix + ".rc";
  std::string source = ReadFileText(ResourcesDir() + "\\" + name);
  std::map<std::string, int> ids = ResourceIdNames();
  ids["IDOK"] = IDOK;
  ids["IDCANCEL"] = IDCANCEL;
  std::istringstream lines(source);
  std::string line;
  bool inside = false;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::istringstream words(line);
    std::string first;
    if (!(words >> first)) continue;
    if (first == "BEGIN") {
      inside = true;
    } else if (first == "END") {
      inside = false;
    } else if (inside) {
      // CONTROL "text", ID, ... (and the like); EDITTEXT ID, ... has no text.
      std::string text;
      size_t rest = line.find(first) + first.size();
      size_t quote = line.find('"', rest);
      size_t afterText = rest;
      if (first != "EDITTEXT") {
        if (quote == std::string::npos || !UnquoteRc(line, quote, &text, &afterText)) return {};
        afterText = line.find(',', afterText);
        if (afterText == std::string::npos) return {};
        ++afterText;
      }
      std::istringstream idWords(line.substr(afterText));
      std::string idName;
      std::getline(idWords, idName, ',');
      idName.erase(0, idName.find_first_not_of(" \t"));
      idName.erase(idName.find_last_not_of(" \t") + 1);
      auto id = ids.find(idName);
      if (id == ids.end()) return {};
      texts[id->second] = text;
    }
  }
  return texts;
}

namespace {

BOOL CALLBACK AddLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param) {
  reinterpret_cast<std::vector<LANGID>*>(param)->push_back(language);
  return TRUE;
}

BOOL CALLBACK AddName(HMODULE, LPCSTR, LPSTR name, LONG_PTR param) {
  if (IS_INTRESOURCE(name)) {
    reinterpret_cast<std::vector<WORD>*>(param)->push_back(static_cast<WORD>(
        reinterpret_cast<ULONG_PTR>(name)));
  }
  return TRUE;
}

}  // namespace

std::vector<LANGID> ResourceLanguages(HMODULE module, LPCSTR type, LPCSTR name) {
  std::vector<LANGID> languages;
  EnumResourceLanguagesA(module, type, name, AddLanguage, reinterpret_cast<LONG_PTR>(&languages));
  return languages;
}

bool ResourceBytes(HMODULE module, LPCSTR type, LPCSTR name, LANGID language, const void** data,
                   DWORD* size) {
  HRSRC found = FindResourceExA(module, type, name, language);
  if (found == nullptr) return false;
  HGLOBAL loaded = LoadResource(module, found);
  if (loaded == nullptr) return false;
  *data = LockResource(loaded);
  *size = SizeofResource(module, found);
  return *data != nullptr;
}

StringTables ModuleStringTables(HMODULE module) {
  StringTables tables;
  std::vector<WORD> blocks;
  EnumResourceNamesA(module, RT_STRING, AddName, reinterpret_cast<LONG_PTR>(&blocks));
  for (WORD block : blocks) {
    for (LANGID language : ResourceLanguages(module, RT_STRING, MAKEINTRESOURCEA(block))) {
      const void* data = nullptr;
      DWORD size = 0;
      if (!ResourceBytes(module, RT_STRING, MAKEINTRESOURCEA(block), language, &data, &size)) continue;
      // Sixteen counted UTF-16 strings; block n holds IDs (n-1)*16 .. (n-1)*16+15.
      const WCHAR* p = static_cast<const WCHAR*>(data);
      const WCHAR* end = p + size / sizeof(WCHAR);
      std::map<int, std::wstring>& table = tables[language];
      for (int i = 0; i < 16 && p < end; ++i) {
        WORD length = *p++;
        if (length > end - p) break;
        if (length > 0) table[(block - 1) * 16 + i] = std::wstring(p, length);
        p += length;
      }
    }
  }
  return tables;
}

namespace {

struct TemplateReader {
  const BYTE* p;
  const BYTE* end;
  bool ok = true;

  template <typename T>
  T Take() {
    T value{};
    if (end - p < static_cast<ptrdiff_t>(sizeof(T))) {
      ok = false;
      return value;
    }
    std::memcpy(&value, p, sizeof(T));
    p += sizeof(T);
    return value;
  }
  // A string or an ordinal (0xFFFF and a number, given as "#number").
  std::wstring TakeNameOrOrdinal() {
    WORD first = Take<WORD>();
    if (first == 0) return L"";
    if (first == 0xFFFF) return L"#" + std::to_wstring(Take<WORD>());
    std::wstring text(1, static_cast<wchar_t>(first));
    for (WORD c = Take<WORD>(); ok && c != 0; c = Take<WORD>()) text += static_cast<wchar_t>(c);
    return text;
  }
  void AlignDword(const BYTE* start) {
    while ((p - start) % 4 != 0 && p < end) ++p;
  }
};

std::wstring PredefinedClass(const std::wstring& name) {
  static const std::map<std::wstring, std::wstring> atoms = {
      {L"#128", L"Button"}, {L"#129", L"Edit"},      {L"#130", L"Static"},
      {L"#131", L"ListBox"}, {L"#132", L"ScrollBar"}, {L"#133", L"ComboBox"}};
  auto found = atoms.find(name);
  return found != atoms.end() ? found->second : name;
}

}  // namespace

bool ParseDialogTemplate(const void* data, DWORD size, DialogTemplate* dialog) {
  const BYTE* start = static_cast<const BYTE*>(data);
  TemplateReader r{start, start + size};
  *dialog = DialogTemplate();
  WORD version = r.Take<WORD>();
  WORD signature = r.Take<WORD>();
  dialog->extended = version == 1 && signature == 0xFFFF;
  WORD count = 0;
  if (dialog->extended) {
    r.Take<DWORD>();  // help ID
    dialog->exStyle = r.Take<DWORD>();
    dialog->style = r.Take<DWORD>();
  } else {
    r.p = start;
    dialog->style = r.Take<DWORD>();
    dialog->exStyle = r.Take<DWORD>();
  }
  count = r.Take<WORD>();
  dialog->x = r.Take<short>();
  dialog->y = r.Take<short>();
  dialog->cx = r.Take<short>();
  dialog->cy = r.Take<short>();
  r.TakeNameOrOrdinal();  // menu
  r.TakeNameOrOrdinal();  // class
  dialog->title = r.TakeNameOrOrdinal();
  if (dialog->style & (DS_SETFONT | DS_SHELLFONT)) {
    dialog->pointSize = r.Take<WORD>();
    if (dialog->extended) {
      r.Take<WORD>();  // weight
      r.Take<BYTE>();  // italic
      r.Take<BYTE>();  // charset
    }
    dialog->font = r.TakeNameOrOrdinal();
  }
  for (WORD i = 0; i < count && r.ok; ++i) {
    r.AlignDword(start);
    DialogItem item;
    if (dialog->extended) {
      r.Take<DWORD>();  // help ID
      item.exStyle = r.Take<DWORD>();
      item.style = r.Take<DWORD>();
    } else {
      item.style = r.Take<DWORD>();
      item.exStyle = r.Take<DWORD>();
    }
    item.x = r.Take<short>();
    item.y = r.Take<short>();
    item.cx = r.Take<short>();
    item.cy = r.Take<short>();
    item.id = dialog->extended ? static_cast<WORD>(r.Take<DWORD>()) : r.Take<WORD>();
    item.className = PredefinedClass(r.TakeNameOrOrdinal());
    item.text = r.TakeNameOrOrdinal();
    WORD extra = r.Take<WORD>();
    r.p += extra;
    if (r.p > r.end) r.ok = false;
    dialog->items.push_back(item);
  }
  return r.ok && dialog->items.size() == count;
}

}  // namespace ts
