// Variant values: an element with "method" and "default" attributes holds
// "item" children for languages or machines; the path is rewritten to the
// data node of the first item that exists for this machine.
#include <string.h>

#include "common/text.h"
#include "xml/memory.h"
#include "xml/xml.h"

namespace {

const char* FindAttribute(const XmlNode* node, const char* name) {
  for (uint32_t i = 0; i < node->attributeCount; ++i) {
    if (strcmp(node->attributes[i].name, name) == 0) return node->attributes[i].value;
  }
  return nullptr;
}

// Candidate ids are held in fixed fields; a value that does not fit its
// field is no candidate (the slot stays unused).
struct Candidates {
  char first[128];
  char second[128];
  char third[128];
  bool used[3];
};

void FormatLanguage(Candidates* c, uint16_t id, uint16_t primary, const char* fallback) {
  c->used[0] = TextFormat(c->first, 10, "%04X", static_cast<unsigned>(id)) != 0;
  c->used[1] = TextFormat(c->second, 10, "%04X", static_cast<unsigned>(primary)) != 0;
  c->used[2] = TextCopy(c->third, 12, fallback) != 0;
}

// The string of a profile field of capacity bytes, which may lack its NUL:
// a value that fills the whole field without one is no candidate.
bool CopyProfileText(char* target, size_t field, const char* value, size_t capacity) {
  if (TextLength(value, capacity) == capacity) return false;
  return TextCopy(target, field, value) != 0;
}

void CutAtLast(char* text, char separator) {
  char* last = strrchr(text, separator);
  if (last != nullptr) *last = '\0';
}

// Fills the candidates of a method; false for a method that is not known.
bool BuildCandidates(Candidates* c, const char* method, const char* fallback,
                     const SystemProfile* profile) {
  memset(c, 0, sizeof(*c));
  if (strcmp(method, "LANGUAGE") == 0) {
    FormatLanguage(c, profile->systemLanguageId, profile->systemPrimaryLanguageId, fallback);
  } else if (strcmp(method, "BIOSID") == 0) {
    // The id is stored second character first; a NUL character ends it.
    char first = profile->biosId[1];
    char second = profile->biosId[0];
    char id[3] = {first, first != '\0' ? second : '\0', '\0'};
    if (id[0] == '\0') {
      c->used[0] = TextCopy(c->first, 6, "") != 0;
    } else if (id[1] == '\0') {
      c->used[0] = TextFormat(c->first, 6, "%s", id) != 0;
    } else {
      c->used[0] =
          TextFormat(c->first, 6, "%s.%02X", id, static_cast<unsigned>(profile->biosRevision)) != 0;
    }
    c->used[1] = TextCopy(c->second, 6, id) != 0;
    c->used[2] = TextCopy(c->third, 8, fallback) != 0;
  } else if (strcmp(method, "OS") == 0) {
    c->used[0] = CopyProfileText(c->first, 12, profile->osId, sizeof(profile->osId));
    c->used[1] = c->used[0] && TextCopy(c->second, 12, c->first) != 0;
    CutAtLast(c->second, '.');
    c->used[2] = TextCopy(c->third, 12, fallback) != 0;
  } else if (strcmp(method, "MTM") == 0) {
    c->used[0] =
        CopyProfileText(c->first, 12, profile->machineTypeModel, sizeof(profile->machineTypeModel));
    c->used[1] = c->used[0] && TextCopy(c->second, 12, c->first) != 0;
    CutAtLast(c->second, '-');
    c->used[2] = TextCopy(c->third, 12, fallback) != 0;
  } else if (strcmp(method, "FAMILYNAME") == 0) {
    c->used[0] = CopyProfileText(c->first, 128, profile->familyName, sizeof(profile->familyName));
    c->used[1] = TextCopy(c->second, 128, fallback) != 0;
  } else if (strcmp(method, "LANGUAGE.OS") == 0) {
    FormatLanguage(c, profile->osLanguageId, profile->osPrimaryLanguageId, fallback);
  } else {
    return false;
  }
  return true;
}

}  // namespace

int XmlResolveVariantPath(char* path, uint32_t size, const char* dataId,
                          const XmlDocument* document, const SystemProfile* profile) {
  if (path == nullptr || size == 0 || document == nullptr || profile == nullptr) return 0;
  if (TextLength(path, size) == size) return 0;  // not terminated inside its buffer
  if (dataId == nullptr) dataId = "";
  XmlNode* node;
  if (!XmlSelectNode(path, &node, document)) return 0;
  if (node->children == nullptr || node->children->count == 0) return 0;
  const char* fallback = FindAttribute(node, "default");
  if (fallback == nullptr) return 0;
  const char* method = FindAttribute(node, "method");
  if (method == nullptr) return 0;
  Candidates candidates;
  if (!BuildCandidates(&candidates, method, fallback, profile)) return 0;

  char* work = static_cast<char*>(XmlAllocate(size));
  if (work == nullptr) return 0;
  const char* ids[3] = {candidates.first, candidates.second, candidates.third};
  for (int i = 0; i < 3; ++i) {
    if (!candidates.used[i]) continue;
    memset(work, 0, size);
    int formatted =
        dataId[0] != '\0'
            ? TextFormat(work, size, "%s/item[@id=%s]/data[@id=%s]", path, ids[i], dataId)
            : TextFormat(work, size, "%s/item[@id=%s]/data", path, ids[i]);
    if (!formatted) continue;
    XmlNode* found;
    if (XmlSelectNode(work, &found, document)) {
      memset(path, 0, size);
      memcpy(path, work, strlen(work) + 1);
      XmlRelease(work);
      return 1;
    }
  }
  XmlRelease(work);
  return 0;
}
