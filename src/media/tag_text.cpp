#include "media/tag_text.h"

#include "util/text.h"

namespace tunevale {

std::string DecodeLatin1Segments(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size());
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\0', start);
    if (end == std::string_view::npos) end = bytes.size();
    const std::string_view segment = bytes.substr(start, end - start);
    if (HasNonAscii(segment))
      out += Latin1OrUtf8(segment);
    else
      out.append(segment);
    start = end + 1;
  }
  return out;
}

std::string DecodeUtf16Segments(std::string_view bytes, bool bigEndian) {
  const auto* b = reinterpret_cast<const uint8_t*>(bytes.data());
  const size_t units = bytes.size() / 2;  // an odd last byte is no character
  std::string out;
  out.reserve(units);
  size_t k = 0;
  while (k < units) {
    size_t end = k;
    while (end < units && (b[2 * end] | b[2 * end + 1]) != 0) ++end;
    if (end > k) {
      if (b[2 * k] == 0xFF && b[2 * k + 1] == 0xFE) {
        bigEndian = false;
        ++k;
      } else if (b[2 * k] == 0xFE && b[2 * k + 1] == 0xFF) {
        bigEndian = true;
        ++k;
      }
      out += Utf16ToUtf8(b + 2 * k, end - k, bigEndian);
    }
    k = end + 1;
  }
  return out;
}

int32_t LeadingTrackNumber(std::string_view text) {
  constexpr int32_t MaxTrackNumber = 65535;
  int32_t n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    n = n * 10 + (c - '0');
    if (n > MaxTrackNumber) return 0;
  }
  return n;
}

int32_t LeadingYear(std::string_view text) {
  if (text.size() < 4) return -1;
  int32_t year = 0;
  for (size_t i = 0; i < 4; ++i) {
    if (text[i] < '0' || text[i] > '9') return -1;
    year = year * 10 + (text[i] - '0');
  }
  return year > 0 ? year : -1;
}

std::string DecodeTagText(uint8_t encoding, std::string_view bytes) {
  std::string text;
  switch (encoding) {
    case teUtf16:
      text = DecodeUtf16Segments(bytes, false);
      break;
    case teUtf16BE:
      text = DecodeUtf16Segments(bytes, true);
      break;
    default:  // Latin-1, UTF-8 and unknown codes: invalid UTF-8 is read as Latin-1
      text = DecodeLatin1Segments(bytes);
      break;
  }
  const std::string_view trimmed = TrimView(text);
  if (trimmed.size() == text.size()) return text;
  return std::string(trimmed);
}

}  // namespace tunevale
