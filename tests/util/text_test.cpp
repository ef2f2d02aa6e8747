#include "util/text.h"

#include <gtest/gtest.h>

namespace tunevale {
namespace {

TEST(TextTest, Latin1OrUtf8KeepsUtf8AndConvertsLatin1) {
  EXPECT_EQ(Latin1OrUtf8("abc"), "abc");
  EXPECT_EQ(Latin1OrUtf8("caf\xC3\xA9"), "caf\xC3\xA9");   // already UTF-8
  EXPECT_EQ(Latin1OrUtf8("caf\xE9"), "caf\xC3\xA9");       // Latin-1 é
  EXPECT_EQ(Latin1OrUtf8("\xC3"), "\xC3\x83");              // a lone lead byte is Latin-1
  // A view into a larger buffer (a tag field): the byte after it is not part of the text.
  EXPECT_EQ(Latin1OrUtf8(std::string_view("caf\xC3\xA9\xA9", 5)), "caf\xC3\xA9");
}

TEST(TextTest, Utf16DecodesBothOrdersAndSurrogates) {
  const uint8_t le[] = {'H', 0, 0x16, 0x04, 0x3D, 0xD8, 0x00, 0xDE};  // H, Ж, U+1F600
  EXPECT_EQ(Utf16ToUtf8(le, 4, false), "H\xD0\x96\xF0\x9F\x98\x80");
  const uint8_t be[] = {0, 'H', 0x04, 0x16};
  EXPECT_EQ(Utf16ToUtf8(be, 2, true), "H\xD0\x96");
  const uint8_t lone[] = {0x3D, 0xD8, 'x', 0};  // unpaired high surrogate
  EXPECT_EQ(Utf16ToUtf8(lone, 2, false), "\xEF\xBF\xBDx");
}

TEST(TextTest, TrimRemovesControlsAndBlanksOnly) {
  EXPECT_EQ(Trim("\t  a b \r\n\x01"), "a b");
  EXPECT_EQ(Trim("  \xD0\x96  "), "\xD0\x96");
  EXPECT_EQ(Trim("   "), "");
}

TEST(TextTest, CaseFoldHandlesUnicode) {
  EXPECT_EQ(CaseFold("ABBA"), "abba");
  EXPECT_EQ(CaseFold("\xD0\x96\xD0\x98"), "\xD0\xB6\xD0\xB8");  // ЖИ -> жи
  EXPECT_TRUE(SameTextIgnoringCase("\xC3\x84rger", "\xC3\xA4RGER"));  // Ärger
  EXPECT_FALSE(SameTextIgnoringCase("abc", "abd"));
  EXPECT_EQ(CaseFold("a\xFF" "B"), "a\xFF" "b");  // invalid bytes stay
}

TEST(TextTest, ParseInt32AcceptsOnlyWholeIntegers) {
  EXPECT_EQ(ParseInt32("42"), 42);
  EXPECT_EQ(ParseInt32("-7"), -7);
  EXPECT_EQ(ParseInt32("+7"), 7);
  EXPECT_EQ(ParseInt32("2147483647"), 2147483647);
  for (const char* bad : {"", "+", "-", "1a", " 1", "1 ", "2147483648", "+-1", "0x10"})
    EXPECT_FALSE(ParseInt32(bad).has_value()) << bad;
  EXPECT_EQ(StrToIntDef("x", 5), 5);
}

TEST(TextTest, CutUtf8NeverSplitsACharacter) {
  const std::string s = "ab\xD0\x96\xD0\x96";  // 6 bytes
  EXPECT_EQ(CutUtf8(s, 3), "ab");
  EXPECT_EQ(CutUtf8(s, 4), "ab\xD0\x96");
  EXPECT_EQ(CutUtf8(s, 10), s);
  EXPECT_EQ(CutUtf8("\x80\x80\x80", 2), "");  // no character start at all
}

TEST(TextTest, FormatPlayTimeNeverWrapsAtADay) {
  EXPECT_EQ(FormatPlayTime(0), "0:00:00");
  EXPECT_EQ(FormatPlayTime(-5), "0:00:00");
  EXPECT_EQ(FormatPlayTime(3725999), "1:02:05");
  EXPECT_EQ(FormatPlayTime(90000000), "25:00:00");
}

TEST(TextTest, SplitKeepsEmptyPieces) {
  EXPECT_EQ(Split("a||b|", '|'), (std::vector<std::string>{"a", "", "b", ""}));
  EXPECT_EQ(Join({"a", "b"}, "|"), "a|b");
}

}  // namespace
}  // namespace tunevale
