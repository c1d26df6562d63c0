#include "xml/xml.h"

// First slice: the interface only; parsing follows.
XmlDocument* XmlParseDocument(const char* text, int32_t length) {
  (void)text;
  (void)length;
  return nullptr;
}

int XmlFreeDocument(XmlDocument* document) {
  if (document == nullptr || document->text == nullptr) return 0;
  return 0;
}

int XmlReleaseDocument(XmlDocument* document) {
  return XmlFreeDocument(document);
}

int XmlFreeNode(XmlNode* node) {
  (void)node;
  return 1;
}

int XmlDecodeEntities(char* text) {
  (void)text;
  return 1;
}
