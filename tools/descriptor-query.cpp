// descriptor-query: shows package authors what the setup reads from a
// descriptor, through the setup's own XML engine.
//
//   descriptor-query dump FILE
//   descriptor-query select FILE PATH
//   descriptor-query resolve FILE PATH [DATAID] [--lang HEX]
//   descriptor-query lookup FILE RELEASE KEY [--package ID] [--lang HEX]
//
// Exit codes: 0 done; 1 the query found nothing; 2 no document; 64 usage.
// Each subcommand is one function in the table at the end; a new one only
// needs its function and its row.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "package/descriptor_key_map.h"
#include "tools/whole_file.h"
#include "xml/xml.h"

namespace {

const int kExitFound = 0;
const int kExitNotFound = 1;
const int kExitNoDocument = 2;
const int kExitUsage = 64;

const char kUsage[] =
    "usage: descriptor-query dump FILE | select FILE PATH | resolve FILE PATH [DATAID] [--lang "
    "HEX] | lookup FILE RELEASE KEY [--package ID] [--lang HEX]";

int UsageError(const char* detail) {
  if (detail != nullptr) {
    fprintf(stderr, "descriptor-query: %s; %s\n", detail, kUsage);
  } else {
    fprintf(stderr, "%s\n", kUsage);
  }
  return kExitUsage;
}

// A parsed file, released when it goes out of scope.
struct LoadedDocument {
  XmlDocument* document = nullptr;
  ~LoadedDocument() {
    if (document != nullptr) XmlReleaseDocument(document);
  }
};

bool LoadDocument(const char* name, LoadedDocument* loaded) {
  std::vector<char> bytes;
  if (!ReadWholeFile(name, &bytes)) {
    fprintf(stderr, "descriptor-query: cannot read %s\n", name);
    return false;
  }
  size_t length = bytes.size() - 1;
  if (length > 0x7FFFFFFF) return false;
  loaded->document = XmlParseDocument(bytes.data(), static_cast<int32_t>(length));
  return loaded->document != nullptr;
}

void AppendQuoted(std::string* line, const char* text) {
  if (text == nullptr) {
    line->append("null");
    return;
  }
  static const char kHex[] = "0123456789abcdef";
  line->push_back('"');
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p != 0; ++p) {
    if (*p == '\\' || *p == '"') {
      line->push_back('\\');
      line->push_back(static_cast<char>(*p));
    } else if (*p < 0x20 || *p >= 0x7F) {
      line->append("\\x");
      line->push_back(kHex[*p >> 4]);
      line->push_back(kHex[*p & 0xF]);
    } else {
      line->push_back(static_cast<char>(*p));
    }
  }
  line->push_back('"');
}

void WriteNodeLine(const XmlNode* node, unsigned depth) {
  std::string line = std::to_string(depth);
  line.push_back(' ');
  AppendQuoted(&line, node->name);
  line.push_back(' ');
  AppendQuoted(&line, node->text);
  for (uint32_t i = 0; i < node->attributeCount; ++i) {
    line.push_back(' ');
    AppendQuoted(&line, node->attributes[i].name);
    line.push_back('=');
    AppendQuoted(&line, node->attributes[i].value);
  }
  line.push_back('\n');
  fwrite(line.data(), 1, line.size(), stdout);
}

void DumpNodes(const XmlNode* nodes, uint32_t count, unsigned depth) {
  for (uint32_t i = 0; i < count; ++i) {
    WriteNodeLine(&nodes[i], depth);
    if (nodes[i].children != nullptr) {
      DumpNodes(nodes[i].children->items, nodes[i].children->count, depth + 1);
    }
  }
}

int RunDump(int argc, char** argv) {
  if (argc != 1) return UsageError("dump takes FILE");
  LoadedDocument loaded;
  if (!LoadDocument(argv[0], &loaded)) return kExitNoDocument;
  DumpNodes(loaded.document->nodes, loaded.document->count, 0);
  return kExitFound;
}

int RunSelect(int argc, char** argv) {
  if (argc != 2) return UsageError("select takes FILE PATH");
  LoadedDocument loaded;
  if (!LoadDocument(argv[0], &loaded)) return kExitNoDocument;
  XmlNode* node = nullptr;
  if (!XmlSelectNode(argv[1], &node, loaded.document)) return kExitNotFound;
  WriteNodeLine(node, 0);
  return kExitFound;
}

