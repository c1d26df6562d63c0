// package-check: what a package author needs to know before shipping a setup
// package, read with the setup's own readers.
//
//   package-check FOLDER [--lang HEX]... [--json]
//
// For each system language (by default every language the settings file has
// a section for, English and one it lacks) it prints what the setup would
// propose, then one line per finding in a fixed order.
// Exit codes: 0 clean; 1 findings; 2 the folder cannot be read as a package;
// 64 usage.
//
// The setup reads INI files with GetPrivateProfileStringA; the Windows build
// does the same, the native build with the reader below, which follows its
// rules. Both print the same bytes for the same folder.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "common/folders.h"
#else
#include <dirent.h>
#include <iconv.h>
#include <limits.h>
#include <sys/stat.h>
#endif

#include "common/lead_bytes.h"
#include "common/path_text.h"
#include "common/program_folder.h"
#include "common/text.h"
#include "files/program_file_set.h"
#include "package/descriptor_key_map.h"
#include "package/package_settings.h"
#include "package/program_group.h"
#include "tools/whole_file.h"
#include "xml/codepage.h"
#include "xml/xml.h"

namespace {

const int kExitClean = 0;
const int kExitFindings = 1;
const int kExitNoPackage = 2;
const int kExitUsage = 64;

const char kUsage[] = "usage: package-check FOLDER [--lang HEX]... [--json]";
// The Program Files folder the target is proposed under.
const char kProgramFiles[] = "C:\\Program Files";
// Languages tried, in order, as the one the package lacks.
const uint16_t kLackingCandidates[] = {0x0416, 0x0419, 0x0405, 0x0408};

// Findings, in the order they are listed.
enum FindingKind {
  kMissingFile,
  kDescriptor,
  kEmptySetting,
  kUnresolved,
  kTargetFolder,
  kGdSelf,
  kListEntry,
  kSectionName,
  kCodePage,
};
const char* const kKindNames[] = {"missing-file", "descriptor", "empty",        "unresolved",
                                  "target",       "gd-self",    "list-entry",   "section-name",
                                  "code-page"};

struct Finding {
  FindingKind kind;
  std::string file;
  std::string key;
  std::string detail;
  std::vector<std::string> languages;  // empty when it holds for the package
};

struct LanguageReport {
  uint16_t language;
  unsigned codePage;
  int hasProduct;
  std::string name, version;
  int hasTarget;
  std::string target;
  int hasGroupNt, hasGroup9x;
  std::string groupNt, group9x;
  int internetMode;
  int hasImages, hasDownloads;
  std::vector<std::string> images, downloads;
};

struct Check {
  char folder[260];
  char settingsPath[260];
  char descriptorPath[260];
  int isXml;
  int hasDescriptor;
  XmlDocument* descriptor;
  std::vector<LanguageReport> reports;
  std::vector<Finding> findings;
};

int UsageError(const char* detail) {
  fprintf(stderr, "package-check: %s; %s\n", detail, kUsage);
  return kExitUsage;
}

std::string LanguageText(uint16_t language) {
  char text[8];
  TextFormat(text, sizeof(text), "%04X", static_cast<unsigned>(language));
  return text;
}

// Adds a finding; the same finding in another language only gains the language.
void AddFinding(Check* check, FindingKind kind, const std::string& file, const std::string& key,
                const std::string& detail, const char* language) {
  for (Finding& finding : check->findings) {
    if (finding.kind == kind && finding.file == file && finding.key == key &&
        finding.detail == detail) {
      if (language != nullptr) finding.languages.push_back(language);
      return;
    }
  }
  Finding finding = {kind, file, key, detail, {}};
  if (language != nullptr) finding.languages.push_back(language);
  check->findings.push_back(finding);
}

// ---- the platform: files, INI files, code pages ----

#ifdef _WIN32

int FindPackageFile(const char* folder, const char* name, char* path) {
  return FindFileIn(folder, name, path);
}

uint32_t ReadProfile(const char* section, const char* key, const char* defaultText, char* buffer,
                     uint32_t size, const char* file) {
  return GetPrivateProfileStringA(section, key, defaultText, buffer, size, file);
}

void ListSections(const char* file, std::vector<std::string>* sections) {
  std::vector<char> names(32768);
  DWORD length = GetPrivateProfileSectionNamesA(names.data(), static_cast<DWORD>(names.size()), file);
  for (DWORD i = 0; i < length && names[i] != '\0'; i += static_cast<DWORD>(strlen(&names[i])) + 1) {
    sections->push_back(&names[i]);
  }
}

int MakeFullFolder(const char* folder, char* full) {
  DWORD length = GetFullPathNameA(folder, 260, full, nullptr);
  return length > 0 && length < 260 && IsFolder(full);
}

#ifndef WC_NO_BEST_FIT_CHARS
#define WC_NO_BEST_FIT_CHARS 0x400
#endif

// Whether a character did not convert; set by ConvertToLanguage.
int g_lostCharacter = 0;
unsigned g_languageCodePage = 1252;

int WINAPI ConvertToLanguage(unsigned int, unsigned long, const XmlWideChar* wide, int units,
                             char* text, int bytes, const char*, int*) {
  BOOL lost = FALSE;
  int result = WideCharToMultiByte(g_languageCodePage, WC_NO_BEST_FIT_CHARS, wide, units, text,
                                   bytes, nullptr, &lost);
  if (lost) g_lostCharacter = 1;
  return result;
}

#else

// The name in folder, its letter case ignored as on Windows.
int FindPackageFile(const char* folder, const char* name, char* path) {
  path[0] = '\0';
  DIR* dir = opendir(folder);
  if (dir == nullptr) return 0;
  int found = 0;
  for (dirent* entry = readdir(dir); entry != nullptr && !found; entry = readdir(dir)) {
    struct stat info;
    found = NameEqualsNoCase(entry->d_name, strlen(entry->d_name), name) &&
            TextFormat(path, 260, "%s/%s", folder, entry->d_name) && stat(path, &info) == 0 &&
            S_ISREG(info.st_mode);
  }
  closedir(dir);
  if (!found) path[0] = '\0';
  return found;
}

std::string TrimSpace(const std::string& text) {
  size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

int EqualsNoCase(const std::string& text, const char* name) {
  return NameEqualsNoCase(text.c_str(), text.size(), name);
}

// The lines of an INI file; a missing file has none.
std::vector<std::string> ReadLines(const char* file) {
  std::vector<std::string> lines;
  FILE* in = fopen(file, "rb");
  if (in == nullptr) return lines;
  std::string line;
  for (int c = fgetc(in); c != EOF; c = fgetc(in)) {
    if (c == '\n') {
      lines.push_back(line);
      line.clear();
    } else {
      line.push_back(static_cast<char>(c));
    }
  }
  lines.push_back(line);
  fclose(in);
  return lines;
}

// GetPrivateProfileStringA's rules: names without regard to case, the first
// section and key that match, values trimmed and out of one pair of quotes,
// cut to the buffer; the default when the key is missing.
uint32_t ReadProfile(const char* section, const char* key, const char* defaultText, char* buffer,
                     uint32_t size, const char* file) {
  if (size == 0) return 0;
  std::string value = TrimSpace(defaultText);
  int inSection = 0;
  for (const std::string& raw : ReadLines(file)) {
    std::string line = TrimSpace(raw);
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      if (inSection) break;
      size_t close = line.find(']');
      inSection = EqualsNoCase(TrimSpace(line.substr(1, close == std::string::npos
                                                            ? std::string::npos
                                                            : close - 1)),
                               section);
      continue;
    }
    size_t equals = line.find('=');
    if (!inSection || equals == std::string::npos || !EqualsNoCase(TrimSpace(line.substr(0, equals)), key)) {
      continue;
    }
    value = TrimSpace(line.substr(equals + 1));
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0]) {
      value = value.substr(1, value.size() - 2);
    }
    break;
  }
  uint32_t length = value.size() < size ? static_cast<uint32_t>(value.size()) : size - 1;
  memcpy(buffer, value.data(), length);
  buffer[length] = '\0';
  return length;
}

