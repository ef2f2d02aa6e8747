#include "media/tag_text.h"

#include <gtest/gtest.h>

#include "tag_builders.h"

namespace tunevale {
namespace {

using namespace tunevale::testing;

struct TTextCase {
  const char* Name;
  int Encoding;
  std::string Bytes;
  std::string Expected;
};

class TagTextTest : public ::testing::TestWithParam<TTextCase> {};

TEST_P(TagTextTest, Decodes) {
  const TTextCase& c = GetParam();
  EXPECT_EQ(DecodeTagText(uint8_t(c.Encoding), c.Bytes), c.Expected);
}

const std::string Ze = "\xD0\x96";  // U+0416 in UTF-8

INSTANTIATE_TEST_SUITE_P(
    Encodings, TagTextTest,
    ::testing::Values(
        TTextCase{"Latin1", 0, "Caf\xE9", "Caf\xC3\xA9"},
        TTextCase{"Latin1KeepsUtf8", 0, "Caf\xC3\xA9", "Caf\xC3\xA9"},
        // One stray byte makes the segment Latin-1 again.
        TTextCase{"Latin1BrokenUtf8", 0, "\xC3\xA9\xE9", "\xC3\x83\xC2\xA9\xC3\xA9"},
        TTextCase{"Latin1Segments", 0, std::string("ab\0cd\0\0", 7), "abcd"},
        TTextCase{"Latin1Trimmed", 0, std::string(" \t x \0", 6), "x"},
        TTextCase{"Utf16LittleEndianMark", 1, Bytes({0xFF, 0xFE}) + Utf16LE("Hi") + std::string(2, '\0'), "Hi"},
        // A big-endian mark was two garbage characters before; it is a mark.
        TTextCase{"Utf16BigEndianMark", 1, Bytes({0xFE, 0xFF}) + Utf16BE("Hi"), "Hi"},
        TTextCase{"Utf16NoMarkIsLittleEndian", 1, Utf16LE("Hi"), "Hi"},
        // Each segment may carry its own mark; an unmarked one keeps the previous order.
        TTextCase{"Utf16SegmentsOwnMarks", 1,
                  Bytes({0xFE, 0xFF}) + Utf16BE("ab") + Bytes({0, 0}) + Utf16BE("c") + Bytes({0, 0, 0xFF, 0xFE}) +
                      Utf16LE("d"),
                  "abcd"},
        TTextCase{"Utf16Cyrillic", 1, Bytes({0xFF, 0xFE, 0x16, 0x04}), Ze},
        TTextCase{"Utf16SurrogatePair", 1, Bytes({0xFF, 0xFE, 0x3D, 0xD8, 0x00, 0xDE}), "\xF0\x9F\x98\x80"},
        TTextCase{"Utf16LoneSurrogate", 1, Bytes({0xFF, 0xFE, 0x3D, 0xD8}), "\xEF\xBF\xBD"},
        TTextCase{"Utf16OddByteDropped", 1, Utf16LE("ab") + "c", "ab"},
        // Zero units are terminators only when aligned: "\x41\x00\x00\x42" is A then U+4200.
        TTextCase{"Utf16Alignment", 1, Bytes({0x41, 0x00, 0x00, 0x42}), "A\xE4\x88\x80"},
        TTextCase{"Utf16BE", 2, Utf16BE("Hi") + Bytes({0, 0}) + Utf16BE("!"), "Hi!"},
        TTextCase{"Utf8", 3, "\xE6\x97\xA5\xE6\x9C\xAC", "\xE6\x97\xA5\xE6\x9C\xAC"},
        TTextCase{"Utf8Invalid", 3, "a\xFF", "a\xC3\xBF"},
        TTextCase{"UnknownEncodingIsLatin1", 7, "\xE9", "\xC3\xA9"},
        TTextCase{"Empty", 1, "", ""}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
}  // namespace tunevale
