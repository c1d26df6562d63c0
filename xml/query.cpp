// Absolute path queries over the node tree, and conversion of node strings
// from UTF-8 to the system code page.
#include <limits.h>
#include <string.h>

#include "common/text.h"
#include "xml/codepage.h"
#include "xml/memory.h"
#include "xml/xml.h"

namespace {

bool IsAsciiLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool HasAttribute(const XmlNode* node, const char* name, const char* value) {
  for (uint32_t i = 0; i < node->attributeCount; ++i) {
    if (strcmp(node->attributes[i].name, name) == 0 &&
        strcmp(node->attributes[i].value, value) == 0) {
      return true;
    }
  }
  return false;
}

// The first child that a step selects, or null. step is a NUL-terminated
// part of the caller's work buffer and may be cut here.
XmlNode* SelectChild(const XmlNode* node, char* step) {
  const XmlNodeList* children = node->children;
  char* bracket = step[0] == '!' ? nullptr : strchr(step, '[');
  if (bracket == nullptr) {
    for (uint32_t i = 0; i < children->count; ++i) {
      if (strcmp(children->items[i].name, step) == 0) return &children->items[i];
    }
    return nullptr;
  }
  // name "[@" attribute "=" value "]"; anything after the "]" is ignored.
  *bracket = '\0';
  if (bracket[1] != '@') return nullptr;
  char* attribute = bracket + 2;
  char* equals = strchr(attribute, '=');
  if (equals == nullptr) return nullptr;
  *equals = '\0';
  char* value = equals + 1;
  char* close = strchr(value, ']');
  if (close == nullptr) return nullptr;
  *close = '\0';
  for (uint32_t i = 0; i < children->count; ++i) {
    XmlNode* child = &children->items[i];
    if (strcmp(child->name, step) == 0 && HasAttribute(child, attribute, value)) return child;
  }
  return nullptr;
}

}  // namespace

int XmlGetRootNode(XmlNode** node, const XmlDocument* document) {
  if (node == nullptr || document == nullptr || document->nodes == nullptr) return 0;
  for (uint32_t i = 0; i < document->count; ++i) {
    if (IsAsciiLetter(document->nodes[i].name[0])) {
      *node = &document->nodes[i];
      return 1;
    }
  }
  return 0;
}

int XmlSelectNode(const char* path, XmlNode** node, const XmlDocument* document) {
  if (path == nullptr || node == nullptr) return 0;
  char work[XmlMaxPath + 1];
  size_t length = TextLength(path, sizeof(work));
  if (length > XmlMaxPath) return 0;
  memcpy(work, path, length);
  work[length] = '\0';
  if (work[0] != '/') return 0;
  for (size_t i = 0; i < length; ++i) {
    if (work[i] == '/') work[i] = '\0';
  }
  XmlNode* current;
  if (!XmlGetRootNode(&current, document)) return 0;
  char* step = work + 1;
  if (strcmp(current->name, step) != 0) return 0;
  *node = current;
  char* const pathEnd = work + length;
  char* stepEnd = step + strlen(step);
  for (;;) {
    // An empty step ends the walk: the path ended, or two "/" stood together,
    // or it ended in "/".
    if (stepEnd >= pathEnd) return 1;
    step = stepEnd + 1;
    if (step[0] == '\0') return 1;
    if (current->children == nullptr || current->children->count == 0) return 0;
    stepEnd = step + strlen(step);  // before SelectChild cuts the step
    XmlNode* child = SelectChild(current, step);
    if (child == nullptr) return 0;
    current = child;
    *node = current;
  }
}

int XmlConvertValue(const char* text, char* buffer, uint32_t* size) {
  if (text == nullptr || size == nullptr) return 0;
  if (g_codePageFunctions.multiByteToWideChar == nullptr ||
      g_codePageFunctions.wideCharToMultiByte == nullptr) {
    if (!BindCodePageFunctions()) return 0;
  }
  XmlMultiByteToWideCharProc toWide = g_codePageFunctions.multiByteToWideChar;
  XmlWideCharToMultiByteProc toAnsi = g_codePageFunctions.wideCharToMultiByte;
  int units = toWide(XmlCodePageUtf8, 0, text, -1, nullptr, 0);
  if (units <= 0) return 0;
  XmlWideChar* wide =
      static_cast<XmlWideChar*>(XmlAllocate(static_cast<size_t>(units) * sizeof(XmlWideChar)));
  if (wide == nullptr) return 0;
  int result = 0;
  if (toWide(XmlCodePageUtf8, 0, text, -1, wide, units) != 0) {
    int bytes = toAnsi(XmlCodePageAnsi, 0, wide, units, nullptr, 0, nullptr, nullptr);
    if (buffer == nullptr) {
      *size = bytes > 0 ? static_cast<uint32_t>(bytes) : 0;
      result = bytes > 0 ? 1 : 0;
    } else if (bytes > 0 && static_cast<uint32_t>(bytes) <= *size) {
      int capacity = *size > INT_MAX ? INT_MAX : static_cast<int>(*size);
      result = toAnsi(XmlCodePageAnsi, 0, wide, units, buffer, capacity, nullptr, nullptr) != 0;
    }
  }
  XmlRelease(wide);
  return result;
}
