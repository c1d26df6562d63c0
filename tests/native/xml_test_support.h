// Helpers for the XML engine tests, shared by the native build and (through
// tests/win/xml_engine_test.cpp) the Windows build.
#pragma once
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <memory>
#include <string>

#include "xml/xml.h"

struct XmlDocumentDeleter {
  void operator()(XmlDocument* document) const { XmlReleaseDocument(document); }
};
using XmlDocumentPtr = std::unique_ptr<XmlDocument, XmlDocumentDeleter>;

// Parses text placed at the very end of a heap block of exactly its length
// (no terminator after it), so that a read past length trips the address
// sanitizer. The block is freed before returning: the document must not
// point into it.
inline XmlDocumentPtr ParseExact(const std::string& text) {
  size_t size = text.size();
  char* block = static_cast<char*>(malloc(size == 0 ? 1 : size));
  if (size > 0) memcpy(block, text.data(), size);
  XmlDocument* document = XmlParseDocument(block, static_cast<int32_t>(size));
  free(block);
  return XmlDocumentPtr(document);
}

// A heap copy of a C string with nothing after its terminator.
struct ExactString {
  explicit ExactString(const std::string& text)
      : data(static_cast<char*>(malloc(text.size() + 1))) {
    memcpy(data, text.c_str(), text.size() + 1);
  }
  ~ExactString() { free(data); }
  ExactString(const ExactString&) = delete;
  ExactString& operator=(const ExactString&) = delete;
  char* data;
};

inline void AppendQuotedForTest(std::string* out, const char* text) {
  if (text == nullptr) {
    *out += "null";
    return;
  }
  *out += '"';
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
    if (*p == '"' || *p == '\\') {
      *out += '\\';
      *out += static_cast<char>(*p);
    } else if (*p < 0x20 || *p >= 0x7F) {
      char hex[8];
      snprintf(hex, sizeof(hex), "\\x%02x", *p);
      *out += hex;
    } else {
      *out += static_cast<char>(*p);
    }
  }
  *out += '"';
}

// One node as a line: depth, "name", "text" (or null), "attr"="value"...
inline std::string NodeLine(const XmlNode* node, unsigned depth = 0) {
  std::string line = std::to_string(depth) + " ";
  AppendQuotedForTest(&line, node->name);
  line += ' ';
  AppendQuotedForTest(&line, node->text);
  for (uint32_t i = 0; i < node->attributeCount; ++i) {
    line += ' ';
    AppendQuotedForTest(&line, node->attributes[i].name);
    line += '=';
    AppendQuotedForTest(&line, node->attributes[i].value);
  }
  return line;
}

inline void DumpNodesForTest(std::string* out, const XmlNode* nodes, uint32_t count,
                             unsigned depth) {
  for (uint32_t i = 0; i < count; ++i) {
    *out += NodeLine(&nodes[i], depth) + "\n";
    const XmlNodeList* children = nodes[i].children;
    if (children != nullptr) DumpNodesForTest(out, children->items, children->count, depth + 1);
  }
}

// The whole tree, one line per node, depth first in document order.
inline std::string DumpDocument(const XmlDocument* document) {
  std::string out;
  if (document != nullptr) DumpNodesForTest(&out, document->nodes, document->count, 0);
  return out;
}
