// The in-place parser: a private copy of the descriptor is cut with NUL bytes
// so that every name, value and text of the tree points into it.
//
// Memory: a document's arrays and list records come from an arena that lives
// with the text copy and is released with it. While an element's content is
// parsed, its children collect on a shared stack; when the element ends they
// are copied into an array of exactly their number. Growth is thus amortised
// (the stack doubles) and every array holds exactly count records.
//
// Entities are decoded as soon as a string is complete (an attribute value
// once cut, an element's text once its first tag is found), which gives the
// same strings as a pass over the finished tree without walking it again.
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

void* ArenaAllocateBlock(Arena* arena, size_t size);

// count records of size each, or null when that is more than memory holds.
inline void* ArenaAllocate(Arena* arena, size_t count, size_t each) {
  if (count > (static_cast<size_t>(-1) - kBlockHeader - kAlign) / each) return nullptr;
  size_t size = (count * each + kAlign - 1) & ~(kAlign - 1);
  if (size <= static_cast<size_t>(arena->limit - arena->cursor)) {
    void* block = arena->cursor;
    arena->cursor += size;
    return block;
  }
  return ArenaAllocateBlock(arena, size);
}

// The slow path of ArenaAllocate: a new block.
void* ArenaAllocateBlock(Arena* arena, size_t size) {
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
  XmlAttribute* attributes;  // the attributes of the tag being split
  uint32_t attributeCapacity;
  char* failedAt;  // the "<" of the innermost node that did not parse
};

// Character classes, looked up in one load per byte in the scanning loops.
enum : unsigned char { kSpace = 1, kNameStop = 2, kWordStop = 4 };

struct CharClasses {
  unsigned char of[256];
};

constexpr CharClasses MakeCharClasses() {
  CharClasses classes = {};
  const char spaces[] = " \t\n\v\f\r";
  for (int i = 0; i < 6; ++i) {
    classes.of[static_cast<unsigned char>(spaces[i])] = kSpace | kNameStop | kWordStop;
  }
  classes.of[static_cast<unsigned char>('>')] = kNameStop;
  classes.of[static_cast<unsigned char>('/')] = kNameStop;
  classes.of[static_cast<unsigned char>('=')] = kWordStop;
  return classes;
}

constexpr CharClasses kClasses = MakeCharClasses();

inline unsigned char ClassOf(char c) { return kClasses.of[static_cast<unsigned char>(c)]; }
inline bool IsSpace(char c) { return (ClassOf(c) & kSpace) != 0; }

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

// First c in [p, end), or null. Most stretches are short, where a loop beats
// a call to memchr.
inline char* FindByte(char* p, const char* end, char c) {
  const char* stop = end - p > 32 ? p + 32 : end;
  for (; p < stop; ++p) {
    if (*p == c) return p;
  }
  if (p >= end) return nullptr;
  return static_cast<char*>(memchr(p, c, static_cast<size_t>(end - p)));
}

// Where the parse continues after a construct that is not an element: the
// next "<", or the end of the text when none follows.
char* NextTag(char* from, char* end) {
  if (from >= end) return end;
  char* lt = FindByte(from, end, '<');
  return lt != nullptr ? lt : end;
}

bool GrowStack(Parser* parser);

inline bool PushNode(Parser* parser, const XmlNode& node) {
  if (parser->stackCount == parser->stackCapacity && !GrowStack(parser)) return false;
  parser->stack[parser->stackCount++] = node;
  return true;
}

