// Decoding of tag texts to UTF-8. ID3v2 values carry an encoding byte and may
// hold several zero-terminated segments (descriptions, multiple values);
// segments are decoded one by one and joined with nothing between them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tunevale {

enum TTagEncoding : uint8_t {
  teLatin1 = 0,   // ISO-8859-1, but UTF-8 bytes are kept (many taggers write them here)
  teUtf16 = 1,    // UTF-16 with a byte-order mark per segment
  teUtf16BE = 2,  // UTF-16 big-endian
  teUtf8 = 3,
};

// Decodes `bytes` as text of `encoding` (unknown encodings are taken as Latin-1),
// dropping terminators and byte-order marks, and trims codes below 33 at both
// ends. The result is always valid UTF-8.
std::string DecodeTagText(uint8_t encoding, std::string_view bytes);

// UTF-16 segments separated by aligned zero units; a segment may begin with
// its own byte-order mark, else it takes the previous segment's order (at
// first `bigEndian`). Not trimmed.
std::string DecodeUtf16Segments(std::string_view bytes, bool bigEndian);

// 8-bit segments separated by zero bytes, each Latin-1 unless it is valid
// UTF-8 with a non-ASCII character. Not trimmed.
std::string DecodeLatin1Segments(std::string_view bytes);

// The decimal number a track text begins with ("3/12" gives 3); 0 when it
// begins with no digit or the number is above 65535.
int32_t LeadingTrackNumber(std::string_view text);

// The year a date text begins with ("2004-05-17T10:00" gives 2004); -1
// without four leading digits (or for the year 0).
int32_t LeadingYear(std::string_view text);

}  // namespace tunevale
