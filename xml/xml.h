// XML document engine: the in-place parser and node tree of the package
// descriptor, absolute path queries, variant values chosen by the machine's
// language or identity, and conversion of values from UTF-8 to the system
// code page.
//
// Every record is plain data. All strings in a tree point into the document's
// private copy of the text and stay valid until XmlFreeDocument.
#pragma once
#include <stdint.h>

struct XmlNodeList;

struct XmlAttribute {
  char* name;
  char* value;  // empty string for an attribute written without a value
};

// Stored by value inside the arrays of XmlDocument and XmlNodeList.
struct XmlNode {
  // Element name; "![CDATA" for a CDATA section; "?target" for a top-level
  // processing instruction ("?xml"); "!keyword" for a top-level declaration;
  // empty for a top-level comment.
  char* name;
  // Character data before the first child (leading white space skipped,
  // trailing kept); CDATA content; empty for an empty element or a
  // declaration; null for a comment.
  char* text;
  XmlAttribute* attributes;  // null when attributeCount is 0
  uint32_t attributeCount;
  XmlNodeList* children;  // null when the element has no child nodes
};

struct XmlNodeList {
  XmlNode* items;
  uint32_t count;
};

struct XmlDocument {
  XmlNode* nodes;  // top-level nodes in document order
  uint32_t count;
  char* text;  // private copy of the input, NUL-terminated
};

// Language and machine identifiers that choose variant items. The setup
// fills only systemLanguageId and systemPrimaryLanguageId.
struct SystemProfile {
  char biosId[2];  // two characters of the BIOS id, second character first
  uint8_t biosRevision;
  uint16_t systemPrimaryLanguageId;
  uint16_t osPrimaryLanguageId;
  uint16_t systemLanguageId;
  uint16_t osLanguageId;
  char familyName[128];
  char machineTypeModel[12];
  char osId[12];
};

// Deepest element nesting the parser accepts; deeper input fails the parse
// instead of exhausting the stack.
enum { XmlMaxDepth = 2000 };

// Longest path XmlSelectNode accepts, in characters (a 260-byte buffer).
enum { XmlMaxPath = 259 };

// Parses length bytes of text (which must be NUL-terminated at or after
// length; a NUL byte before length ends the text). The caller's bytes are not
// changed. Answers a new document, or null when the text is not an accepted
// descriptor.
XmlDocument* XmlParseDocument(const char* text, int32_t length);
// XmlParseDocument that, for a text it does not accept, stores in *failedAt
// the offset of the "<" of the innermost node that did not parse, or -1 when
// none was begun (no "<?xml " declaration, nothing after it, no memory).
XmlDocument* XmlParseDocumentAt(const char* text, int32_t length, int32_t* failedAt);

// Releases every node, the top-level array and the text copy and leaves the
// record empty. Answers 1, or 0 without doing anything when the document
// holds no text (already released). The record itself stays allocated.
int XmlFreeDocument(XmlDocument* document);

// XmlFreeDocument, then frees the record itself; document is invalid after.
// Answers what XmlFreeDocument answered (the record is freed either way).
int XmlReleaseDocument(XmlDocument* document);

// Detaches the node's attributes and children (recursively) and clears those
// fields. Strings are not touched. Answers 1.
int XmlFreeNode(XmlNode* node);

// Replaces &lt; &gt; &amp; &quot; &apos; in place, in one pass. Answers 1.
int XmlDecodeEntities(char* text);

// Stores the document element (the first top-level node whose name begins
// with an ASCII letter) in node. Answers 1, or 0 when there is none.
int XmlGetRootNode(XmlNode** node, const XmlDocument* document);

// Walks an absolute path ("/build/nvx[@id=X]/title", at most XmlMaxPath
// characters) and stores the node it leads to. Answers 1, or 0 when there is
// none; after 0, node may hold an intermediate node.
int XmlSelectNode(const char* path, XmlNode** node, const XmlDocument* document);

// Converts a UTF-8 node string to the system code page. With a buffer, size
// holds its capacity and is not changed; answers 1 when the result and its
// terminator fit, else 0 with the buffer untouched. With a null buffer, size
// receives the bytes needed (terminator included).
int XmlConvertValue(const char* text, char* buffer, uint32_t* size);

// Binds the two code-page conversion functions. Answers 1 when both are
// bound. XmlConvertValue calls it while either is unbound.
int BindCodePageFunctions();

// Rewrites path (a buffer of size bytes) to the data node of the variant item
// chosen for profile, with dataId naming the data child (empty for the first
// one). Answers 1, or 0 with the buffer unchanged.
int XmlResolveVariantPath(char* path, uint32_t size, const char* dataId,
                          const XmlDocument* document, const SystemProfile* profile);
