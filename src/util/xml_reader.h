// A small pull reader for XML documents from other programs (playlists).
//
// Tolerant: an end tag closes the innermost open element of its name (one
// that matches none is ignored), a "<" that starts no markup is text, and
// markup cut off by the end of the document ends it. Safe on hostile input:
// the only references resolved are the five predefined entities and
// character references (a DOCTYPE is skipped whole, so its entities are never
// expanded), nesting deeper than a limit ends the document, and a text keeps
// at most a limited number of bytes. Attributes are stepped over, not read.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tunevale {

// `text` escaped for XML character data and attribute values; control
// characters other than blanks, which XML 1.0 cannot hold, are dropped.
std::string XmlEscaped(std::string_view text);

class TXmlReader {
 public:
  enum TToken { xtStartElement, xtEndElement, xtText, xtEnd };

  struct TLimits {
    size_t MaxDepth = 256;
    size_t MaxText = 64 * 1024;  // bytes of one text token after resolving references
  };

  explicit TXmlReader(std::string_view document) : TXmlReader(document, TLimits()) {}
  TXmlReader(std::string_view document, TLimits limits);

  // The next token; xtEnd from the end of the document (or an error) on.
  TToken Next();

  // The element of a start or end token, without a namespace prefix.
  std::string_view Name() const { return CurrentName; }
  // After a start token the number of open elements including it; after an
  // end token the depth the closed element had (so 1 for the root).
  size_t Depth() const { return CurrentDepth; }
  // The text of a text token (character data or a CDATA section), cut at
  // MaxText bytes on a character boundary; TextCut tells that it was.
  const std::string& Text() const { return CurrentText; }
  bool TextCut() const { return Cut; }
  // Why the document ended before its last byte; empty when it did not.
  std::string_view Error() const { return ErrorText; }

 private:
  bool StartsWithAt(std::string_view s) const { return Doc.substr(Pos, s.size()) == s; }
  // Moves past `terminator`, or to the end of the document when it is missing.
  void SkipPast(std::string_view terminator);
  // Skips a "<!...>" declaration, with quoted texts and an internal subset in brackets.
  void SkipDeclaration();
  TToken ReadText();
  TToken ReadStartTag();
  // An end tag closes the innermost open element of its name; false when none has it.
  bool ReadEndTag();
  TToken Fail(const char* why);
  void AppendText(std::string_view raw);
  void AppendResolved(std::string_view raw);

  std::string_view Doc;
  TLimits Limits;
  size_t Pos = 0;
  std::vector<std::string_view> Open;  // names of the open elements, outermost first
  bool PendingEnd = false;             // the element just started was empty ("<a/>")
  std::string_view CurrentName;
  size_t CurrentDepth = 0;
  std::string CurrentText;
  bool Cut = false;
  std::string_view ErrorText;
};

}  // namespace tunevale
