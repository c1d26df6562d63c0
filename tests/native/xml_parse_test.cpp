// The parser and node tree: accepted syntax, cuts, text rules, entities,
// refusals, and reads that must stay inside the input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "native/xml_test_support.h"

namespace {

const std::string kDecl = "<?xml version=\"1.0\"?>";
const std::string kDeclLine = "0 \"?xml\" \"\" \"version\"=\"1.0\"\n";

struct AcceptCase {
  const char* label;
  std::string input;
  std::string dump;
};

void PrintTo(const AcceptCase& c, std::ostream* os) { *os << c.label; }

class XmlParseAccepts : public ::testing::TestWithParam<AcceptCase> {};

TEST_P(XmlParseAccepts, BuildsTheTree) {
  const AcceptCase& c = GetParam();
  XmlDocumentPtr document = ParseExact(c.input);
  ASSERT_NE(document, nullptr) << c.input;
  EXPECT_EQ(DumpDocument(document.get()), c.dump) << c.input;
}

const AcceptCase kAccepts[] = {
    // Declarations.
    {"declaration_attributes", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><a/>",
     "0 \"?xml\" \"\" \"version\"=\"1.0\" \"encoding\"=\"UTF-8\"\n0 \"a\" \"\"\n"},
    {"bytes_before_declaration_ignored", "\xEF\xBB\xBFjunk <b>\n<?xml ?>\n<a>x</a>",
     "0 \"?xml\" \"\"\n0 \"a\" \"x\"\n"},
    {"processing_instruction_and_doctype", kDecl + "<?pi data?><!DOCTYPE build><build/>",
     kDeclLine + "0 \"?pi\" \"\"\n0 \"!DOCTYPE\" \"\"\n0 \"build\" \"\"\n"},
    {"doctype_bare_words_become_attributes", kDecl + "<!DOCTYPE build SYSTEM \"x\"><b/>",
     kDeclLine + "0 \"!DOCTYPE\" \"\" \"build\"=\"\" \"SYSTEM\"=\"\"\n0 \"b\" \"\"\n"},
    {"instruction_without_blank", kDecl + "<?pi?><b/>",
     kDeclLine + "0 \"?pi\" \"\"\n0 \"b\" \"\"\n"},
    {"second_declaration_is_a_node", kDecl + "<?xml v=\"2\"?><b/>",
     kDeclLine + "0 \"?xml\" \"\" \"v\"=\"2\"\n0 \"b\" \"\"\n"},
    {"encoding_has_no_effect", "<?xml encoding=\"UTF-16\"?><a>\xC3\xA9</a>",
     "0 \"?xml\" \"\" \"encoding\"=\"UTF-16\"\n0 \"a\" \"\\xc3\\xa9\"\n"},
    // Top level.
    {"top_level_comment_is_a_node", kDecl + "<!-- c --><a/>",
     kDeclLine + "0 \"\" null\n0 \"a\" \"\"\n"},
    {"two_top_level_elements", kDecl + "<a>1</a><b>2</b>",
     kDeclLine + "0 \"a\" \"1\"\n0 \"b\" \"2\"\n"},
    {"comment_after_document_element", kDecl + "<a>t</a>\n<!-- end -->\n",
     kDeclLine + "0 \"a\" \"t\"\n0 \"\" null\n"},
    {"text_after_document_element_ignored", kDecl + "<a>t</a> trailing words",
     kDeclLine + "0 \"a\" \"t\"\n"},
    {"text_after_declaration_dropped", kDecl + " words <a/>", kDeclLine + "0 \"a\" \"\"\n"},
    {"declaration_alone", kDecl, kDeclLine},
    {"top_level_cdata", kDecl + "<![CDATA[x]]><a/>",
     kDeclLine + "0 \"![CDATA\" \"x\"\n0 \"a\" \"\"\n"},
    // Text.
    {"leading_blanks_skipped_trailing_kept", kDecl + "<a>  x  </a>",
     kDeclLine + "0 \"a\" \"x  \"\n"},
    {"all_white_space_kinds_skipped", kDecl + "<a> \t\n\v\f\rx</a>", kDeclLine + "0 \"a\" \"x\"\n"},
    {"empty_pair_has_empty_text", kDecl + "<a></a>", kDeclLine + "0 \"a\" \"\"\n"},
    {"self_closing_has_empty_text", kDecl + "<r><a/></r>",
     kDeclLine + "0 \"r\" \"\"\n1 \"a\" \"\"\n"},
    {"self_closing_after_blank", kDecl + "<r><a /></r>",
     kDeclLine + "0 \"r\" \"\"\n1 \"a\" \"\"\n"},
    {"white_space_then_child", kDecl + "<a>\n  <b>t</b>\n</a>",
     kDeclLine + "0 \"a\" \"\"\n1 \"b\" \"t\"\n"},
    {"text_ends_at_first_child", kDecl + "<a> hello <b/></a>",
     kDeclLine + "0 \"a\" \"hello \"\n1 \"b\" \"\"\n"},
    {"text_after_empty_child_dropped", kDecl + "<a><b/>dropped<c/></a>",
     kDeclLine + "0 \"a\" \"\"\n1 \"b\" \"\"\n1 \"c\" \"\"\n"},
    {"byte_above_127_is_not_white_space", kDecl + "<a>\xA0x</a>",
     kDeclLine + "0 \"a\" \"\\xa0x\"\n"},
    {"nested_order", kDecl + "<a><b><c>1</c><d>2</d></b><e>3</e></a>",
     kDeclLine + "0 \"a\" \"\"\n1 \"b\" \"\"\n2 \"c\" \"1\"\n2 \"d\" \"2\"\n1 \"e\" \"3\"\n"},
    {"slash_inside_a_name", kDecl + "<a/b>x</a/b>", kDeclLine + "0 \"a/b\" \"x\"\n"},
    // CDATA sections and comments.
    {"cdata_child_keeps_raw_content", kDecl + "<a><![CDATA[x &amp; <y>]]></a>",
     kDeclLine + "0 \"a\" \"\"\n1 \"![CDATA\" \"x &amp; <y>\"\n"},
    {"text_after_cdata_dropped", kDecl + "<a><![CDATA[q]]>junk<b/></a>",
     kDeclLine + "0 \"a\" \"\"\n1 \"![CDATA\" \"q\"\n1 \"b\" \"\"\n"},
    {"cdata_ends_at_first_close", kDecl + "<a><![CDATA[1]]>2]]></a>",
     kDeclLine + "0 \"a\" \"\"\n1 \"![CDATA\" \"1\"\n"},
    {"comment_inside_element_is_no_node", kDecl + "<a><!--x--><b/><!-- y --></a>",
     kDeclLine + "0 \"a\" \"\"\n1 \"b\" \"\"\n"},
    {"comment_only_leaves_no_children", kDecl + "<a>t<!--x--></a>", kDeclLine + "0 \"a\" \"t\"\n"},
    {"comment_may_hold_tags", kDecl + "<a><!-- <b> </c> --></a>", kDeclLine + "0 \"a\" \"\"\n"},
    // Attributes.
    {"no_blank_needed_after_quote", kDecl + "<a x=\"1\"y=\"2\"/>",
     kDeclLine + "0 \"a\" \"\" \"x\"=\"1\" \"y\"=\"2\"\n"},
    {"bare_word_before_blank_is_empty_value", kDecl + "<a z w/>",
     kDeclLine + "0 \"a\" \"\" \"z\"=\"\"\n"},
    {"bare_word_before_tag_end_dropped", kDecl + "<a x=\"1\" w>t</a>",
     kDeclLine + "0 \"a\" \"t\" \"x\"=\"1\"\n"},
    {"bare_word_before_slash_blank", kDecl + "<a w />", kDeclLine + "0 \"a\" \"\" \"w\"=\"\"\n"},
    {"value_may_hold_blanks_and_equals", kDecl + "<a x=\"p = q\t/\"/>",
     kDeclLine + "0 \"a\" \"\" \"x\"=\"p = q\\x09/\"\n"},
    {"empty_value", kDecl + "<a x=\"\"/>", kDeclLine + "0 \"a\" \"\" \"x\"=\"\"\n"},
    {"duplicate_names_kept", kDecl + "<a x=\"1\" x=\"2\"/>",
     kDeclLine + "0 \"a\" \"\" \"x\"=\"1\" \"x\"=\"2\"\n"},
    {"attributes_on_element_with_content", kDecl + "<a id=\"NT\">x  </a>",
     kDeclLine + "0 \"a\" \"x  \" \"id\"=\"NT\"\n"},
    {"single_quote_inside_double_quotes", kDecl + "<a x=\"it's\"/>",
     kDeclLine + "0 \"a\" \"\" \"x\"=\"it's\"\n"},
    {"blanks_before_tag_end", kDecl + "<a x=\"1\"   >t</a>",
     kDeclLine + "0 \"a\" \"t\" \"x\"=\"1\"\n"},
    // Entities.
    {"all_five_in_text_and_values",
     kDecl + "<a t=\"&lt;&gt;&amp;&quot;&apos;\">&lt;&gt;&amp;&quot;&apos;</a>",
     kDeclLine + "0 \"a\" \"<>&\\\"'\" \"t\"=\"<>&\\\"'\"\n"},
    {"declaration_values_decoded", "<?xml v=\"&amp;\"?><a/>",
     "0 \"?xml\" \"\" \"v\"=\"&\"\n0 \"a\" \"\"\n"},
    {"names_not_decoded", kDecl + "<a&amp;b x&lt;=\"1\"/>",
     kDeclLine + "0 \"a&amp;b\" \"\" \"x&lt;\"=\"1\"\n"},
    {"cdata_not_decoded", kDecl + "<a>&amp;<![CDATA[&amp;]]></a>",
     kDeclLine + "0 \"a\" \"&\"\n1 \"![CDATA\" \"&amp;\"\n"},
    {"element_named_as_cdata_not_decoded", kDecl + "<a><![CDATA x=\"&amp;\">&amp;</![CDATA></a>",
     kDeclLine + "0 \"a\" \"\"\n1 \"![CDATA\" \"&amp;\" \"x\"=\"&\"\n"},
    {"entity_cut_by_child_not_decoded", kDecl + "<a>&am<b/>p;</a>",
     kDeclLine + "0 \"a\" \"&am\"\n1 \"b\" \"\"\n"},
};
INSTANTIATE_TEST_SUITE_P(Syntax, XmlParseAccepts, ::testing::ValuesIn(kAccepts),
                         [](const auto& info) { return std::string(info.param.label); });

struct RefuseCase {
  const char* label;
  std::string input;
};

void PrintTo(const RefuseCase& c, std::ostream* os) { *os << c.label; }

class XmlParseRefuses : public ::testing::TestWithParam<RefuseCase> {};

TEST_P(XmlParseRefuses, YieldsNoDocument) {
  EXPECT_EQ(ParseExact(GetParam().input), nullptr) << GetParam().input;
}

const RefuseCase kRefusals[] = {
    {"no_declaration", "<a/>"},
    {"declaration_without_blank", "<?xml?><a/>"},
    {"declaration_in_capitals", "<?XML version=\"1.0\"?><a/>"},
    {"declaration_only_in_text_of_wrong_case", "<a><?Xml ?></a>"},
    {"declaration_without_close", "<?xml version=\"1.0\"<a/>"},
    {"instruction_without_close", kDecl + "<?pi data"},
    {"doctype_without_close", kDecl + "<!DOCTYPE build"},
    {"comment_without_close", kDecl + "<a><!-- x --</a>"},
    {"top_level_comment_without_close", kDecl + "<!-- x"},
    {"cdata_without_close", kDecl + "<a><![CDATA[x]]</a>"},
    {"start_tag_without_close", kDecl + "<a x=\"1\""},
    {"name_runs_to_end", kDecl + "<abc"},
    {"no_tag_after_start_tag", kDecl + "<a>text"},
    {"missing_end_tag", kDecl + "<a><b>t</b>"},
    {"end_tag_cut", kDecl + "<a>t</a"},
    {"end_tag_other_name", kDecl + "<a>t</b>"},
    {"end_tag_other_case", kDecl + "<a>t</A>"},
    {"end_tag_with_blank", kDecl + "<a>t</a >"},
    {"end_tag_longer_name", kDecl + "<a>t</ab>"},
    {"end_tag_shorter_name", kDecl + "<ab>t</a>"},
    {"crossed_tags", kDecl + "<a><b></a></b>"},
    {"single_quotes", kDecl + "<a x='1'/>"},
    {"blank_after_equals", kDecl + "<a x= \"1\"/>"},
    {"blank_before_equals", kDecl + "<a x =\"1\"/>"},
    {"unquoted_value", kDecl + "<a x=1/>"},
    {"value_without_closing_quote", kDecl + "<a x=\"1/>"},
    {"greater_than_in_value", kDecl + "<a x=\"1>2\"/>"},
    {"equals_at_tag_end", kDecl + "<a x=>t</a>"},
    {"declaration_attribute_unquoted", "<?xml version=1.0?><a/>"},
    {"later_node_fails", kDecl + "<a/><b><c></b>"},
    {"bad_child_deep_inside", kDecl + "<a><b><c><d x='1'/></c></b></a>"},
    {"text_after_child_element", kDecl + "<a><b>t</b>mixed<c/></a>"},
    {"nul_inside_element", std::string(kDecl + "<a>x") + '\0' + "</a>"},
};
INSTANTIATE_TEST_SUITE_P(Syntax, XmlParseRefuses, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.label); });

