#include "config/xml_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace qv82::test {
namespace {

using Entries = std::vector<std::string>;

TEST(XmlParser, AttributeValues) {
  struct Case {
    const char* tag;
    Entries entries;
  };
  const Case cases[] = {
      {"<a v=\"\"/>", {"v=\"\""}},               // two quotes stay as the value
      {"<a v=\"x\"/>", {"v=x"}},                 // one character loses its quotes
      {"<a v=\"a b\" w=c/>", {"v=a b", "w=c"}},  // blanks inside quotes do not cut
      {"<a v=\"  \" w/>", {}},                   // empty values are dropped
      {"<a v=\"&lt;&amp;\"/>", {"v=<&"}},
      {"<a v = \"x\"/>", {}},  // blanks around "=" cut the entry apart
  };
  for (const Case& c : cases) {
    XmlReader parser;
    parser.load_text(std::string("<r>") + c.tag + "</r>");
    ASSERT_EQ(parser.root().child_count(), 1u) << c.tag;
    EXPECT_EQ(parser.root().child(0).Params, c.entries) << c.tag;
  }
}

TEST(XmlParser, TextHandling) {
  struct Case {
    const char* document;
    const char* text;
  };
  const Case cases[] = {
      {"<r>a<br/>b</r>", "a\r\nb"},       {"<r>a<BR/>b</r>", "a\r\nb"}, {"<r>&amp;lt;</r>", "&lt;"},
      {"<r>&amp;lt;<x/>b</r>", "<\r\nb"},  // the joined text is decoded again
      {"<r>x   y\r\nz</r>", "x yz"},       // blanks reduced, CR LF pairs removed
      {"<r><!-- a > b --></r>", "b -->"},  // a comment ends at its first ">"
      {"<r>&quot;&gt;</r>", "\">"},
  };
  for (const Case& c : cases) {
    XmlReader parser;
    parser.load_text(c.document);
    EXPECT_EQ(parser.root().Text, c.text) << c.document;
  }
}

TEST(XmlItem, DeepNestingIsReleasedWithoutRecursion) {
  std::string doc;
  for (int i = 0; i < 100000; ++i) doc += "<a>\n";
  XmlReader parser;
  parser.load_text(doc);
  const XmlItem* item = &parser.root();
  int depth = 0;
  while (item->child_count() > 0) item = &item->child(0), ++depth;
  EXPECT_EQ(depth, 99999);
  parser.load_text("<b/>");
  EXPECT_EQ(parser.root().child_count(), 1u);
}

}  // namespace
}  // namespace qv82::test
