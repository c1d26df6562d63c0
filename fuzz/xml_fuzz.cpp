// libFuzzer target: parse, query, resolve, convert and release a descriptor.
//
// The input is the descriptor, optionally followed by two NUL bytes and a
// path that is queried as well. Besides the sanitizers' checks, the tree's
// own invariants are checked: every string lies inside the text copy, and
// counts and pointers agree.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "xml/xml.h"

namespace {

struct Walk {
  const char* low;
  const char* high;
  unsigned nodes;
};

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

void CheckString(const Walk& walk, const char* s) {
  Check(s >= walk.low && s < walk.high);
  Check(s + strlen(s) < walk.high);
}

void CheckNodes(Walk* walk, const XmlNode* nodes, uint32_t count, unsigned depth) {
  Check(depth <= XmlMaxDepth);
  for (uint32_t i = 0; i < count; ++i) {
    const XmlNode* node = &nodes[i];
    ++walk->nodes;
    CheckString(*walk, node->name);
    if (node->text != nullptr) CheckString(*walk, node->text);
    Check((node->attributes != nullptr) == (node->attributeCount > 0));
    for (uint32_t k = 0; k < node->attributeCount; ++k) {
      CheckString(*walk, node->attributes[k].name);
      CheckString(*walk, node->attributes[k].value);
    }
    if (node->children != nullptr) {
      Check(node->children->count > 0 && node->children->items != nullptr);
      CheckNodes(walk, node->children->items, node->children->count, depth + 1);
    }
  }
}

void Query(const XmlDocument* document, const char* path) {
  XmlNode* node = nullptr;
  if (XmlSelectNode(path, &node, document)) {
    char value[260];
    uint32_t size = sizeof(value);
    if (node->text != nullptr) XmlConvertValue(node->text, value, &size);
    uint32_t needed = 0;
    if (node->text != nullptr) XmlConvertValue(node->text, nullptr, &needed);
  }
  // As a variant group, with the data id taken from the last step.
  char buffer[260];
  size_t length = strlen(path);
  if (length >= sizeof(buffer)) return;
  memcpy(buffer, path, length + 1);
  SystemProfile profile;
  memset(&profile, 0, sizeof(profile));
  profile.systemLanguageId = static_cast<uint16_t>(0x0400 + length);
  profile.systemPrimaryLanguageId = static_cast<uint16_t>(profile.systemLanguageId & 0x3FF);
  profile.biosId[0] = 'B';
  profile.biosId[1] = 'A';
  memcpy(profile.osId, "5.1.2600", 9);
  memcpy(profile.machineTypeModel, "8183-A1B", 9);
  memcpy(profile.familyName, "Gadget", 7);
  std::string before(buffer);
  const char* slash = strrchr(path, '/');
  const char* dataId = slash != nullptr ? slash + 1 : "";
  if (XmlResolveVariantPath(buffer, sizeof(buffer), dataId, document, &profile)) {
    Check(XmlSelectNode(buffer, &node, document) == 1);
  } else {
    Check(before == buffer);
  }
}

// Paths built from the tree: the document element's children, with and
// without their first attribute as a predicate.
void QueryTree(const XmlDocument* document) {
  XmlNode* root = nullptr;
  if (!XmlGetRootNode(&root, document)) return;
  std::string base = std::string("/") + root->name;
  Query(document, base.c_str());
  if (root->children == nullptr) return;
  for (uint32_t i = 0; i < root->children->count && i < 8; ++i) {
    const XmlNode* child = &root->children->items[i];
    std::string path = base + "/" + child->name;
    Query(document, path.c_str());
    if (child->attributeCount > 0) {
      std::string predicate =
          path + "[@" + child->attributes[0].name + "=" + child->attributes[0].value + "]";
      Query(document, predicate.c_str());
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 0x7FFFFFFF) return 0;
  size_t documentSize = size;
  std::string path;
  for (size_t i = 0; i + 1 < size; ++i) {
    if (data[i] == 0 && data[i + 1] == 0) {
      documentSize = i;
      path.assign(reinterpret_cast<const char*>(data) + i + 2, size - i - 2);
      path = path.c_str();  // up to its first NUL
      break;
    }
  }
  // Exactly the descriptor's bytes, nothing after them.
  char* text = static_cast<char*>(malloc(documentSize == 0 ? 1 : documentSize));
  memcpy(text, data, documentSize);
  XmlDocument* document = XmlParseDocument(text, static_cast<int32_t>(documentSize));
  free(text);
  if (document == nullptr) return 0;

  Walk walk = {document->text, document->text + documentSize + 1, 0};
  Check(document->count > 0);
  CheckNodes(&walk, document->nodes, document->count, 0);
  QueryTree(document);
  if (!path.empty()) Query(document, path.c_str());

  Check(XmlFreeDocument(document) == 1);
  Check(document->text == nullptr && document->nodes == nullptr && document->count == 0);
  Check(XmlFreeDocument(document) == 0);
  XmlReleaseDocument(document);
  return 0;
}
