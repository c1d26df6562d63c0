#include "xml/xml.h"

int XmlGetRootNode(XmlNode** node, const XmlDocument* document) {
  (void)node;
  (void)document;
  return 0;
}

int XmlSelectNode(const char* path, XmlNode** node, const XmlDocument* document) {
  (void)path;
  (void)node;
  (void)document;
  return 0;
}

int BindCodePageFunctions() { return 0; }

int XmlConvertValue(const char* text, char* buffer, uint32_t* size) {
  (void)text;
  (void)buffer;
  (void)size;
  return 0;
}
