#include "util/xml_reader.h"

#include <gtest/gtest.h>

namespace tunevale {
namespace {

// The tokens of a document in a compact form: <name@depth, </name@depth, "text" (+ "~" when cut).
std::string Tokens(std::string_view doc, TXmlReader::TLimits limits = {}) {
  TXmlReader xml(doc, limits);
  std::string out;
  for (;;) {
    switch (xml.Next()) {
      case TXmlReader::xtStartElement:
        out += "<" + std::string(xml.Name()) + "@" + std::to_string(xml.Depth());
        break;
      case TXmlReader::xtEndElement:
        out += "</" + std::string(xml.Name()) + "@" + std::to_string(xml.Depth());
        break;
      case TXmlReader::xtText:
        out += "\"" + xml.Text() + (xml.TextCut() ? "~" : "") + "\"";
        break;
      case TXmlReader::xtEnd:
        if (!xml.Error().empty()) out += "!" + std::string(xml.Error());
        return out;
    }
  }
}

TEST(XmlReaderTest, Documents) {
  const std::pair<std::string, std::string> cases[] = {
      {"\xEF\xBB\xBF<?xml version=\"1.0\"?><!-- <x> --><a><b>t</b><c/></a>",
       "<a@1<b@2\"t\"</b@2<c@2</c@2</a@1"},
      {"<ns:a x='>' y=\"'\"><ns:b/></ns:a>", "<a@1<b@2</b@2</a@1"},
      {"<a>&lt;&gt;&amp;&quot;&apos;&#65;&#x42;&#x1F600;</a>", "<a@1\"<>&\"'AB\xF0\x9F\x98\x80\"</a@1"},
      {"<a>&bogus; & &#0; &#xD800; &#99999999; &#x;</a>",
       "<a@1\"&bogus; & &#0; &#xD800; &#99999999; &#x;\"</a@1"},
      {"<a><![CDATA[<b>&amp;]]></a>", "<a@1\"<b>&amp;\"</a@1"},
      {"<a>1 < 2</a>", "<a@1\"1 \"\"< 2\"</a@1"},
      // An end tag closes up to its element; one that matches nothing is ignored.
      {"<a><b><c></a></b><d/>", "<a@1<b@2<c@3</a@1<d@1</d@1"},
      // Cut-off markup ends the document; a cut-off comment or section swallows the rest.
      {"<a><b x=\"1", "<a@1!an attribute value is cut off"},
      {"<a><b", "<a@1!a tag is cut off"},
      {"<a><!-- x", "<a@1"},
      {"<a><![CDATA[x", "<a@1\"x\""},
  };
  for (const auto& [doc, expected] : cases) EXPECT_EQ(Tokens(doc), expected) << doc;
}

TEST(XmlReaderTest, HostileDocumentsStayBounded) {
  // Declared entities are never expanded, however they nest.
  const std::string laughs =
      "<!DOCTYPE l [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;\"> ]><l>&b;</l>";
  EXPECT_EQ(Tokens(laughs), "<l@1\"&b;\"</l@1");
  EXPECT_EQ(Tokens("<!DOCTYPE x SYSTEM \"file:///etc/passwd\"><x>&xxe;</x>"), "<x@1\"&xxe;\"</x@1");

  std::string deep;
  for (int i = 0; i < 100000; ++i) deep += "<a>";
  const std::string tokens = Tokens(deep, {.MaxDepth = 3, .MaxText = 16});
  EXPECT_EQ(tokens, "<a@1<a@2<a@3!elements nested too deeply");

  // A text is cut at its limit on a character boundary.
  EXPECT_EQ(Tokens("<a>" + std::string(10, 'x') + "\xC3\xA9</a>", {.MaxDepth = 4, .MaxText = 11}),
            "<a@1\"xxxxxxxxxx~\"</a@1");
  EXPECT_EQ(Tokens("<a>&amp;&amp;&amp;</a>", {.MaxDepth = 4, .MaxText = 2}), "<a@1\"&&~\"</a@1");
}

}  // namespace
}  // namespace tunevale