TEST(XmlParseDocument, RefusesNullTextAndNonPositiveLength) {
  EXPECT_EQ(XmlParseDocument(nullptr, 10), nullptr);
  EXPECT_EQ(XmlParseDocument("<?xml ?><a/>", 0), nullptr);
  EXPECT_EQ(XmlParseDocument("<?xml ?><a/>", -1), nullptr);
}

TEST(XmlParseDocument, ReadsOnlyLengthBytes) {
  // A declaration that lies beyond length does not count.
  EXPECT_EQ(XmlParseDocument("<a/><?xml ?>", 4), nullptr);
}

TEST(XmlParseDocument, NulByteEndsTheText) {
  std::string text = kDecl + "<a>x</a>" + std::string(1, '\0') + "<b/>";
  XmlDocumentPtr document = ParseExact(text);
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(DumpDocument(document.get()), kDeclLine + "0 \"a\" \"x\"\n");
  EXPECT_EQ(ParseExact(std::string(1, '\0') + kDecl + "<a/>"), nullptr);
}

TEST(XmlParseDocument, LeavesTheCallersBytesAlone) {
  std::string text = kDecl + "<a x=\"&amp;\">t<b/></a>";
  std::vector<char> bytes(text.begin(), text.end());
  bytes.push_back('\0');
  std::vector<char> before = bytes;
  XmlDocumentPtr document(XmlParseDocument(bytes.data(), static_cast<int32_t>(text.size())));
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(bytes, before);
  // Every string lies inside the private copy.
  const char* low = document->text;
  const char* high = document->text + text.size() + 1;
  XmlNode* a = &document->nodes[1];
  for (const char* s : {a->name, a->text, a->attributes[0].name, a->attributes[0].value,
                        a->children->items[0].name}) {
    EXPECT_TRUE(s >= low && s < high);
  }
}