void ListSections(const char* file, std::vector<std::string>* sections) {
  for (const std::string& raw : ReadLines(file)) {
    std::string line = TrimSpace(raw);
    if (line.empty() || line[0] != '[') continue;
    size_t close = line.find(']');
    sections->push_back(TrimSpace(line.substr(1, close == std::string::npos ? std::string::npos
                                                                             : close - 1)));
  }
}

int MakeFullFolder(const char* folder, char* full) {
  char resolved[PATH_MAX];
  struct stat info;
  return realpath(folder, resolved) != nullptr && TextCopy(full, 260, resolved) &&
         stat(full, &info) == 0 && S_ISDIR(info.st_mode);
}

int g_lostCharacter = 0;
unsigned g_languageCodePage = 1252;

// The code page's name for iconv.
std::string IconvName(unsigned codePage) {
  if (codePage == 936) return "GBK";
  char name[16];
  TextFormat(name, sizeof(name), "CP%u", codePage);
  return name;
}

// WideCharToMultiByte into the language's code page, "?" for what it lacks.
int ConvertToLanguage(unsigned int, unsigned long, const XmlWideChar* wide, int units, char* text,
                      int bytes, const char*, int*) {
  iconv_t converter = iconv_open(IconvName(g_languageCodePage).c_str(), "UTF-8");
  if (converter == reinterpret_cast<iconv_t>(-1)) return 0;
  std::string out;
  for (int i = 0; i < units; ++i) {
    uint32_t code = wide[i];
    if (code >= 0xD800 && code < 0xDC00 && i + 1 < units) {
      code = 0x10000 + ((code - 0xD800) << 10) + (wide[++i] - 0xDC00);
    }
    char utf8[4];
    size_t n = code < 0x80 ? 1 : code < 0x800 ? 2 : code < 0x10000 ? 3 : 4;
    static const unsigned char kLead[] = {0, 0, 0xC0, 0xE0, 0xF0};
    for (size_t k = n - 1; k > 0; --k, code >>= 6) utf8[k] = static_cast<char>(0x80 | (code & 0x3F));
    utf8[0] = static_cast<char>(kLead[n] | code);
    char converted[8];
    char* in = utf8;
    char* to = converted;
    size_t inLeft = n, outLeft = sizeof(converted);
    if (iconv(converter, &in, &inLeft, &to, &outLeft) == static_cast<size_t>(-1)) {
      out.push_back('?');
      g_lostCharacter = 1;
    } else {
      out.append(converted, static_cast<size_t>(to - converted));
    }
  }
  iconv_close(converter);
  if (text == nullptr || bytes == 0) return static_cast<int>(out.size());
  if (out.size() > static_cast<size_t>(bytes)) return 0;
  memcpy(text, out.data(), out.size());
  return static_cast<int>(out.size());
}

