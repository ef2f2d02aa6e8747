#include "util/text.h"

#include <utf8proc.h>

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace tunevale {

namespace {

// Length of the UTF-8 sequence starting at s[i], or 0 when it is not valid.
size_t Utf8SequenceLength(std::string_view s, size_t i) {
  const auto c = static_cast<unsigned char>(s[i]);
  if (c < 0x80) return 1;
  size_t len;
  char32_t min;
  if ((c & 0xE0) == 0xC0) {
    len = 2;
    min = 0x80;
  } else if ((c & 0xF0) == 0xE0) {
    len = 3;
    min = 0x800;
  } else if ((c & 0xF8) == 0xF0) {
    len = 4;
    min = 0x10000;
  } else {
    return 0;
  }
  if (i + len > s.size()) return 0;
  char32_t cp = c & (0x7F >> len);
  for (size_t k = 1; k < len; ++k) {
    const auto cc = static_cast<unsigned char>(s[i + k]);
    if ((cc & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (cc & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

}  // namespace

bool IsValidUtf8(std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    const size_t len = Utf8SequenceLength(s, i);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

bool HasNonAscii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return true;
  return false;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string Latin1ToUtf8(std::string_view s) {
  std::string out;
  out.reserve(s.size() + s.size() / 4);
  for (char c : s) AppendUtf8(out, static_cast<unsigned char>(c));
  return out;
}

std::string Latin1OrUtf8(std::string_view s) {
  if (!HasNonAscii(s) || IsValidUtf8(s)) return std::string(s);
  return Latin1ToUtf8(s);
}

std::string Utf16ToUtf8(const uint8_t* bytes, size_t units, bool bigEndian) {
  std::string out;
  out.reserve(units);
  auto unitAt = [&](size_t k) -> char16_t {
    const uint8_t a = bytes[2 * k], b = bytes[2 * k + 1];
    return bigEndian ? char16_t(a << 8 | b) : char16_t(b << 8 | a);
  };
  for (size_t k = 0; k < units; ++k) {
    const char16_t u = unitAt(k);
    if (u >= 0xD800 && u <= 0xDBFF && k + 1 < units) {
      const char16_t v = unitAt(k + 1);
      if (v >= 0xDC00 && v <= 0xDFFF) {
        AppendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (v - 0xDC00));
        ++k;
        continue;
      }
    }
    AppendUtf8(out, (u >= 0xD800 && u <= 0xDFFF) ? char32_t(0xFFFD) : char32_t(u));
  }
  return out;
}

std::string_view TrimView(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && static_cast<unsigned char>(s[b]) < 33) ++b;
  while (e > b && static_cast<unsigned char>(s[e - 1]) < 33) --e;
  return s.substr(b, e - b);
}

std::string Trim(std::string_view s) { return std::string(TrimView(s)); }

std::string AsciiLower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = AsciiLowerChar(c);
  return out;
}

std::string AsciiUpper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = AsciiUpperChar(c);
  return out;
}

void CaseFoldAppend(std::string& out, std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c < 0x80) {  // fast path for the common ASCII text
      out += AsciiLowerChar(static_cast<char>(c));
      ++i;
      continue;
    }
    utf8proc_int32_t cp;
    const auto len = utf8proc_iterate(reinterpret_cast<const utf8proc_uint8_t*>(s.data() + i),
                                      static_cast<utf8proc_ssize_t>(s.size() - i), &cp);
    if (len <= 0) {
      out += s[i];
      ++i;
      continue;
    }
    utf8proc_int32_t folded[8];
    int lastBoundClass = 0;
    const auto n = utf8proc_decompose_char(cp, folded, 8, UTF8PROC_CASEFOLD, &lastBoundClass);
    if (n <= 0 || n > 8) {
      out.append(s.substr(i, static_cast<size_t>(len)));
    } else {
      for (utf8proc_ssize_t k = 0; k < n; ++k) AppendUtf8(out, static_cast<char32_t>(folded[k]));
    }
    i += static_cast<size_t>(len);
  }
}

std::string CaseFold(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  CaseFoldAppend(out, s);
  return out;
}

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() == b.size()) {
    bool same = true;
    for (size_t i = 0; i < a.size() && same; ++i) same = AsciiLowerChar(a[i]) == AsciiLowerChar(b[i]);
    if (same) return true;
    if (!HasNonAscii(a) && !HasNonAscii(b)) return false;
  } else if (!HasNonAscii(a) && !HasNonAscii(b)) {
    return false;
  }
  return CaseFold(a) == CaseFold(b);
}

std::optional<int32_t> ParseInt32(std::string_view s) {
  if (s.empty()) return std::nullopt;
  size_t start = 0;
  if (s[0] == '+') start = 1;  // from_chars takes '-' but not '+'
  if (start == s.size() || (start == 1 && s[start] == '-')) return std::nullopt;
  int32_t value = 0;
  const char* first = s.data() + start;
  const char* last = s.data() + s.size();
  const auto [ptr, ec] = std::from_chars(first, last, value);
  if (ec != std::errc() || ptr != last) return std::nullopt;
  return value;
}

int32_t StrToIntDef(std::string_view s, int32_t fallback) { return ParseInt32(s).value_or(fallback); }

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

bool EndsWith(std::string_view s, std::string_view suffix) {
  return s.size() >= suffix.size() && s.substr(s.size() - suffix.size()) == suffix;
}

std::vector<std::string> Split(std::string_view s, char sep) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t pos = s.find(sep, start);
    if (pos == std::string_view::npos) {
      parts.emplace_back(s.substr(start));
      return parts;
    }
    parts.emplace_back(s.substr(start, pos - start));
    start = pos + 1;
  }
}

std::string Join(const std::vector<std::string>& parts, std::string_view sep) {
  std::string out;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i) out += sep;
    out += parts[i];
  }
  return out;
}

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string DecodePercentBytes(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() && HexDigitValue(s[i + 1]) >= 0 && HexDigitValue(s[i + 2]) >= 0) {
      out += static_cast<char>(HexDigitValue(s[i + 1]) * 16 + HexDigitValue(s[i + 2]));
      i += 2;
    } else {
      out += s[i];
    }
  }
  return out;
}

std::string_view CutUtf8(std::string_view s, size_t maxBytes) {
  if (s.size() <= maxBytes) return s;
  size_t end = maxBytes;
  // Step back over continuation bytes so the cut lands on a character start.
  while (end > 0 && (static_cast<unsigned char>(s[end]) & 0xC0) == 0x80) --end;
  return s.substr(0, end);
}

size_t FormatPlayTime(int64_t ms, char* out, size_t size) {
  const int64_t totalSeconds = std::max<int64_t>(ms, 0) / 1000;
  const int n = std::snprintf(out, size, "%lld:%02lld:%02lld", static_cast<long long>(totalSeconds / 3600),
                              static_cast<long long>(totalSeconds / 60 % 60),
                              static_cast<long long>(totalSeconds % 60));
  return n < 0 ? 0 : std::min(static_cast<size_t>(n), size == 0 ? 0 : size - 1);
}

std::string FormatPlayTime(int64_t ms) {
  char text[32];
  return std::string(text, FormatPlayTime(ms, text, sizeof text));
}

}  // namespace tunevale