// Every prefix of a small descriptor is refused, except those that end
// where a top-level construct is complete; none reads past its buffer.
TEST(XmlParseDocument, TruncatedPrefixes) {
  const std::string head = "\xEF\xBB\xBF<?xml version=\"1.0\" encoding=\"UTF-8\"?>";
  const std::string comment = "\n<!-- package -->";
  const std::string body =
      "\n<build a=\"1\">\n <nvx id=\"DIDIVE\">\n  <title>Name &amp; more</title>\n"
      "  <empty/>\n  <!-- note -->\n  <cd><![CDATA[<raw>]]></cd>\n  <os id=\"NT\"\ttype=\"x\" />\n"
      " </nvx>\n</build>";
  const std::string tail = "\n";
  const std::string text = head + comment + body + tail;
  // Complete after the declaration, after the comment, and after the end tag.
  auto accepted = [&](size_t n) {
    size_t afterHead = head.size();
    size_t afterComment = afterHead + comment.size();
    size_t afterBody = afterComment + body.size();
    return (n >= afterHead && n <= afterHead + 1) || (n >= afterComment && n <= afterComment + 1) ||
           n >= afterBody;
  };
  size_t acceptedCount = 0;
  for (size_t n = 0; n <= text.size(); ++n) {
    XmlDocumentPtr document = ParseExact(text.substr(0, n));
    EXPECT_EQ(document != nullptr, accepted(n)) << "prefix of " << n << " bytes";
    if (document != nullptr) ++acceptedCount;
  }
  EXPECT_EQ(acceptedCount, 6u);
  XmlDocumentPtr whole = ParseExact(text);
  ASSERT_NE(whole, nullptr);
  EXPECT_EQ(DumpDocument(whole.get()),
            "0 \"?xml\" \"\" \"version\"=\"1.0\" \"encoding\"=\"UTF-8\"\n"
            "0 \"\" null\n"
            "0 \"build\" \"\" \"a\"=\"1\"\n"
            "1 \"nvx\" \"\" \"id\"=\"DIDIVE\"\n"
            "2 \"title\" \"Name & more\"\n"
            "2 \"empty\" \"\"\n"
            "2 \"cd\" \"\"\n"
            "3 \"![CDATA\" \"<raw>\"\n"
            "2 \"os\" \"\" \"id\"=\"NT\" \"type\"=\"x\"\n");
}