#endif

// The ANSI code page of a language, as Windows gives it.
unsigned CodePageOf(uint16_t language) {
  switch (language & 0x3FF) {
    case 0x11: return 932;
    case 0x12: return 949;
    case 0x04: return language == 0x0404 || language == 0x0C04 || language == 0x1404 ? 950 : 936;
    case 0x02: case 0x19: case 0x22: case 0x23: return 1251;
    case 0x05: case 0x0E: case 0x15: case 0x18: case 0x1A: case 0x1B: case 0x24: return 1250;
    case 0x08: return 1253;
    case 0x1F: return 1254;
    case 0x0D: return 1255;
    case 0x01: return 1256;
    case 0x25: case 0x26: case 0x27: return 1257;
    case 0x1E: return 874;
    case 0x2A: return 1258;
    default: return 1252;
  }
}

// The shell folders the group is shown under.
int ReadStatedFolder(int id, char* folder) {
  const char* path = "";
  switch (id) {
    case GroupFolderCommonPrograms:
      path = "C:\\Documents and Settings\\All Users\\Start Menu\\Programs";
      break;
    case GroupFolderCommonStartMenu:
      path = "C:\\Documents and Settings\\All Users\\Start Menu";
      break;
    case GroupFolderPrograms:
      path = "C:\\WINDOWS\\Start Menu\\Programs";
      break;
    case GroupFolderStartMenu:
      path = "C:\\WINDOWS\\Start Menu";
      break;
  }
  return TextCopy(folder, 260, path);
}

// ---- reading the package ----

const char* BaseName(const char* path) {
  const char* name = path;
  for (const char* p = path; *p != '\0'; ++p) {
    if (*p == '/' || *p == '\\') name = p + 1;
  }
  return name;
}