// One to four hexadecimal digits.
bool ParseLanguage(const char* text, uint16_t* language) {
  size_t n = strlen(text);
  if (n == 0 || n > 4) return false;
  unsigned value = 0;
  for (size_t i = 0; i < n; ++i) {
    char c = text[i];
    unsigned digit;
    if (c >= '0' && c <= '9') {
      digit = static_cast<unsigned>(c - '0');
    } else if (c >= 'a' && c <= 'f') {
      digit = static_cast<unsigned>(c - 'a' + 10);
    } else if (c >= 'A' && c <= 'F') {
      digit = static_cast<unsigned>(c - 'A' + 10);
    } else {
      return false;
    }
    value = value * 16 + digit;
  }
  *language = static_cast<uint16_t>(value);
  return true;
}

int RunResolve(int argc, char** argv) {
  std::vector<const char*> operands;
  uint16_t language = 0x0409;
  for (int i = 0; i < argc; ++i) {
    if (strcmp(argv[i], "--lang") == 0) {
      if (i + 1 >= argc) return UsageError("--lang needs a value");
      if (!ParseLanguage(argv[++i], &language)) {
        return UsageError("--lang takes one to four hexadecimal digits");
      }
    } else {
      operands.push_back(argv[i]);
    }
  }
  if (operands.size() < 2 || operands.size() > 3) {
    return UsageError("resolve takes FILE PATH [DATAID] [--lang HEX]");
  }
  LoadedDocument loaded;
  if (!LoadDocument(operands[0], &loaded)) return kExitNoDocument;
  char path[260];
  memset(path, 0, sizeof(path));
  if (strlen(operands[1]) >= sizeof(path)) return kExitNotFound;  // does not fit the buffer
  memcpy(path, operands[1], strlen(operands[1]));
  SystemProfile profile;
  memset(&profile, 0, sizeof(profile));
  profile.systemLanguageId = language;
  profile.systemPrimaryLanguageId = static_cast<uint16_t>(language & 0x3FF);
  const char* dataId = operands.size() == 3 ? operands[2] : "";
  if (!XmlResolveVariantPath(path, sizeof(path), dataId, loaded.document, &profile)) {
    return kExitNotFound;
  }
  std::string line = path;
  line.push_back('\n');
  fwrite(line.data(), 1, line.size(), stdout);
  return kExitFound;
}

// The value the setup reads for an INI-style release and key, as the setup
// asks for it: a 260-byte buffer, an empty element counting as missing.
int RunLookup(int argc, char** argv) {
  std::vector<const char*> operands;
  const char* package = "DIDIVE";
  uint16_t language = 0x0409;
  for (int i = 0; i < argc; ++i) {
    if (strcmp(argv[i], "--package") == 0) {
      if (i + 1 >= argc) return UsageError("--package needs a value");
      package = argv[++i];
    } else if (strcmp(argv[i], "--lang") == 0) {
      if (i + 1 >= argc) return UsageError("--lang needs a value");
      if (!ParseLanguage(argv[++i], &language)) {
        return UsageError("--lang takes one to four hexadecimal digits");
      }
    } else {
      operands.push_back(argv[i]);
    }
  }
  if (operands.size() != 3) {
    return UsageError("lookup takes FILE RELEASE KEY [--package ID] [--lang HEX]");
  }
  LoadedDocument loaded;
  if (!LoadDocument(operands[0], &loaded)) return kExitNoDocument;
  SystemProfile profile;
  memset(&profile, 0, sizeof(profile));
  profile.systemLanguageId = language;
  profile.systemPrimaryLanguageId = static_cast<uint16_t>(language & 0x3FF);
  char value[260];
  memset(value, 0, sizeof(value));
  if (!LookupDescriptorValue(operands[1], operands[2], value, sizeof(value), package,
                             loaded.document, &profile, 0)) {
    return kExitNotFound;
  }
  std::string line = value;
  line.push_back('\n');
  fwrite(line.data(), 1, line.size(), stdout);
  return kExitFound;
}

struct Subcommand {
  const char* name;
  int (*run)(int argc, char** argv);  // gets the arguments after the name
};

const Subcommand kSubcommands[] = {
    {"dump", RunDump},
    {"select", RunSelect},
    {"resolve", RunResolve},
    {"lookup", RunLookup},
};

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  // The output is a byte contract: no CR before each line feed.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  if (argc < 2) return UsageError(nullptr);
  for (const Subcommand& subcommand : kSubcommands) {
    if (strcmp(argv[1], subcommand.name) == 0) {
      int result = subcommand.run(argc - 2, argv + 2);
      fflush(stdout);
      return result;
    }
  }
  std::string detail = std::string("unknown subcommand ") + argv[1];
  return UsageError(detail.c_str());
}