std::string Nested(int depth) {
  std::string text = kDecl;
  for (int i = 0; i < depth; ++i) text += "<a>";
  text += "x";
  for (int i = 0; i < depth; ++i) text += "</a>";
  return text;
}

TEST(XmlParseDocument, NestingUpToTheCapIsAccepted) {
  XmlDocumentPtr document = ParseExact(Nested(XmlMaxDepth));
  ASSERT_NE(document, nullptr);
  const XmlNode* node = &document->nodes[1];
  int depth = 1;
  while (node->children != nullptr) {
    ASSERT_EQ(node->children->count, 1u);
    node = &node->children->items[0];
    ++depth;
  }
  EXPECT_EQ(depth, XmlMaxDepth);
  EXPECT_STREQ(node->text, "x");
}

TEST(XmlParseDocument, NestingBeyondTheCapFails) {
  EXPECT_EQ(ParseExact(Nested(XmlMaxDepth + 1)), nullptr);
}

TEST(XmlParseDocument, ManySiblingsKeepTheirOrder) {
  const uint32_t count = 100000;
  std::string text = kDecl + "<r>";
  for (uint32_t i = 0; i < count; ++i)
    text += "<n i=\"" + std::to_string(i) + "\">" + std::to_string(i) + "</n>";
  text += "</r>";
  XmlDocumentPtr document = ParseExact(text);
  ASSERT_NE(document, nullptr);
  const XmlNodeList* list = document->nodes[1].children;
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->count, count);
  for (uint32_t i = 0; i < count; i += 997) {
    ASSERT_STREQ(list->items[i].text, std::to_string(i).c_str());
    ASSERT_STREQ(list->items[i].attributes[0].value, std::to_string(i).c_str());
  }
  EXPECT_STREQ(list->items[count - 1].text, std::to_string(count - 1).c_str());
}