void CheckProgramFiles(Check* check) {
  const ProgramFile* set = SelectProgramFileSet(check->isXml);
  for (int i = 0; i < kProgramFileCount; ++i) {
    char path[260];
    // The descriptor has a finding of its own.
    if (strcmp(set[i].packageName, check->isXml ? "VOD.xml" : "DidIve.nvx") == 0) continue;
    if (!FindPackageFile(check->folder, set[i].packageName, path)) {
      AddFinding(check, kMissingFile, set[i].packageName, "", "not in the package", nullptr);
    }
  }
}

void ParseDescriptor(Check* check) {
  std::vector<char> bytes;
  if (!ReadWholeFile(check->descriptorPath, &bytes)) {
    AddFinding(check, kDescriptor, "VOD.xml", "", "cannot be read", nullptr);
    return;
  }
  int32_t failedAt = -1;
  int32_t length = static_cast<int32_t>(bytes.size() - 1);
  check->descriptor = XmlParseDocumentAt(bytes.data(), length, &failedAt);
  if (check->descriptor != nullptr) return;
  char detail[96];
  if (failedAt < 0) {
    TextCopy(detail, sizeof(detail), "does not parse: no \"<?xml \" declaration or no element");
  } else {
    int line = 1, column = 1;
    for (int32_t i = 0; i < failedAt; ++i) {
      column = bytes[static_cast<size_t>(i)] == '\n' ? 1 : column + 1;
      line += bytes[static_cast<size_t>(i)] == '\n';
    }
    TextFormat(detail, sizeof(detail), "does not parse: the node at line %d, column %d", line,
               column);
  }
  AddFinding(check, kDescriptor, "VOD.xml", "", detail, nullptr);
}

// Whether text holds a reference that was not resolved ("%NAME%").
int HoldsReference(const char* text) {
  for (const char* open = strchr(text, '%'); open != nullptr; open = strchr(open + 1, '%')) {
    const char* p = open + 1;
    while (*p != '\0' && *p != '%' && *p != ' ') ++p;
    if (*p == '%' && p > open + 1) return 1;
  }
  return 0;
}

// Reads section/key of an INI file of the package in one language and
// records what is wrong with it. Answers the length of the value.
int CheckSetting(Check* check, const PackageSettings* settings, const char* language,
                 const char* file, const char* section, const char* key, int required,
                 char* value) {
  const std::string fileName = BaseName(file);
  const std::string where = std::string(section) + "/" + key;
  char raw[SettingCapacity];
  memset(raw, 0, sizeof(raw));
  settings->read(section, key, "", raw, sizeof(raw), file);
  memset(value, 0, SettingCapacity);
  int length = ReadPackageSetting(settings, section, key, value, SettingCapacity, file);
  const char* name = CutSettingReference(raw);
  if (name != nullptr && length == 0) {
    AddFinding(check, kUnresolved, fileName, where,
               std::string("%") + name + "% names no text in a STRINGS section", language);
  } else if (length > 0 && HoldsReference(value)) {
    AddFinding(check, kUnresolved, fileName, where,
               std::string("\"") + value + "\" is left as it is", language);
  } else if (required && length == 0) {
    AddFinding(check, kEmptySetting, fileName, where, "resolves to nothing", language);
  }
  return length;
}

// Whether a component of path is "..", which leads out of the folder.
int HoldsParentStep(const char* path) {
  for (const char* part = path; part != nullptr;) {
    const char* end = FindBackslash(part);
    const size_t length = end != nullptr ? static_cast<size_t>(end - part) : strlen(part);
    if (length == 2 && part[0] == '.' && part[1] == '.') return 1;
    part = end != nullptr ? end + 1 : nullptr;
  }
  return 0;
}

