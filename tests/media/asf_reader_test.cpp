#include "media/asf_reader.h"

#include <gtest/gtest.h>

#include "tag_builders.h"

namespace tunevale {
namespace {

using namespace tunevale::testing;

TRead Read(const std::string& bytes) { return ReadBytes(ReadAsf, bytes); }

std::string Wm(std::string_view name, std::string_view value) {
  return AsfDescriptor(name, 0, AsfText(value));
}

TEST(AsfReaderTest, ContentDescriptionAndAttributes) {
  const std::string ext = Wm("WM/AlbumTitle", "Album") + Wm("WM/AlbumArtist", "Band") +
                          Wm("wm/genre", "Pop") + Wm("WM/Year", "2004") + Wm("WM/Composer", "Comp") +
                          Wm("WM/Publisher", "Label") + Wm("WM/ProviderCopyright", "(c)") +
                          Wm("WM/AuthorURL", "http://a.example/") + Wm("WM/Unknown", "x") +
                          Wm(" WM/MediaCredits ", "Credits");
  const TRead r = Read(AsfFile(3, AsfContent("Song", "Singer", "Copy", "Desc", "") +
                                      AsfObject(AsfOtherGuid, "xyz") + AsfExtended(10, ext)));
  EXPECT_EQ(r.Result, 0);
  // Not the description object's copyright; later attributes of the same field win.
  EXPECT_EQ(r.Meta, (TMetaData{"Song", "Singer", "Band", "Album", "Pop", "Label", "Credits", "(c)", "Desc",
                               "http://a.example/", 0, 2004, 0}));
}

TEST(AsfReaderTest, TitlesAndSubtitlesAreJoined) {
  // An empty subtitle leaves no dangling separator.
  const std::pair<std::string, const char*> cases[] = {
      {AsfFile(2, AsfContent("Song", "", "", "", "") + AsfExtended(1, Wm("WM/SubTitle", "Live"))),
       "Song - Live"},
      {AsfFile(1, AsfExtended(2, Wm("WM/Title", "A") + Wm("WM/SubTitle", "B"))), "A - B"},
      {AsfFile(1, AsfExtended(1, Wm("WM/SubTitle", "B"))), "B"},
      {AsfFile(1, AsfExtended(2, Wm("WM/Title", "A") + Wm("WM/SubTitle", " "))), "A"}};
  for (const auto& [bytes, title] : cases) EXPECT_EQ(Read(bytes).Meta.Title, title) << title;
}

TEST(AsfReaderTest, TextsAreUtf16AndCutAt250Units) {
  // U+0416 U+65E5 as UTF-16LE, terminated.
  const std::string title = Bytes({0x16, 0x04, 0xE5, 0x65, 0, 0});
  const std::string lengths = Le16(uint16_t(title.size())) + Le16(0) + Le16(0) + Le16(0) + Le16(0);
  EXPECT_EQ(Read(AsfFile(1, AsfObject(AsfContentGuid, lengths + title))).Meta.Title, "\xD0\x96\xE6\x97\xA5");

  const std::string longTitle(300, 'x');
  const TRead r = Read(AsfFile(1, AsfContent(longTitle, "After", "", "", "")));
  EXPECT_EQ(r.Result, 0);
  EXPECT_EQ(r.Meta.Title, std::string(250, 'x'));
  EXPECT_EQ(r.Meta.Artist, "After");  // the rest of the long text was skipped

  // The cut falls inside a surrogate pair: the lone half is dropped.
  std::string pairs = Utf16LE(std::string(249, 'y')) + Bytes({0x3D, 0xD8, 0x00, 0xDE, 0, 0});
  const std::string pairLengths = Le16(uint16_t(pairs.size())) + Le16(0) + Le16(0) + Le16(0) + Le16(0);
  EXPECT_EQ(Read(AsfFile(1, AsfObject(AsfContentGuid, pairLengths + pairs))).Meta.Title,
            std::string(249, 'y'));
}

TEST(AsfReaderTest, TrackNumberByValueType) {
  struct TCase {
    const char* Name;
    uint16_t Type;
    std::string Value;
    int32_t Track;
  };
  const TCase cases[] = {
      {"dword", 3, Le32(7), 7},
      {"dword below 33", 3, Le32(5), 5},
      {"word", 5, Le16(12), 12},
      {"qword", 4, Le64(3), 3},
      {"text", 0, AsfText("7"), 7},
      {"text with total", 0, AsfText("07/12"), 7},
      {"text without number", 0, AsfText("A side"), 0},
      {"negative dword", 3, Le32(uint32_t(-1)), 0},
      {"absurd qword", 4, Le64(uint64_t(1) << 40), 0},
      {"absurd text", 0, AsfText("123456789012"), 0},
      {"bool", 2, Le32(1), 0},
      {"binary", 1, "\x05", 0},
      {"dword too short", 3, Le16(7), 0},
  };
  for (const TCase& c : cases) {
    const TRead r = Read(AsfFile(1, AsfExtended(1, AsfDescriptor("WM/TrackNumber", c.Type, c.Value))));
    EXPECT_EQ(r.Result, 0) << c.Name;
    EXPECT_EQ(r.Meta.Track, c.Track) << c.Name;
  }
}

TEST(AsfReaderTest, NonNumericYearStopsTheReading) {
  const TRead r = Read(AsfFile(
      1, AsfExtended(3, Wm("WM/AlbumTitle", "Kept") + Wm("WM/Year", "soon") + Wm("WM/Genre", "Lost"))));
  EXPECT_EQ(r.Result, 1);
  EXPECT_EQ(r.Meta.Album, "Kept");
  EXPECT_EQ(r.Meta.Genre, "");
}

TEST(AsfReaderTest, NotAsf) {
  const TRead r = Read(std::string(100, 'x'));
  EXPECT_EQ(r.Result, 0);
  EXPECT_EQ(r.Meta.Title, "");
  EXPECT_EQ(Read("short").Result, 1);
  EXPECT_EQ(Read("").Result, 1);
}

// Broken headers end the walk with result 1 and keep what was read; none hangs.
TEST(AsfReaderTest, BrokenHeaders) {
  const std::string song = AsfContent("Song", "", "", "", "");
  auto zeroSized = [](const std::string& guid) { return guid + Le64(0) + std::string(40, 'z'); };
  struct TCase {
    const char* Name;
    std::string Bytes;
    std::string Title;
  };
  const TCase cases[] = {
      {"object of size 0", AsfFile(3, song + zeroSized(AsfOtherGuid) + song), "Song"},
      {"description of size 0", AsfFile(2, song + zeroSized(AsfContentGuid)), "Song"},
      {"object of size 23", AsfFile(2, song + AsfOtherGuid + Le64(23) + std::string(40, 'z')), "Song"},
      {"object past the end", AsfFile(2, song + AsfOtherGuid + Le64(1000) + "zz"), "Song"},
      {"more objects than there are", AsfFile(100, song), "Song"},
      {"truncated before the count", AsfHeaderGuid + Le64(30), ""},
      // The texts claim more bytes than the object has.
      {"text past the object",
       AsfFile(2,
               AsfObject(AsfContentGuid, Le16(40) + Le16(0) + Le16(0) + Le16(0) + Le16(0) + AsfText("Song")) +
                   song),
       ""},
      {"huge descriptor count", AsfFile(1, AsfExtended(65535, Wm("WM/Title", "Song"))), "Song"},
  };
  for (const TCase& c : cases) {
    const TRead r = Read(c.Bytes);
    EXPECT_EQ(r.Result, 1) << c.Name;
    EXPECT_EQ(r.Meta.Title, c.Title) << c.Name;
  }
  // A size with its high half set counts by its low half only.
  const std::string highHalf = AsfOtherGuid + Le32(24) + Le32(1);
  EXPECT_EQ(Read(AsfFile(2, highHalf + song)).Meta.Title, "Song");
}

}  // namespace
}  // namespace tunevale
