// Path queries: the grammar, the document element, and paths at the limit.
#include <gtest/gtest.h>

#include <string>

#include "native/xml_test_support.h"

namespace {

const char kDescriptor[] =
    "<?xml version=\"1.0\"?>\n"
    "<!-- before the document element -->\n"
    "<?pi x?>\n"
    "<build>\n"
    "  <os id=\"9X\">nine</os>\n"
    "  <os id=\"NT\" kind=\"a\" kind=\"b\">nt</os>\n"
    "  <os>plain</os>\n"
    "  <leaf/>\n"
    "  <t><![CDATA[raw]]></t>\n"
    "  <v id=\"a=b\">eq</v>\n"
    "  <v id=\"\">empty</v>\n"
    "  <nvx id=\"DIDIVE\"><xrelease><release "
    "id=\"RELEASE\"><version>1.2</version></release></xrelease></nvx>\n"
    "</build>\n";

class XmlQuery : public ::testing::Test {
 protected:
  void SetUp() override {
    document_ = ParseExact(kDescriptor);
    ASSERT_NE(document_, nullptr);
  }
  // The node's line, or "none" when the query answers 0.
  std::string Select(const std::string& path) {
    ExactString text(path);
    XmlNode* node = nullptr;
    if (!XmlSelectNode(text.data, &node, document_.get())) return "none";
    return NodeLine(node);
  }
  XmlDocumentPtr document_;
};

struct PathCase {
  const char* path;
  const char* line;
};

TEST_F(XmlQuery, PathGrammar) {
  const PathCase cases[] = {
      {"/build", "0 \"build\" \"\""},
      {"build", "none"},
      {"/Build", "none"},
      {"/buil", "none"},
      {"/builds", "none"},
      {"/build/", "0 \"build\" \"\""},
      {"//build", "none"},
      {"/build/os", "0 \"os\" \"nine\" \"id\"=\"9X\""},
      {"/build/os[@id=NT]", "0 \"os\" \"nt\" \"id\"=\"NT\" \"kind\"=\"a\" \"kind\"=\"b\""},
      {"/build/os[@id=nt]", "none"},
      {"/build/os[@id=N]", "none"},
      {"/build/os[@ID=NT]", "none"},
      {"/build/os[@kind=b]", "0 \"os\" \"nt\" \"id\"=\"NT\" \"kind\"=\"a\" \"kind\"=\"b\""},
      {"/build/os[@id=NT][@id=9X]", "0 \"os\" \"nt\" \"id\"=\"NT\" \"kind\"=\"a\" \"kind\"=\"b\""},
      {"/build/os[id=NT]", "none"},
      {"/build/os[@idNT]", "none"},
      {"/build/os[@id=NT", "none"},
      {"/build/os[@id=]", "none"},
      {"/build/v[@id=]", "0 \"v\" \"empty\" \"id\"=\"\""},
      {"/build/v[@id=a=b]", "0 \"v\" \"eq\" \"id\"=\"a=b\""},
      {"/build/leaf/x", "none"},
      {"/build/leaf/", "0 \"leaf\" \"\""},
      {"/build/missing", "none"},
      {"/build/t/![CDATA", "0 \"![CDATA\" \"raw\""},
      {"/build/t/![CDATA[@x=y]", "none"},
      {"/build/nvx[@id=DIDIVE]/xrelease/release[@id=RELEASE]/version", "0 \"version\" \"1.2\""},
      {"/build/nvx[@id=DIDIVE]/xrelease//version", "0 \"xrelease\" \"\""},
  };
  for (const PathCase& c : cases) EXPECT_EQ(Select(c.path), c.line) << c.path;
}

TEST_F(XmlQuery, LeavesThePathUnchanged) {
  std::string path = "/build/os[@id=NT]/x";
  ExactString text(path);
  XmlNode* node = nullptr;
  XmlSelectNode(text.data, &node, document_.get());
  EXPECT_EQ(std::string(text.data), path);
}

TEST(XmlGetRootNode, NeedsANameBeginningWithALetter) {
  struct Case {
    const char* text;
    const char* root;  // null: none
  };
  const Case cases[] = {
      {"<?xml ?><!DOCTYPE a><_x/><1y/><Zed/>", "Zed"},
      {"<?xml ?><_x/><-y/>", nullptr},
      {"<?xml ?><!-- only -->", nullptr},
      {"<?xml ?><a/><b/>", "a"},
  };
  for (const Case& c : cases) {
    XmlDocumentPtr document = ParseExact(c.text);
    ASSERT_NE(document, nullptr) << c.text;
    XmlNode* node = nullptr;
    int found = XmlGetRootNode(&node, document.get());
    EXPECT_EQ(found, c.root != nullptr ? 1 : 0) << c.text;
    if (found && c.root != nullptr) EXPECT_STREQ(node->name, c.root);
    EXPECT_EQ(XmlSelectNode("/_x", &node, document.get()), 0);
  }
  XmlDocument empty = {};
  XmlNode* node = nullptr;
  EXPECT_EQ(XmlGetRootNode(&node, &empty), 0);
  EXPECT_EQ(XmlSelectNode("/a", &node, &empty), 0);
}

TEST(XmlSelectNode, PathLengthLimit) {
  // A document element whose name makes the path exactly 259 and 260 long.
  std::string name259(XmlMaxPath - 1, 'n');
  std::string name260(XmlMaxPath, 'n');
  for (const std::string& name : {name259, name260}) {
    XmlDocumentPtr document = ParseExact("<?xml ?><" + name + "><c/></" + name + ">");
    ASSERT_NE(document, nullptr);
    XmlNode* node = nullptr;
    std::string path = "/" + name;
    ExactString text(path);
    EXPECT_EQ(XmlSelectNode(text.data, &node, document.get()), path.size() <= XmlMaxPath ? 1 : 0)
        << path.size();
    ExactString slash(path + "/");
    EXPECT_EQ(XmlSelectNode(slash.data, &node, document.get()),
              path.size() + 1 <= XmlMaxPath ? 1 : 0);
  }
  // A path of 259 characters whose last step is a single letter.
  std::string name257(XmlMaxPath - 3, 'n');
  XmlDocumentPtr document = ParseExact("<?xml ?><" + name257 + "><c/></" + name257 + ">");
  ASSERT_NE(document, nullptr);
  ExactString full("/" + name257 + "/c");
  XmlNode* node = nullptr;
  ASSERT_EQ(strlen(full.data), static_cast<size_t>(XmlMaxPath));
  ASSERT_EQ(XmlSelectNode(full.data, &node, document.get()), 1);
  EXPECT_STREQ(node->name, "c");
}

TEST(XmlSelectNode, RefusesNullArguments) {
  XmlDocumentPtr document = ParseExact("<?xml ?><a/>");
  ASSERT_NE(document, nullptr);
  XmlNode* node = nullptr;
  EXPECT_EQ(XmlSelectNode(nullptr, &node, document.get()), 0);
  EXPECT_EQ(XmlSelectNode("/a", nullptr, document.get()), 0);
  EXPECT_EQ(XmlSelectNode("/a", &node, nullptr), 0);
}

}  // namespace