void CheckTarget(Check* check, const PackageSettings* settings, const char* language,
                 LanguageReport* report) {
  char value[SettingCapacity];
  if (CheckSetting(check, settings, language, check->settingsPath, "INIT", "TARGET", 1, value) == 0) {
    return;
  }
  char target[260];
  memset(target, 0, sizeof(target));
  if (ReadTargetSetting(settings, kProgramFiles, target, sizeof(target)) == 0) return;
  report->hasTarget = 1;
  report->target = target;
  std::string quoted = std::string("\"") + target + "\"";
  if (strchr(target, ';') != nullptr) {
    AddFinding(check, kTargetFolder, "NvxSetup.dat", "INIT/TARGET", quoted + " holds \";\"", language);
  } else if (!IsFullPath(target) || HoldsParentStep(target)) {
    AddFinding(check, kTargetFolder, "NvxSetup.dat", "INIT/TARGET", quoted + " is relative", language);
  } else if (!IsUsableProgramFolder(target)) {
    char detail[96];
    TextFormat(detail, sizeof(detail),
               "%u bytes: with a backslash and a %d-character file name it exceeds 259",
               static_cast<unsigned>(strlen(target)), static_cast<int>(ProgramFileNameMax));
    AddFinding(check, kTargetFolder, "NvxSetup.dat", "INIT/TARGET", detail, language);
  }
}

// Reads one list and records its empty and relative entries.
void CheckList(Check* check, const PackageSettings* settings, const char* language,
               const char* key, int (*isUsable)(const char*), std::vector<std::string>* entries,
               int* present) {
  char list[SettingCapacity];
  *present = CheckSetting(check, settings, language, check->settingsPath, "INIT", key, 0, list) != 0;
  if (!*present) return;
  int number = 0;
  for (char* rest = list; rest != nullptr;) {
    char* entry = CutListEntry(&rest);
    entries->push_back(entry);
    ++number;
    if (isUsable(entry)) continue;
    char detail[SettingCapacity + 48];
    TextFormat(detail, sizeof(detail), "entry %d \"%s\" is %s and passed over", number, entry,
               entry[0] == '\0' ? "empty" : "relative");
    AddFinding(check, kListEntry, "NvxSetup.dat", std::string("INIT/") + key, detail, language);
  }
}

void CheckRelease(Check* check, const PackageSettings* settings, const char* language,
                  LanguageReport* report) {
  char name[SettingCapacity], version[SettingCapacity];
  memset(name, 0, sizeof(name));
  memset(version, 0, sizeof(version));
  if (!check->hasDescriptor) return;
  if (!check->isXml) {
    CheckSetting(check, settings, language, check->descriptorPath, "RELEASE", "NAME", 1, name);
    CheckSetting(check, settings, language, check->descriptorPath, "RELEASE", "VERSION", 1, version);
  } else if (check->descriptor != nullptr) {
    // Each value alone, so that a text that does not convert is named.
    const char* const keys[] = {"NAME", "VERSION"};
    for (const char* key : keys) {
      char value[SettingCapacity];
      g_lostCharacter = 0;
      if (!LookupDescriptorValue("RELEASE", key, value, sizeof(value), "DIDIVE",
                                 check->descriptor, settings->profile, 0)) {
        AddFinding(check, kEmptySetting, "VOD.xml", std::string("RELEASE/") + key,
                   "resolves to nothing", language);
      } else if (g_lostCharacter) {
        AddFinding(check, kCodePage, "VOD.xml", std::string("RELEASE/") + key,
                   "does not convert into code page " + std::to_string(g_languageCodePage),
                   language);
      }
    }
  }
  report->hasProduct = ReadProductRelease(settings, name, version);
  report->name = name;
  report->version = version;
}

void CheckLanguage(Check* check, uint16_t language) {
  SystemProfile profile;
  memset(&profile, 0, sizeof(profile));
  profile.systemLanguageId = language;
  profile.systemPrimaryLanguageId = static_cast<uint16_t>(language & 0x3FF);
  PackageSettings settings = {ReadProfile, &profile, check->settingsPath, check->descriptorPath,
                              check->descriptor};
  const std::string languageText = LanguageText(language);
  const char* lang = languageText.c_str();
  g_languageCodePage = CodePageOf(language);
  // The language's paths are split where a system in its code page would.
  g_pathCodePage = g_languageCodePage;

  LanguageReport report = {};
  report.language = language;
  report.codePage = g_languageCodePage;
  CheckRelease(check, &settings, lang, &report);
  CheckTarget(check, &settings, lang, &report);
  char group[260], unused[SettingCapacity];
  CheckSetting(check, &settings, lang, check->settingsPath, "INIT", "GROUP", 1, unused);
  report.hasGroupNt = ReadGroupSetting(&settings, 1, ReadStatedFolder, group, sizeof(group));
  report.groupNt = group;
  report.hasGroup9x = ReadGroupSetting(&settings, 0, ReadStatedFolder, group, sizeof(group));
  report.group9x = group;
  CheckSetting(check, &settings, lang, check->settingsPath, "RADAR", "FILE", 0, unused);
  CheckSetting(check, &settings, lang, check->settingsPath, "RADAR", "ALTFILE", 0, unused);
  report.internetMode = ReadRadarMode(&settings);
  CheckList(check, &settings, lang, "IMAGEPATH", IsImageEntry, &report.images, &report.hasImages);
  CheckList(check, &settings, lang, "DOWNLOAD", IsDownloadEntry, &report.downloads,
            &report.hasDownloads);
  g_pathCodePage = AnsiCodePage;
  check->reports.push_back(report);
}

