// The in-place parser: a private copy of the descriptor is cut with NUL bytes
// so that every name, value and text of the tree points into it.
//
// Memory: a document's arrays and list records come from an arena that lives
// with the text copy and is released with it. While an element's content is
// parsed, its children collect on a shared stack; when the element ends they
// are copied into an array of exactly their number. Growth is thus amortised
// (the stack doubles) and every array holds exactly count records.
#include <string.h>

#include "xml/memory.h"
#include "xml/xml.h"

namespace {

// One block of the arena; the usable bytes follow the record.
struct ArenaBlock {
  ArenaBlock* next;
  size_t size;
};

struct Arena {
  ArenaBlock* blocks;
  char* cursor;
  char* limit;
  size_t total;
};

// Placed in front of the text copy: the arena that holds the document's
// arrays, released together with the text.
struct TextHeader {
  Arena arena;
};

const size_t kAlign = 8;
const size_t kMinBlock = 16 * 1024;
const size_t kMaxBlock = 1024 * 1024;
const size_t kBlockHeader = (sizeof(ArenaBlock) + kAlign - 1) & ~(kAlign - 1);

// count records of size each, or null when that is more than memory holds.
void* ArenaAllocate(Arena* arena, size_t count, size_t each) {
  if (count > (static_cast<size_t>(-1) - kBlockHeader - kAlign) / each) return nullptr;
  size_t size = (count * each + kAlign - 1) & ~(kAlign - 1);
  if (size <= static_cast<size_t>(arena->limit - arena->cursor)) {
    void* block = arena->cursor;
    arena->cursor += size;
    return block;
  }
  // Blocks grow with the document up to kMaxBlock; a request larger than a
  // quarter of that gets a block of its own and the current one stays open.
  size_t blockSize = arena->total < kMinBlock ? kMinBlock : arena->total;
  if (blockSize > kMaxBlock) blockSize = kMaxBlock;
  bool own = size > blockSize / 4;
  if (own) blockSize = size;
  ArenaBlock* block = static_cast<ArenaBlock*>(XmlAllocate(kBlockHeader + blockSize));
  if (block == nullptr) return nullptr;
  block->size = blockSize;
  block->next = arena->blocks;
  arena->blocks = block;
  arena->total += blockSize;
  char* data = reinterpret_cast<char*>(block) + kBlockHeader;
  if (!own) {
    arena->cursor = data + size;
    arena->limit = data + blockSize;
  }
  return data;
}

void ArenaRelease(Arena* arena) {
  ArenaBlock* block = arena->blocks;
  while (block != nullptr) {
    ArenaBlock* next = block->next;
    XmlRelease(block);
    block = next;
  }
  arena->blocks = nullptr;
  arena->cursor = nullptr;
  arena->limit = nullptr;
  arena->total = 0;
}

TextHeader* HeaderOf(char* text) {
  return reinterpret_cast<TextHeader*>(text - sizeof(TextHeader));
}

struct Parser {
  char* end;  // the NUL that ends the text copy
  Arena* arena;
  XmlNode* stack;  // children of the open elements, innermost last
  uint32_t stackCount;
  uint32_t stackCapacity;
};

inline bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

char* SkipSpace(char* p, const char* end) {
  while (p < end && IsSpace(*p)) ++p;
  return p;
}

// First occurrence of a string in [from, end), or null.
char* FindText(char* from, const char* end, const char* what) {
  size_t n = strlen(what);
  while (from < end && static_cast<size_t>(end - from) >= n) {
    char* hit = static_cast<char*>(memchr(from, what[0], static_cast<size_t>(end - from)));
    if (hit == nullptr || static_cast<size_t>(end - hit) < n) return nullptr;
    if (memcmp(hit, what, n) == 0) return hit;
    from = hit + 1;
  }
  return nullptr;
}

bool StartsWith(const char* p, const char* end, const char* what) {
  size_t n = strlen(what);
  return static_cast<size_t>(end - p) >= n && memcmp(p, what, n) == 0;
}

// Where the parse continues after a construct that is not an element: the
// next "<", or the end of the text when none follows.
char* NextTag(char* from, char* end) {
  if (from >= end) return end;
  char* lt = static_cast<char*>(memchr(from, '<', static_cast<size_t>(end - from)));
  return lt != nullptr ? lt : end;
}

bool PushNode(Parser* parser, const XmlNode& node) {
  if (parser->stackCount == parser->stackCapacity) {
    uint32_t capacity = parser->stackCapacity == 0 ? 64 : parser->stackCapacity * 2;
    if (capacity <= parser->stackCapacity || capacity > static_cast<size_t>(-1) / sizeof(XmlNode)) {
      return false;
    }
    void* grown = parser->stack == nullptr
                      ? XmlAllocate(capacity * sizeof(XmlNode))
                      : XmlReallocate(parser->stack, parser->stackCapacity * sizeof(XmlNode),
                                      capacity * sizeof(XmlNode));
    if (grown == nullptr) return false;
    parser->stack = static_cast<XmlNode*>(grown);
    parser->stackCapacity = capacity;
  }
  parser->stack[parser->stackCount++] = node;
  return true;
}

// Moves the stacked nodes from base up into an array of their own.
XmlNode* TakeNodes(Parser* parser, uint32_t base) {
  uint32_t count = parser->stackCount - base;
  XmlNode* items = static_cast<XmlNode*>(ArenaAllocate(parser->arena, count, sizeof(XmlNode)));
  if (items == nullptr) return nullptr;
  memcpy(items, parser->stack + base, count * sizeof(XmlNode));
  parser->stackCount = base;
  return items;
}

void DropNodes(Parser* parser, uint32_t base) {
  for (uint32_t i = base; i < parser->stackCount; ++i) XmlFreeNode(&parser->stack[i]);
  parser->stackCount = base;
}

// Splits the attributes of a tag. [start, end) is the stretch between the
// name and the tag end, already cut off with a NUL at end.
bool XmlParseAttributes(Parser* parser, char* start, char* end, XmlNode* node) {
  uint32_t count = 0;
  char* p = start;
  while (p < end) {
    char* q = p;
    while (q < end && !IsSpace(*q) && *q != '=') ++q;
    if (q >= end) break;  // a word ended only by the tag end is dropped
    // A word cannot begin with "=": a blank before "=" is refused like one
    // after it, rather than making an attribute without a name.
    if (q == p) return false;
    ++count;
    if (*q == '=') {
      ++q;
      if (q >= end || *q != '"') return false;
      char* close = static_cast<char*>(memchr(q + 1, '"', static_cast<size_t>(end - (q + 1))));
      if (close == nullptr) return false;
      q = close + 1;
    }
    p = SkipSpace(q, end);
  }
  if (count == 0) return true;
  XmlAttribute* attributes =
      static_cast<XmlAttribute*>(ArenaAllocate(parser->arena, count, sizeof(XmlAttribute)));
  if (attributes == nullptr) return false;
  node->attributes = attributes;
  node->attributeCount = count;
  p = start;
  for (uint32_t i = 0; i < count; ++i) {
    char* q = p;
    while (!IsSpace(*q) && *q != '=') ++q;  // the counting pass found the end
    attributes[i].name = p;
    bool hasValue = *q == '=';
    *q = '\0';
    if (hasValue) {
      char* value = q + 2;
      char* close = static_cast<char*>(memchr(value, '"', static_cast<size_t>(end - value)));
      *close = '\0';
      attributes[i].value = value;
      q = close;
    } else {
      attributes[i].value = q;
    }
    p = SkipSpace(q + 1, end);
  }
  return true;
}

char* XmlParseNode(Parser* parser, char* position, XmlNode* node, const char* close, int depth);

// The content of an element after its start tag: text, children, end tag.
char* ParseContent(Parser* parser, char* position, XmlNode* node, size_t nameLength, int depth) {
  char* end = parser->end;
  char* tag = static_cast<char*>(memchr(position, '<', static_cast<size_t>(end - position)));
  if (tag == nullptr) return nullptr;
  node->text = SkipSpace(position, tag);
  uint32_t base = parser->stackCount;
  for (;;) {
    // After a child element only white space may come before the next tag.
    if (tag >= end || *tag != '<') break;
    if (tag + 1 < end && tag[1] == '/') {
      // End tag: exactly "</", the name and ">".
      *tag = '\0';
      char* name = tag + 2;
      if (static_cast<size_t>(end - name) <= nameLength ||
          memcmp(name, node->name, nameLength) != 0 || name[nameLength] != '>') {
        break;
      }
      if (parser->stackCount > base) {
        XmlNodeList* list =
            static_cast<XmlNodeList*>(ArenaAllocate(parser->arena, 1, sizeof(XmlNodeList)));
        if (list == nullptr) break;
        list->count = parser->stackCount - base;
        list->items = TakeNodes(parser, base);
        if (list->items == nullptr) break;
        node->children = list;
      }
      return SkipSpace(name + nameLength + 1, end);
    }
    *tag = '\0';  // ends the text at the first child
    XmlNode child;
    memset(&child, 0, sizeof(child));
    char* next = XmlParseNode(parser, tag + 1, &child, nullptr, depth + 1);
    if (next == nullptr) break;
    if (child.name[0] == '\0') {
      XmlFreeNode(&child);  // a comment
    } else if (!PushNode(parser, child)) {
      break;
    }
    tag = next;
  }
  DropNodes(parser, base);
  return nullptr;
}

// Parses one node; position is the first character after "<". Answers where
// the parse continues, or null for a syntax error.
char* XmlParseNode(Parser* parser, char* position, XmlNode* node, const char* close, int depth) {
  char* end = parser->end;
  if (depth > XmlMaxDepth) return nullptr;
  node->name = position;

  if (StartsWith(position, end, "![CDATA[")) {
    position[7] = '\0';
    node->text = position + 8;
    char* stop = FindText(position + 8, end, "]]>");
    if (stop == nullptr) return nullptr;
    *stop = '\0';
    return NextTag(stop + 3, end);
  }

  if (StartsWith(position, end, "!--")) {
    char* stop = FindText(position + 3, end, "-->");
    if (stop == nullptr) return nullptr;
    position[-1] = '\0';
    node->name = position - 1;
    node->text = nullptr;
    return NextTag(stop + 3, end);
  }

  if (close != nullptr) {
    // Top-level declaration or processing instruction.
    size_t closeLength = strlen(close);
    char* q = position;
    while (q < end && !IsSpace(*q) && !StartsWith(q, end, close)) ++q;
    if (q >= end) return nullptr;
    char* stop = q;
    if (IsSpace(*q)) {
      stop = FindText(q + 1, end, close);
      if (stop == nullptr) return nullptr;
      *q = '\0';
      char* attributes = SkipSpace(q + 1, stop);
      *stop = '\0';
      if (!XmlParseAttributes(parser, attributes, stop, node)) return nullptr;
    } else {
      *q = '\0';
    }
    node->text = stop;
    return NextTag(stop + closeLength, end);
  }

  // Element: the name ends at white space, ">" or "/>".
  char* q = position;
  while (q < end) {
    char c = *q;
    if (IsSpace(c) || c == '>' || (c == '/' && q + 1 < end && q[1] == '>')) break;
    ++q;
  }
  if (q >= end) return nullptr;
  size_t nameLength = static_cast<size_t>(q - position);
  if (IsSpace(*q)) {
    *q = '\0';
    char* attributes = SkipSpace(q + 1, end);
    char* tagEnd =
        static_cast<char*>(memchr(attributes, '>', static_cast<size_t>(end - attributes)));
    if (tagEnd == nullptr) return nullptr;
    if (tagEnd[-1] == '/') {
      tagEnd[-1] = '\0';
      if (!XmlParseAttributes(parser, attributes, tagEnd - 1, node)) return nullptr;
      node->text = tagEnd - 1;
      return NextTag(tagEnd + 1, end);
    }
    *tagEnd = '\0';
    if (!XmlParseAttributes(parser, attributes, tagEnd, node)) return nullptr;
    return ParseContent(parser, tagEnd + 1, node, nameLength, depth);
  }
  if (*q == '/') {
    *q = '\0';
    node->text = q;
    return NextTag(q + 2, end);
  }
  *q = '\0';
  return ParseContent(parser, q + 1, node, nameLength, depth);
}

void XmlDecodeDocument(XmlNode* nodes, uint32_t count) {
  for (uint32_t i = 0; i < count; ++i) {
    XmlNode* node = &nodes[i];
    if (node->children != nullptr) XmlDecodeDocument(node->children->items, node->children->count);
    for (uint32_t k = 0; k < node->attributeCount; ++k)
      XmlDecodeEntities(node->attributes[k].value);
    if (node->text != nullptr && node->text[0] != '\0' && strcmp(node->name, "![CDATA") != 0) {
      XmlDecodeEntities(node->text);
    }
  }
}

}  // namespace

