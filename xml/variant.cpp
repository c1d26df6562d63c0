#include "xml/xml.h"

int XmlResolveVariantPath(char* path, uint32_t size, const char* dataId,
                          const XmlDocument* document, const SystemProfile* profile) {
  (void)path;
  (void)size;
  (void)dataId;
  (void)document;
  (void)profile;
  return 0;
}