// Every element that holds a single gd whose path leads back to the element.
void CheckGdElements(Check* check, XmlNode* nodes, uint32_t count, const std::string& path,
                     const char* packageId) {
  for (uint32_t i = 0; i < count; ++i) {
    XmlNode* node = &nodes[i];
    if (node->name[0] == '\0' || node->name[0] == '?' || node->name[0] == '!') continue;
    std::string here = path + "/" + node->name;
    const char* id = packageId;
    for (uint32_t k = 0; k < node->attributeCount; ++k) {
      if (strcmp(node->attributes[k].name, "id") != 0) continue;
      here += std::string("[@id=") + node->attributes[k].value + "]";
      if (strcmp(node->name, "nvx") == 0) id = node->attributes[k].value;
      break;
    }
    if (node->children == nullptr) continue;
    XmlNode* gd = &node->children->items[0];
    if (node->children->count == 1 && strcmp(gd->name, "gd") == 0) {
      char target[DescriptorPathCapacity];
      memset(target, 0, sizeof(target));
      for (uint32_t k = 0; k < gd->attributeCount && target[0] == '\0'; ++k) {
        if (strcmp(gd->attributes[k].name, "path") == 0) {
          TextCopy(target, sizeof(target), gd->attributes[k].value);
        } else if (strcmp(gd->attributes[k].name, "nvxpath") == 0) {
          TextFormat(target, sizeof(target), "/build/nvx[@id=%s]/%s", id, gd->attributes[k].value);
        }
      }
      XmlNode* found = nullptr;
      if (target[0] != '\0' && XmlSelectNode(target, &found, check->descriptor) && found == node) {
        AddFinding(check, kGdSelf, "VOD.xml", here, "its gd refers to the element itself", nullptr);
      }
    }
    CheckGdElements(check, node->children->items, node->children->count, here, id);
  }
}

// Section names, and the languages they give.
void CheckSections(Check* check, std::vector<uint16_t>* languages) {
  std::vector<std::string> sections;
  ListSections(check->settingsPath, &sections);
  for (const std::string& section : sections) {
    if (section.size() < 8 || !NameEqualsNoCase(section.c_str(), 8, "STRINGS.")) continue;
    const std::string digits = section.substr(8);
    int valid = digits.size() == 4 && strncmp(section.c_str(), "STRINGS.", 8) == 0;
    for (char c : digits) valid = valid && ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'));
    if (!valid) {
      AddFinding(check, kSectionName, "NvxSetup.dat", "[" + section + "]",
                 "not \"STRINGS.\" and four upper-case hexadecimal digits", nullptr);
      continue;
    }
    languages->push_back(static_cast<uint16_t>(strtoul(digits.c_str(), nullptr, 16)));
  }
}

void AddLanguage(std::vector<uint16_t>* languages, uint16_t language) {
  for (uint16_t known : *languages) {
    if (known == language) return;
  }
  languages->push_back(language);
}

// ---- output ----

// Bytes outside printable ASCII as \xNN, so that the output is the same
// everywhere.
std::string Printable(const std::string& text) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  for (unsigned char c : text) {
    if (c < 0x20 || c >= 0x7F) {
      out += "\\x";
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 0xF]);
    } else {
      out.push_back(static_cast<char>(c));
    }
  }
  return out;
}

