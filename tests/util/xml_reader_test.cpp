#include "util/xml_reader.h"

#include <gtest/gtest.h>

namespace tunevale {
namespace {

// The tokens of a document in a compact form: <name@depth, </name@depth, "text" (+ "~" when cut).
std::string Tokens(std::string_view doc, TXmlReader::TLimits limits) {
  TXmlReader xml(doc, limits);
  std::string out;
  for (TXmlReader::TToken t; (t = xml.Next()) != TXmlReader::xtEnd;) {
    const std::string depth = "@" + std::to_string(xml.Depth());
    if (t == TXmlReader::xtText) out += "\"" + xml.Text() + (xml.TextCut() ? "~" : "") + "\"";
    if (t != TXmlReader::xtText)
      out += (t == TXmlReader::xtStartElement ? "<" : "</") + std::string(xml.Name()) + depth;
  }
  return xml.Error().empty() ? out : out + "!" + std::string(xml.Error());
}

TEST(XmlReaderTest, Documents) {
  const std::tuple<std::string, std::string, TXmlReader::TLimits> cases[] = {
      {"\xEF\xBB\xBF<?xml version=\"1.0\"?><!-- <x> --><a><b>t</b><c/></a>",
       "<a@1<b@2\"t\"</b@2<c@2</c@2</a@1",
       {}},
      {"<ns:a x='>' y=\"'\"><ns:b/></ns:a>", "<a@1<b@2</b@2</a@1", {}},
      {"<a>&lt;&gt;&amp;&quot;&apos;&#65;&#x42;&#x1F600;</a>", "<a@1\"<>&\"'AB\xF0\x9F\x98\x80\"</a@1", {}},
      {"<a>&bogus; & &#0; &#xD800; &#99999999; &#x;</a>",
       "<a@1\"&bogus; & &#0; &#xD800; &#99999999; &#x;\"</a@1",
       {}},
      {"<!DOCTYPE a [<!ENTITY e \"x\">]><a><![CDATA[<b>&amp;]]>&e;</a>", "<a@1\"<b>&amp;\"\"&e;\"</a@1", {}},
      {"<a>1 < 2</a>", "<a@1\"1 \"\"< 2\"</a@1", {}},
      // An end tag closes up to its element; one that matches nothing is ignored.
      {"<a><b><c></a></b><d/>", "<a@1<b@2<c@3</a@1<d@1</d@1", {}},
      {"<a><b x=\"1", "<a@1!an attribute value is cut off", {}},
      {"<a><b", "<a@1!a tag is cut off", {}},
      {"<a><a><a><a>", "<a@1<a@2<a@3!elements nested too deeply", {.MaxDepth = 3}},
      // A text is cut at its limit on a character boundary.
      {"<a>xx\xC3\xA9</a>", "<a@1\"xx~\"</a@1", {.MaxText = 3}},
      {"<a>&amp;&amp;&amp;</a>", "<a@1\"&&~\"</a@1", {.MaxText = 2}},
  };
  for (const auto& [doc, expected, limits] : cases) EXPECT_EQ(Tokens(doc, limits), expected) << doc;
}

}  // namespace
}  // namespace tunevale