XmlDocument* XmlParseDocument(const char* text, int32_t length) {
  if (text == nullptr || length <= 0) return nullptr;
  XmlDocument* document = static_cast<XmlDocument*>(XmlAllocate(sizeof(XmlDocument)));
  if (document == nullptr) return nullptr;
  size_t size = static_cast<size_t>(length);
  TextHeader* header = static_cast<TextHeader*>(XmlAllocate(sizeof(TextHeader) + size + 1));
  if (header == nullptr) {
    XmlRelease(document);
    return nullptr;
  }
  char* copy = reinterpret_cast<char*>(header + 1);
  memcpy(copy, text, size);
  // A NUL byte inside the text ends it: no scan goes beyond.
  char* end = static_cast<char*>(memchr(copy, '\0', size));
  if (end == nullptr) end = copy + size;

  Parser parser;
  memset(&parser, 0, sizeof(parser));
  parser.end = end;
  parser.arena = &header->arena;

  bool failed = false;
  char* position = FindText(copy, end, "<?xml ");
  if (position == nullptr) failed = true;
  while (!failed && position < end && *position == '<') {
    const char* close = nullptr;
    if (position[1] == '!') close = ">";
    if (position[1] == '?') close = "?>";
    XmlNode node;
    memset(&node, 0, sizeof(node));
    char* next = XmlParseNode(&parser, position + 1, &node, close, 1);
    if (next == nullptr || !PushNode(&parser, node)) {
      failed = true;
      break;
    }
    position = next;
  }
  if (!failed && parser.stackCount == 0) failed = true;
  if (!failed) {
    document->count = parser.stackCount;
    document->nodes = TakeNodes(&parser, 0);
    if (document->nodes == nullptr) failed = true;
  }
  XmlRelease(parser.stack);
  if (failed) {
    ArenaRelease(&header->arena);
    XmlRelease(header);
    XmlRelease(document);
    return nullptr;
  }
  document->text = copy;
  XmlDecodeDocument(document->nodes, document->count);
  return document;
}