std::string Json(const std::string& text) {
  static const char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  for (unsigned char c : text) {
    if (c == '"' || c == '\\') {
      out.push_back('\\');
      out.push_back(static_cast<char>(c));
    } else if (c < 0x20 || c >= 0x7F) {
      out += "\\u00";
      out.push_back(kHex[c >> 4]);
      out.push_back(kHex[c & 0xF]);
    } else {
      out.push_back(static_cast<char>(c));
    }
  }
  return out + "\"";
}

std::string JsonOrNull(int present, const std::string& text) { return present ? Json(text) : "null"; }

std::string JsonList(int present, const std::vector<std::string>& items) {
  if (!present) return "null";
  std::string out = "[";
  for (size_t i = 0; i < items.size(); ++i) out += (i > 0 ? "," : "") + Json(items[i]);
  return out + "]";
}

std::string TextOrNone(int present, const std::string& text) {
  return present ? Printable(text) : "(none)";
}

std::string JoinList(int present, const std::vector<std::string>& items) {
  if (!present) return "(none)";
  std::string out;
  for (size_t i = 0; i < items.size(); ++i) out += (i > 0 ? ";" : "") + items[i];
  return Printable(out);
}

std::string DescriptorText(const Check* check) {
  if (!check->hasDescriptor) return "none";
  return check->isXml ? "XML (VOD.xml)" : "INI (DidIve.nvx)";
}

void WriteText(const Check* check, std::string* out) {
  *out += "package: " + DescriptorText(check) + "\n";
  *out += std::string("program files: ") + kProgramFiles + "\n";
  for (const LanguageReport& r : check->reports) {
    *out += "language " + LanguageText(r.language) + " (code page " + std::to_string(r.codePage) + ")\n";
    *out += "  product: " + (r.hasProduct ? Printable(r.name) + " " + Printable(r.version) : "(none)") + "\n";
    *out += "  target: " + TextOrNone(r.hasTarget, r.target) + "\n";
    *out += "  group on NT: " + TextOrNone(r.hasGroupNt, r.groupNt) + "\n";
    *out += "  group on 9x: " + TextOrNone(r.hasGroup9x, r.group9x) + "\n";
    *out += "  internet mode: " + std::to_string(r.internetMode) + "\n";
    *out += "  image paths: " + JoinList(r.hasImages, r.images) + "\n";
    *out += "  download folders: " + JoinList(r.hasDownloads, r.downloads) + "\n";
  }
  *out += "findings: " + std::to_string(check->findings.size()) + "\n";
  for (const Finding& f : check->findings) {
    *out += std::string("finding ") + kKindNames[f.kind] + ": " + Printable(f.file);
    if (!f.key.empty()) *out += " " + Printable(f.key);
    *out += ": " + Printable(f.detail);
    for (size_t i = 0; i < f.languages.size(); ++i) *out += (i == 0 ? " (" : " ") + f.languages[i];
    *out += f.languages.empty() ? "\n" : ")\n";
  }
}

void WriteJson(const Check* check, int exitCode, std::string* out) {
  *out += "{\"descriptor\":" + (check->hasDescriptor ? Json(check->isXml ? "xml" : "ini") : "null");
  *out += std::string(",\"programFiles\":") + Json(kProgramFiles) + ",\"languages\":[";
  for (size_t i = 0; i < check->reports.size(); ++i) {
    const LanguageReport& r = check->reports[i];
    *out += std::string(i > 0 ? "," : "") + "{\"language\":" + Json(LanguageText(r.language)) +
            ",\"codePage\":" + std::to_string(r.codePage) +
            ",\"productName\":" + JsonOrNull(r.hasProduct, r.name) +
            ",\"productVersion\":" + JsonOrNull(r.hasProduct, r.version) +
            ",\"target\":" + JsonOrNull(r.hasTarget, r.target) +
            ",\"groupNt\":" + JsonOrNull(r.hasGroupNt, r.groupNt) +
            ",\"group9x\":" + JsonOrNull(r.hasGroup9x, r.group9x) +
            ",\"internetMode\":" + std::to_string(r.internetMode) +
            ",\"imagePaths\":" + JsonList(r.hasImages, r.images) +
            ",\"downloadFolders\":" + JsonList(r.hasDownloads, r.downloads) + "}";
  }
  *out += "],\"findings\":[";
  for (size_t i = 0; i < check->findings.size(); ++i) {
    const Finding& f = check->findings[i];
    *out += std::string(i > 0 ? "," : "") + "{\"kind\":" + Json(kKindNames[f.kind]) +
            ",\"file\":" + Json(f.file) + ",\"key\":" + Json(f.key) +
            ",\"detail\":" + Json(f.detail) + ",\"languages\":" + JsonList(1, f.languages) + "}";
  }
  *out += "],\"exitCode\":" + std::to_string(exitCode) + "}\n";
}