bool GrowStack(Parser* parser) {
  uint32_t capacity = parser->stackCapacity == 0 ? 64 : parser->stackCapacity * 2;
  size_t bytes = static_cast<size_t>(capacity) * sizeof(XmlNode);
  if (capacity <= parser->stackCapacity || bytes / sizeof(XmlNode) != capacity) return false;
  void* grown = parser->stack == nullptr
                    ? XmlAllocate(bytes)
                    : XmlReallocate(parser->stack, parser->stackCapacity * sizeof(XmlNode), bytes);
  if (grown == nullptr) return false;
  parser->stack = static_cast<XmlNode*>(grown);
  parser->stackCapacity = capacity;
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

// Replaces the five entities of a string in place, in one pass: amp is its
// first "&" (null: nothing to do) and end its end. A shortened string gets
// its NUL at the new end. An entity must lie wholly inside the string.
void DecodeEntitiesFrom(char* amp, char* end) {
  if (amp == nullptr) return;
  char* read = amp;
  char* write = amp;
  while (read < end) {
    // read is at an "&".
    size_t left = static_cast<size_t>(end - read);
    char replacement = '&';
    size_t length = 1;
    switch (left > 1 ? read[1] : 0) {
      case 'l':
        if (left >= 4 && memcmp(read, "&lt;", 4) == 0) replacement = '<', length = 4;
        break;
      case 'g':
        if (left >= 4 && memcmp(read, "&gt;", 4) == 0) replacement = '>', length = 4;
        break;
      case 'a':
        if (left >= 5 && memcmp(read, "&amp;", 5) == 0) {
          length = 5;
        } else if (left >= 6 && memcmp(read, "&apos;", 6) == 0) {
          replacement = '\'', length = 6;
        }
        break;
      case 'q':
        if (left >= 6 && memcmp(read, "&quot;", 6) == 0) replacement = '"', length = 6;
        break;
      default:
        break;
    }
    *write++ = replacement;
    read += length;
    while (read < end && *read != '&') *write++ = *read++;
  }
  if (write < end) *write = '\0';
}

void DecodeEntitiesIn(char* begin, char* end) {
  DecodeEntitiesFrom(FindByte(begin, end, '&'), end);
}

// First c in [p, end), or null; *amp receives the first "&" before it, or
// null. One pass over short stretches, memchr over long ones.
inline char* FindByteNotingAmp(char* p, const char* end, char c, char** amp) {
  *amp = nullptr;
  const char* stop = end - p > 32 ? p + 32 : end;
  for (; p < stop; ++p) {
    if (*p == c) return p;
    if (*p == '&') {
      *amp = p;
      return FindByte(p + 1, end, c);
    }
  }
  if (p >= end) return nullptr;
  char* hit = static_cast<char*>(memchr(p, c, static_cast<size_t>(end - p)));
  if (hit != nullptr) *amp = static_cast<char*>(memchr(p, '&', static_cast<size_t>(hit - p)));
  return hit;
}

// The attributes of a tag collect in the parser's scratch array and are then
// copied into an array of exactly their number.
bool AddAttribute(Parser* parser, uint32_t count, char* name, char* value) {
  if (count == parser->attributeCapacity) {
    uint32_t capacity = count == 0 ? 16 : count * 2;
    size_t bytes = static_cast<size_t>(capacity) * sizeof(XmlAttribute);
    if (capacity <= count || bytes / sizeof(XmlAttribute) != capacity) return false;
    void* grown = parser->attributes == nullptr
                      ? XmlAllocate(bytes)
                      : XmlReallocate(parser->attributes, count * sizeof(XmlAttribute), bytes);
    if (grown == nullptr) return false;
    parser->attributes = static_cast<XmlAttribute*>(grown);
    parser->attributeCapacity = capacity;
  }
  parser->attributes[count].name = name;
  parser->attributes[count].value = value;
  return true;
}

bool CommitAttributes(Parser* parser, uint32_t count, XmlNode* node) {
  if (count == 0) return true;
  XmlAttribute* attributes =
      static_cast<XmlAttribute*>(ArenaAllocate(parser->arena, count, sizeof(XmlAttribute)));
  if (attributes == nullptr) return false;
  memcpy(attributes, parser->attributes, count * sizeof(XmlAttribute));
  node->attributes = attributes;
  node->attributeCount = count;
  return true;
}

// Splits the attributes of a declaration or processing instruction.
// [start, end) is the stretch between the name and the close string,
// already cut off with a NUL at end.
bool XmlParseAttributes(Parser* parser, char* start, char* end, XmlNode* node) {
  uint32_t count = 0;
  char* p = start;
  while (p < end) {
    char* q = p;
    while (q < end && (ClassOf(*q) & kWordStop) == 0) ++q;
    if (q >= end) break;  // a word ended only by the tag end is dropped
    // A word cannot begin with "=": a blank before "=" is refused like one
    // after it, rather than making an attribute without a name.
    if (q == p) return false;
    char* value;
    if (*q == '=') {
      if (q + 1 >= end || q[1] != '"') return false;
      char* amp;
      char* close = FindByteNotingAmp(q + 2, end, '"', &amp);
      if (close == nullptr) return false;
      *q = '\0';
      *close = '\0';
      value = q + 2;
      DecodeEntitiesFrom(amp, close);
      q = close + 1;
    } else {
      *q = '\0';
      value = q;  // the empty string
      ++q;
    }
    if (!AddAttribute(parser, count, p, value)) return false;
    ++count;
    p = SkipSpace(q, end);
  }
  return CommitAttributes(parser, count, node);
}

// Splits the attributes of an element's start tag from start (after the
// name and white space) and answers the ">" that ends the tag, or null. The
// same rules as XmlParseAttributes on the stretch up to the first ">" (or a
// "/" right before it), in one scan: a ">" inside a value ends the tag before
// the value's closing quote, which fails the tag.
char* XmlParseElementAttributes(Parser* parser, char* start, XmlNode* node) {
  char* end = parser->end;
  uint32_t count = 0;
  char* p = start;
  for (;;) {
    if (p >= end) return nullptr;
    if (*p == '>') break;
    char* q = p;
    while (q < end && (ClassOf(*q) & kWordStop) == 0 && *q != '>') ++q;
    if (q >= end) return nullptr;
    if (*q == '>') {
      p = q;  // a word ended only by the tag end is dropped
      break;
    }
    if (q == p) return nullptr;  // a word cannot begin with "="
    char* value;
    if (*q == '=') {
      if (q + 1 >= end || q[1] != '"') return nullptr;
      char* close = q + 2;
      char* amp = nullptr;
      while (close < end && *close != '"' && *close != '>') {
        if (*close == '&' && amp == nullptr) amp = close;
        ++close;
      }
      if (close >= end || *close != '"') return nullptr;
      *q = '\0';
      *close = '\0';
      value = q + 2;
      DecodeEntitiesFrom(amp, close);
      q = close + 1;
    } else {
      *q = '\0';
      value = q;  // the empty string
      ++q;
    }
    if (!AddAttribute(parser, count, p, value)) return nullptr;
    ++count;
    p = SkipSpace(q, end);
  }
  if (!CommitAttributes(parser, count, node)) return nullptr;
  return p;
}

char* XmlParseNode(Parser* parser, char* position, XmlNode* node, const char* close, int depth);

int IsCdataName(const char* name, size_t length) {
  return length == 7 && memcmp(name, "![CDATA", 7) == 0;
}

// The content of an element after its start tag: text, children, end tag.
char* ParseContent(Parser* parser, char* position, XmlNode* node, size_t nameLength, int depth) {
  char* end = parser->end;
  node->text = SkipSpace(position, end);
  char* amp;
  char* tag = FindByteNotingAmp(node->text, end, '<', &amp);
  if (tag == nullptr) return nullptr;
  // The text ends at this tag, which is cut below either way. A node named
  // as a CDATA section keeps its text as written, as a real one does.
  if (!IsCdataName(node->name, nameLength)) DecodeEntitiesFrom(amp, tag);
  uint32_t base = parser->stackCount;
  for (;;) {
    // After a child element only white space may come before the next tag.
    if (tag >= end || *tag != '<') break;
    if (tag + 1 < end && tag[1] == '/') {
      // End tag: exactly "</", the name and ">".
      *tag = '\0';
      char* name = tag + 2;
      if (static_cast<size_t>(end - name) <= nameLength || name[nameLength] != '>') break;
      size_t same = 0;
      while (same < nameLength && name[same] == node->name[same]) ++same;
      if (same != nameLength) break;
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
char* ParseNodeAt(Parser* parser, char* position, XmlNode* node, const char* close, int depth) {
  char* end = parser->end;
  if (depth > XmlMaxDepth) return nullptr;
  node->name = position;

  if (*position == '!' && StartsWith(position, end, "![CDATA[")) {
    position[7] = '\0';
    node->text = position + 8;
    char* stop = FindText(position + 8, end, "]]>");
    if (stop == nullptr) return nullptr;
    *stop = '\0';
    return NextTag(stop + 3, end);
  }

  if (*position == '!' && StartsWith(position, end, "!--")) {
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
    if ((ClassOf(*q) & kNameStop) != 0 && (*q != '/' || (q + 1 < end && q[1] == '>'))) break;
    ++q;
  }
  if (q >= end) return nullptr;
  size_t nameLength = static_cast<size_t>(q - position);
  if (IsSpace(*q)) {
    *q = '\0';
    char* tagEnd = XmlParseElementAttributes(parser, SkipSpace(q + 1, end), node);
    if (tagEnd == nullptr) return nullptr;
    if (tagEnd[-1] == '/') {
      tagEnd[-1] = '\0';
      node->text = tagEnd - 1;
      return NextTag(tagEnd + 1, end);
    }
    *tagEnd = '\0';
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

// The innermost node whose parse failed is where the text goes wrong for
// an author; its outer nodes fail only because it did.
char* XmlParseNode(Parser* parser, char* position, XmlNode* node, const char* close, int depth) {
  char* next = ParseNodeAt(parser, position, node, close, depth);
  if (next == nullptr && parser->failedAt == nullptr) parser->failedAt = position - 1;
  return next;
}

}  // namespace

XmlDocument* XmlParseDocument(const char* text, int32_t length) {
  return XmlParseDocumentAt(text, length, nullptr);
}

XmlDocument* XmlParseDocumentAt(const char* text, int32_t length, int32_t* failedAt) {
  if (failedAt != nullptr) *failedAt = -1;
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
  // A NUL byte inside the text ends it: no scan goes beyond. The copy is
  // searched piece by piece while each piece is still in the cache.
  char* end = copy + size;
  const size_t kPiece = 64 * 1024;
  for (size_t done = 0; done < size; done += kPiece) {
    size_t n = size - done < kPiece ? size - done : kPiece;
    memcpy(copy + done, text + done, n);
    char* nul = static_cast<char*>(memchr(copy + done, '\0', n));
    if (nul != nullptr) {
      end = nul;
      break;
    }
  }

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
  XmlRelease(parser.attributes);
  if (failed) {
    if (failedAt != nullptr && parser.failedAt != nullptr) {
      *failedAt = static_cast<int32_t>(parser.failedAt - copy);
    }
    ArenaRelease(&header->arena);
    XmlRelease(header);
    XmlRelease(document);
    return nullptr;
  }
  document->text = copy;
  return document;
}

int XmlFreeDocument(XmlDocument* document) {
  if (document == nullptr || document->text == nullptr) return 0;
  // Every array and list of the tree lives in the arena: releasing it
  // releases every node at once.
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
  if (text != nullptr) DecodeEntitiesIn(text, text + strlen(text));
  return 1;
}