int XmlFreeDocument(XmlDocument* document) {
  if (document == nullptr || document->text == nullptr) return 0;
  for (uint32_t i = 0; i < document->count; ++i) XmlFreeNode(&document->nodes[i]);
  TextHeader* header = HeaderOf(document->text);
  ArenaRelease(&header->arena);
  XmlRelease(header);
  document->nodes = nullptr;
  document->count = 0;
  document->text = nullptr;
  return 1;
}

int XmlReleaseDocument(XmlDocument* document) {
  if (document == nullptr) return 0;
  int result = XmlFreeDocument(document);
  XmlRelease(document);
  return result;
}

int XmlFreeNode(XmlNode* node) {
  // The arrays live in the document's arena and are released with it; here
  // the node only lets go of them.
  node->attributes = nullptr;
  node->attributeCount = 0;
  XmlNodeList* children = node->children;
  if (children != nullptr) {
    for (uint32_t i = 0; i < children->count; ++i) XmlFreeNode(&children->items[i]);
    node->children = nullptr;
  }
  return 1;
}

int XmlDecodeEntities(char* text) {
  static const struct {
    const char* entity;
    size_t length;
    char replacement;
  } kEntities[] = {{"&lt;", 4, '<'},
                   {"&gt;", 4, '>'},
                   {"&amp;", 5, '&'},
                   {"&quot;", 6, '"'},
                   {"&apos;", 6, '\''}};
  if (text == nullptr) return 1;
  char* read = strchr(text, '&');
  if (read == nullptr) return 1;
  char* write = read;
  while (*read != '\0') {
    if (*read == '&') {
      bool replaced = false;
      for (const auto& e : kEntities) {
        if (strncmp(read, e.entity, e.length) == 0) {
          *write++ = e.replacement;
          read += e.length;
          replaced = true;
          break;
        }
      }
      if (replaced) continue;
    }
    *write++ = *read++;
  }
  *write = '\0';
  return 1;
}