// Findings in the order of their kinds, each kind in the order found.
void SortFindings(Check* check) {
  std::vector<Finding> sorted;
  for (int kind = kMissingFile; kind <= kCodePage; ++kind) {
    for (const Finding& finding : check->findings) {
      if (finding.kind == kind) sorted.push_back(finding);
    }
  }
  check->findings = sorted;
}

int ParseLanguage(const char* text, uint16_t* language) {
  char* end = nullptr;
  unsigned long value = strtoul(text, &end, 16);
  if (text[0] == '\0' || *end != '\0' || strlen(text) > 4) return 0;
  *language = static_cast<uint16_t>(value);
  return 1;
}

int RunCheck(const char* folder, const std::vector<uint16_t>& asked, int json) {
  Check check = {};
  if (!MakeFullFolder(folder, check.folder)) {
    fprintf(stderr, "package-check: %s is not a folder that can be read\n", folder);
    return kExitNoPackage;
  }
  check.hasDescriptor = FindPackageFiles(check.folder, FindPackageFile, ReadProfile,
                                         check.settingsPath, check.descriptorPath, &check.isXml);
  if (check.settingsPath[0] == '\0') {
    fprintf(stderr, "package-check: %s holds no NvxSetup.dat: not a setup package\n", folder);
    return kExitNoPackage;
  }
  // The setup's conversions, into each language's code page in turn.
  g_codePageFunctions.multiByteToWideChar = ConvertUtf8ToWide;
  g_codePageFunctions.wideCharToMultiByte = ConvertToLanguage;

  CheckProgramFiles(&check);
  if (!check.hasDescriptor) {
    AddFinding(&check, kDescriptor, "VOD.xml", "",
               "missing, and no DidIve.nvx names its NVX/XRELEASE", nullptr);
  } else if (check.isXml) {
    ParseDescriptor(&check);
  }
  std::vector<uint16_t> languages;
  CheckSections(&check, &languages);
  if (asked.empty()) {
    AddLanguage(&languages, 0x0409);
    size_t known = languages.size();
    for (uint16_t candidate : kLackingCandidates) {
      if (languages.size() == known) AddLanguage(&languages, candidate);
    }
  } else {
    languages = asked;
  }
  for (uint16_t language : languages) CheckLanguage(&check, language);
  if (check.descriptor != nullptr) {
    CheckGdElements(&check, check.descriptor->nodes, check.descriptor->count, "", "DIDIVE");
    XmlReleaseDocument(check.descriptor);
  }
  SortFindings(&check);

  const int exitCode = check.findings.empty() ? kExitClean : kExitFindings;
  std::string out;
  if (json) {
    WriteJson(&check, exitCode, &out);
  } else {
    WriteText(&check, &out);
  }
  fwrite(out.data(), 1, out.size(), stdout);
  fflush(stdout);
  return exitCode;
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  // The output is a byte contract: no CR before each line feed.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  const char* folder = nullptr;
  std::vector<uint16_t> languages;
  int json = 0;
  for (int i = 1; i < argc; ++i) {
    uint16_t language = 0;
    if (strcmp(argv[i], "--json") == 0) {
      json = 1;
    } else if (strcmp(argv[i], "--lang") == 0) {
      if (i + 1 >= argc || !ParseLanguage(argv[++i], &language)) {
        return UsageError("--lang takes one to four hexadecimal digits");
      }
      AddLanguage(&languages, language);
    } else if (folder == nullptr && argv[i][0] != '-') {
      folder = argv[i];
    } else {
      return UsageError("unexpected argument");
    }
  }
  if (folder == nullptr) return UsageError("FOLDER is missing");
  return RunCheck(folder, languages, json);
}
