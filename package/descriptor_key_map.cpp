#include "package/descriptor_key_map.h"

#include <string.h>

#include "common/text.h"
#include "xml/xml.h"

// Predicates and answer attribute of the rows.
#define NO_PAIRS "", nullptr
#define ID(value) "[@id=" value "]", nullptr
#define ANSWER(attribute) "", attribute
#define ID_ANSWER(value, attribute) "[@id=" value "]", attribute
#define METHOD(value) "[@method=" value "]", nullptr
#define METHOD_ANSWER(value, attribute) "[@method=" value "]", attribute

const DescriptorKeyRow DescriptorKeyMap[DescriptorKeyCount] = {
    {"DEVICE", "device", NO_PAIRS},
    {"NAME", "title", NO_PAIRS},
    {"VERSION", "version", NO_PAIRS},
    {"SETUP", "setup", NO_PAIRS},
    {"UNINSTALL", "uninstall", NO_PAIRS},
    {"9X", "os", ID("9X")},
    {"NT", "os", ID("NT")},
    {"PARENTS", "dependency", ID("NVX")},
    {"IE", "dependency", ID("IE")},
    {"DX", "dependency", ID("DX")},
    {"PM", "dependency", ID("PM")},
    {"HOTKEY", "dependency", ID("HOTKEY")},
    {"SETUPFORM", "setup", ANSWER("form")},
    {"REGVERSION", "uninstall", ANSWER("reg")},
    {"SMI.HWCTL", "smiflag", ID("HWCTL")},
    {"SMI.BLUETOOTH", "smiflag", ID("BLUETOOTH")},
    {"SETUP.SILENT", "setup", METHOD("SILENT")},
    {"SETUPFORM.SILENT", "setup", METHOD_ANSWER("SILENT", "form")},
    {"SETUP.SUCCESS", "setup", ANSWER("success")},
    {"SETUP.SILENT.SUCCESS", "setup", METHOD_ANSWER("SILENT", "success")},
    {"SMBIOS.SW135", "smbiosflag", ID("SW135")},
    {"LASTCRITICALUPDATE", "lastversion", ID("CRITICAL")},
    {"OSTYPE", "os", ID_ANSWER("NT", "type")},
    {"MMC-3", "dependency", ID("MMC-3")},
    {"MMC-3.BUS", "dependency", ID_ANSWER("MMC-3", "bus")},
};

namespace {

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Keys are ASCII; the comparison does not depend on the system's locale.
int KeysEqual(const char* a, const char* b) {
  for (; *a != '\0' && *b != '\0'; ++a, ++b) {
    if (AsciiUpper(*a) != AsciiUpper(*b)) return 0;
  }
  return *a == *b;
}

const XmlAttribute* FindAttribute(const XmlNode* node, const char* name) {
  if (node->attributes == nullptr) return nullptr;
  for (uint32_t i = 0; i < node->attributeCount; ++i) {
    const char* attribute = node->attributes[i].name;
    if (attribute != nullptr && strcmp(attribute, name) == 0) return &node->attributes[i];
  }
  return nullptr;
}

// The first attribute of a gd element that points to a variant group.
const XmlAttribute* FindVariantPointer(const XmlNode* gd) {
  if (gd->attributes == nullptr) return nullptr;
  for (uint32_t i = 0; i < gd->attributeCount; ++i) {
    const char* name = gd->attributes[i].name;
    if (name == nullptr) continue;
    if (strcmp(name, "path") == 0 || strcmp(name, "nvxpath") == 0) return &gd->attributes[i];
  }
  return nullptr;
}

// Replaces path by the data node that the gd element points to.
int FollowVariantGroup(const XmlNode* gd, char* path, const char* packageId,
                       const XmlDocument* document, const SystemProfile* profile) {
  const XmlAttribute* pointer = FindVariantPointer(gd);
  if (pointer == nullptr || pointer->value == nullptr) return 0;
  memset(path, 0, DescriptorPathCapacity);
  int built = strcmp(pointer->name, "path") == 0
                  ? TextCopy(path, DescriptorPathCapacity, pointer->value)
                  : TextFormat(path, DescriptorPathCapacity, "/build/nvx[@id=%s]/%s", packageId,
                               pointer->value);
  if (!built) return 0;
  const char* dataId = gd->text != nullptr ? gd->text : "";
  return XmlResolveVariantPath(path, DescriptorPathCapacity, dataId, document, profile) != 0;
}

}  // namespace

const DescriptorKeyRow* FindDescriptorKey(const char* key) {
  if (key == nullptr) return nullptr;
  for (const DescriptorKeyRow& row : DescriptorKeyMap) {
    if (KeysEqual(row.key, key)) return &row;
  }
  return nullptr;
}

int BuildDescriptorPath(const DescriptorKeyRow* row, const char* packageId, const char* releaseId,
                        char* path, size_t size, const char** answerAttribute) {
  *answerAttribute = row->answer;
  return TextFormat(path, size, "/build/nvx[@id=%s]/xrelease/release[@id=%s]/%s%s", packageId,
                    releaseId, row->element, row->predicates);
}

int LookupDescriptorValue(const char* releaseId, const char* key, char* buffer, uint32_t size,
                          const char* packageId, const XmlDocument* document,
                          const SystemProfile* profile, int emptyResult) {
  const DescriptorKeyRow* row = FindDescriptorKey(key);
  if (row == nullptr) return 0;
  if (releaseId == nullptr || packageId == nullptr || document == nullptr || buffer == nullptr) {
    return 0;
  }

  char path[DescriptorPathCapacity];
  memset(path, 0, sizeof(path));
  const char* answerAttribute = nullptr;
  if (!BuildDescriptorPath(row, packageId, releaseId, path, sizeof(path), &answerAttribute)) {
    return 0;
  }

  XmlNode* node = nullptr;
  if (!XmlSelectNode(path, &node, document)) return 0;
  uint32_t room = size;
  if (answerAttribute != nullptr) {
    const XmlAttribute* attribute = FindAttribute(node, answerAttribute);
    if (attribute == nullptr || attribute->value == nullptr) return 0;
    return XmlConvertValue(attribute->value, buffer, &room);
  }

  // A gd element may lead to another one; a descriptor whose groups point at
  // each other must not keep the lookup going forever.
  for (int indirections = 0;; ++indirections) {
    const XmlNodeList* children = node->children;
    if (children == nullptr || children->count == 0) {
      if (node->text == nullptr || node->text[0] == '\0') return emptyResult;
      return XmlConvertValue(node->text, buffer, &room);
    }
    if (children->count > 1 || indirections == DescriptorMaxIndirections) return 0;
    const XmlNode* child = &children->items[0];
    if (child->name != nullptr && strcmp(child->name, "gd") == 0) {
      if (!FollowVariantGroup(child, path, packageId, document, profile)) return 0;
    } else if (child->name != nullptr && strcmp(child->name, "![CDATA") == 0) {
      if (!TextAppend(path, sizeof(path), "/![CDATA")) return 0;
    } else {
      return 0;
    }
    if (!XmlSelectNode(path, &node, document)) return 0;
  }
}
