#include "util/xml_reader.h"

#include "util/text.h"

namespace tunevale {

std::string XmlEscaped(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&apos;";
        break;
      default:
        if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n' || c == '\r') out += c;
    }
  }
  return out;
}

namespace {

constexpr size_t MaxReferenceLength = 12;  // "&#x0010FFFF;" and every entity name fit

bool IsNameStart(char c) {
  const auto u = static_cast<unsigned char>(c);
  return ((u | 0x20) >= 'a' && (u | 0x20) <= 'z') || c == '_' || c == ':' || u >= 0x80;
}

bool IsNameChar(char c) { return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.'; }

std::string_view LocalName(std::string_view name) {
  const size_t colon = name.rfind(':');
  return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

bool IsXmlChar(uint32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) || (c >= 0xE000 && c <= 0xFFFD) ||
         (c >= 0x10000 && c <= 0x10FFFF);
}

// The character a reference stands for ("&" then a name or "#" number and ";").
// Returns the reference's length, or 0 for anything not resolved here.
size_t ResolveReference(std::string_view s, std::string& out) {
  const size_t semicolon = s.substr(0, MaxReferenceLength).find(';');
  if (semicolon == std::string_view::npos) return 0;
  const std::string_view name = s.substr(1, semicolon - 1);
  static constexpr std::pair<std::string_view, char> Predefined[] = {
      {"lt", '<'}, {"gt", '>'}, {"amp", '&'}, {"quot", '"'}, {"apos", '\''}};
  for (const auto& [entity, c] : Predefined) {
    if (name == entity) {
      out = c;
      return semicolon + 1;
    }
  }
  if (name.size() < 2 || name[0] != '#') return 0;
  const bool hex = name[1] == 'x';
  std::string_view digits = name.substr(hex ? 2 : 1);
  if (digits.empty()) return 0;
  uint32_t code = 0;
  for (char d : digits) {
    const int v = hex ? HexDigitValue(d) : (d >= '0' && d <= '9' ? d - '0' : -1);
    if (v < 0) return 0;
    code = code * (hex ? 16 : 10) + static_cast<uint32_t>(v);
    if (code > 0x10FFFF) return 0;
  }
  if (!IsXmlChar(code)) return 0;
  out.clear();
  AppendUtf8(out, code);
  return semicolon + 1;
}

}  // namespace

TXmlReader::TXmlReader(std::string_view document, TLimits limits) : Doc(document), Limits(limits) {
  if (StartsWithAt("\xEF\xBB\xBF")) Pos = 3;
}

TXmlReader::TToken TXmlReader::Fail(const char* why) {
  ErrorText = why;
  Pos = Doc.size();
  Open.clear();
  return xtEnd;
}

void TXmlReader::SkipPast(std::string_view terminator) {
  const size_t at = Doc.find(terminator, Pos);
  Pos = at == std::string_view::npos ? Doc.size() : at + terminator.size();
}

void TXmlReader::SkipDeclaration() {
  size_t brackets = 0;
  for (size_t p = Pos + 2; p < Doc.size(); ++p) {
    const char c = Doc[p];
    if (c == '"' || c == '\'') {
      p = Doc.find(c, p + 1);
      if (p == std::string_view::npos) break;
    } else if (c == '[') {
      ++brackets;
    } else if (c == ']' && brackets > 0) {
      --brackets;
    } else if (c == '>' && brackets == 0) {
      Pos = p + 1;
      return;
    }
  }
  Pos = Doc.size();
}

void TXmlReader::AppendText(std::string_view raw) {
  const size_t room = Limits.MaxText - CurrentText.size();
  if (raw.size() > room) {
    CurrentText += CutUtf8(raw, room);
    Cut = true;
  } else {
    CurrentText += raw;
  }
}

void TXmlReader::AppendResolved(std::string_view raw) {
  std::string character;
  for (size_t i = 0; i < raw.size() && !Cut;) {
    const size_t amp = raw.find('&', i);
    AppendText(raw.substr(i, amp - i));
    if (amp == std::string_view::npos) break;
    // An unknown entity or a bare "&" stays as it is written.
    const size_t used = ResolveReference(raw.substr(amp), character);
    AppendText(used == 0 ? std::string_view("&") : std::string_view(character));
    i = amp + (used == 0 ? 1 : used);
  }
}

TXmlReader::TToken TXmlReader::ReadText() {
  // The text runs to the next "<" (a "<" at its start is one that began no markup).
  const size_t end = std::min(Doc.find('<', Pos + 1), Doc.size());
  CurrentText.clear();
  Cut = false;
  AppendResolved(Doc.substr(Pos, end - Pos));
  Pos = end;
  return xtText;
}

TXmlReader::TToken TXmlReader::ReadStartTag() {
  size_t p = Pos + 1;
  while (p < Doc.size() && IsNameChar(Doc[p])) ++p;
  const std::string_view name = Doc.substr(Pos + 1, p - Pos - 1);
  bool empty = false;
  for (;; ++p) {
    if (p >= Doc.size()) return Fail("a tag is cut off");
    const char c = Doc[p];
    if (c == '>') break;
    if (c == '/' && p + 1 < Doc.size() && Doc[p + 1] == '>') {
      empty = true;
      ++p;
      break;
    }
    if (c == '"' || c == '\'') {
      p = Doc.find(c, p + 1);
      if (p == std::string_view::npos) return Fail("an attribute value is cut off");
    }
  }
  Pos = p + 1;
  if (Open.size() >= Limits.MaxDepth) return Fail("elements nested too deeply");
  Open.push_back(name);
  CurrentName = LocalName(name);
  CurrentDepth = Open.size();
  PendingEnd = empty;
  return xtStartElement;
}

bool TXmlReader::ReadEndTag() {
  size_t p = Pos + 2;
  while (p < Doc.size() && IsNameChar(Doc[p])) ++p;
  const std::string_view name = Doc.substr(Pos + 2, p - Pos - 2);
  Pos = p;
  SkipPast(">");
  for (size_t k = Open.size(); k-- > 0;) {
    if (Open[k] != name) continue;
    CurrentName = LocalName(name);
    CurrentDepth = k + 1;
    Open.resize(k);
    return true;
  }
  return false;
}

TXmlReader::TToken TXmlReader::Next() {
  if (PendingEnd) {
    PendingEnd = false;
    CurrentDepth = Open.size();
    Open.pop_back();
    return xtEndElement;
  }
  while (Pos < Doc.size()) {
    if (Doc[Pos] != '<') return ReadText();
    if (StartsWithAt("<!--")) {
      SkipPast("-->");
    } else if (StartsWithAt("<![CDATA[")) {
      Pos += 9;
      const size_t end = std::min(Doc.find("]]>", Pos), Doc.size());
      CurrentText.clear();
      Cut = false;
      AppendText(Doc.substr(Pos, end - Pos));
      Pos = std::min(end + 3, Doc.size());
      return xtText;
    } else if (StartsWithAt("<!")) {
      SkipDeclaration();
    } else if (StartsWithAt("<?")) {
      SkipPast("?>");
    } else if (StartsWithAt("</")) {
      if (ReadEndTag()) return xtEndElement;
    } else if (Pos + 1 < Doc.size() && IsNameStart(Doc[Pos + 1])) {
      return ReadStartTag();
    } else {
      return ReadText();
    }
  }
  return xtEnd;
}

}  // namespace tunevale