TEST(XmlFreeDocument, EmptiesTheRecordOnceThenAnswersZero) {
  XmlDocumentPtr document = ParseExact(kDecl + "<a x=\"1\"><b/></a>");
  ASSERT_NE(document, nullptr);
  EXPECT_EQ(XmlFreeDocument(document.get()), 1);
  EXPECT_EQ(document->nodes, nullptr);
  EXPECT_EQ(document->count, 0u);
  EXPECT_EQ(document->text, nullptr);
  EXPECT_EQ(XmlFreeDocument(document.get()), 0);
  EXPECT_EQ(document->count, 0u);
  XmlDocument empty = {};
  EXPECT_EQ(XmlFreeDocument(&empty), 0);
}

TEST(XmlFreeNode, ClearsAttributesAndChildren) {
  XmlDocumentPtr document = ParseExact(kDecl + "<a x=\"1\"><b y=\"2\"><c/></b></a>");
  ASSERT_NE(document, nullptr);
  XmlNode* a = &document->nodes[1];
  XmlNode* b = &a->children->items[0];
  char* name = a->name;
  EXPECT_EQ(XmlFreeNode(a), 1);
  EXPECT_EQ(a->attributes, nullptr);
  EXPECT_EQ(a->attributeCount, 0u);
  EXPECT_EQ(a->children, nullptr);
  EXPECT_EQ(b->attributeCount, 0u);  // the children were released too
  EXPECT_EQ(b->children, nullptr);
  EXPECT_EQ(a->name, name);
  EXPECT_STREQ(a->name, "a");
}

struct DecodeCase {
  const char* input;
  const char* output;
};

TEST(XmlDecodeEntities, Table) {
  const DecodeCase cases[] = {
      {"", ""},
      {"plain", "plain"},
      {"&lt;&gt;&amp;&quot;&apos;", "<>&\"'"},
      {"&amp;lt;", "&lt;"},
      {"&amp;amp;", "&amp;"},
      {"&&lt;", "&<"},
      {"a&b", "a&b"},
      {"&lt", "&lt"},
      {"&", "&"},
      {"x&", "x&"},
      {"&Lt;", "&Lt;"},
      {"&#60;&#x3C;", "&#60;&#x3C;"},
      {"1 &lt; 2 &amp;&amp; 3 &gt; 2", "1 < 2 && 3 > 2"},
  };
  for (const DecodeCase& c : cases) {
    ExactString text(c.input);
    EXPECT_EQ(XmlDecodeEntities(text.data), 1);
    EXPECT_STREQ(text.data, c.output) << c.input;
  }
  EXPECT_EQ(XmlDecodeEntities(nullptr), 1);
}

}  // namespace
