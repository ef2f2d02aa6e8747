#include "media/id3_reader.h"

#include <gtest/gtest.h>

#include "media/byte_reader.h"
#include "media/byte_source.h"
#include "tag_builders.h"

namespace tunevale {
namespace {

using namespace tunevale::testing;
using namespace std::string_literals;

TRead Read(const std::string& bytes) { return ReadBytes(ReadId3, bytes); }

// A tag followed by one second of 128 kbit/s audio (16000 bytes).
std::string Mp3(const std::string& tag) { return tag + Mpeg1Layer3Header128 + Audio(16000 - 4); }
TRead Mp3Read(const std::string& tag) { return Read(Mp3(tag)); }

TEST(Id3ReaderTest, FrameTableFillsEveryField) {
  const TRead r = Mp3Read(
      Id3Tag(Frame("TIT2", Text("Title")) + Frame("TYER", Text("1987")) + Frame("TPUB", Text("Label")) +
             Frame("TCON", Text("Jazz")) + Frame("TALB", Text("Album")) + Frame("TPE1", Text("Artist")) +
             Frame("TPE2", Text("Band")) + Frame("TRCK", Text("3/12")) + Frame("TCOM", Text("Composer")) +
             Frame("TCOP", Text("(c) 1987")) + Frame("COMM", Text(std::string("eng\0Nice", 8))) +
             Frame("WXXX", Text(std::string("\0http://a.example/", 18))) + Frame("TLEN", Text("123456"))));
  EXPECT_EQ(r.Result, 0);
  // The length is the tag's, not estimated.
  EXPECT_EQ(r.Meta, (TMetaData{"Title", "Artist", "Band", "Album", "Jazz", "Label", "Composer", "(c) 1987",
                               "Nice", "http://a.example/", 3, 1987, 123456}));
}

TEST(Id3ReaderTest, TrackNumbers) {
  for (const auto& [text, track] : std::initializer_list<std::pair<std::string, int>>{
           {"3/12", 3}, {"03", 3}, {"", 0}, {"x", 0}, {"/5", 0}, {" 7 ", 7}, {"99999999999", 0}}) {
    EXPECT_EQ(Mp3Read(Id3Tag(Frame("TRCK", Text(text)))).Meta.Track, track) << text;
  }
}

TEST(Id3ReaderTest, GenreResolution) {
  for (const auto& [text, genre] :
       std::initializer_list<std::pair<std::string, std::string>>{{"(17)", "Rock"},
                                                                  {"(17)Rock", "Rock"},
                                                                  {"Rock", "Rock"},
                                                                  {"17", "17"},
                                                                  {"(200)", "(200)"},
                                                                  {"(0)", "Blues"},
                                                                  {"(147)", "Synthpop"},
                                                                  {"(148)", "(148)"},
                                                                  {"(-1)", "(-1)"},
                                                                  {"(RX)", "(RX)"},
                                                                  {"(67", "(67"},
                                                                  {"(67)", "Psychadelic"},
                                                                  {"()", "()"}}) {
    EXPECT_EQ(Mp3Read(Id3Tag(Frame("TCON", Text(text)))).Meta.Genre, genre) << text;
  }
}

TEST(Id3ReaderTest, YearFromTyerElseFromTheTimestampElseUnknown) {
  EXPECT_EQ(Mp3Read(Id3Tag(Frame("TYER", Text("0")))).Meta.Year, -1);
  EXPECT_EQ(Mp3Read(Id3Tag(Frame("TYER", Text("abc")))).Meta.Year, -1);
  EXPECT_EQ(Mp3Read(Id3Tag(Frame("TIT2", Text("x")))).Meta.Year, -1);
  EXPECT_EQ(Mp3Read(Id3Tag(Frame("TDRC", Text("2004-05-17T10:00")), 4)).Meta.Year, 2004);
  EXPECT_EQ(Mp3Read(Id3Tag(Frame("TDRC", Text("04-05-17")), 4)).Meta.Year, -1);
  EXPECT_EQ(Mp3Read(Id3Tag(Frame("TDRC", Text("2004")) + Frame("TYER", Text("1999")), 4)).Meta.Year, 1999);
  EXPECT_EQ(Mp3Read(Id3Tag(Frame("TYER", Text("1999")) + Frame("TDRC", Text("2004")), 4)).Meta.Year, 1999);
}

TEST(Id3ReaderTest, FirstCommentWinsOtherFramesTakeTheLast) {
  const TRead r = Mp3Read(Id3Tag(Frame("COMM", Text("engFirst")) + Frame("COMM", Text("engSecond")) +
                                 Frame("TIT2", Text("One")) + Frame("TIT2", Text("Two"))));
  EXPECT_EQ(r.Meta.Comment, "First");
  EXPECT_EQ(r.Meta.Title, "Two");
}

TEST(Id3ReaderTest, CommentLanguageIsCutBeforeDecoding) {
  // UTF-16: the language code is 8-bit, so cutting after decoding would misalign the text.
  const std::string body = "eng" + Bytes({0xFF, 0xFE, 0, 0, 0xFF, 0xFE}) + Utf16LE("Hello");
  EXPECT_EQ(Mp3Read(Id3Tag(Frame("COMM", Text(body, 1)))).Meta.Comment, "Hello");
}

TEST(Id3ReaderTest, UrlAddressIsEightBitWhateverTheEncoding) {
  const std::string body = Bytes({0xFF, 0xFE}) + Utf16LE("Home") + Bytes({0, 0}) + "http://a.example/";
  EXPECT_EQ(Mp3Read(Id3Tag(Frame("WXXX", Text(body, 1)))).Meta.URL, "Homehttp://a.example/");
}

TEST(Id3ReaderTest, Version22FramesFillTheSameFields) {
  const TRead r = Mp3Read(
      Id3Tag(Frame22("TT2", Text("Title")) + Frame22("TP1", Text("Artist")) + Frame22("TAL", Text("Album")) +
                 Frame22("TRK", Text("4/9")) + Frame22("TYE", Text("2001")) + Frame22("TCO", Text("(8)")) +
                 Frame22("COM", Text("engC")) + Frame22("TXX", Text("u")) + Frame22("TLE", Text("5000")),
             2));
  EXPECT_EQ(r.Result, 0);
  EXPECT_EQ(r.Meta, (TMetaData{"Title", "Artist", "", "Album", "Jazz", "", "", "", "C", "u", 4, 2001, 5000}));
}

TEST(Id3ReaderTest, Version22PictureOf64KiBOrMore) {
  // The size's high byte stands where a four-letter id has its fourth letter.
  const TRead r = Mp3Read(Id3Tag(Frame22("PIC", std::string(70000, 'p')) + Frame22("TT2", Text("After")), 2));
  EXPECT_EQ(r.Meta.Title, "After");
}

TEST(Id3ReaderTest, LongValuesAreSkippedAndLaterFramesStillRead) {
  // 2047 value bytes are read; 2048 are skipped as an unknown frame.
  const std::string longest(2047, 'a');
  EXPECT_EQ(Mp3Read(Id3Tag(Frame("TIT2", Text(longest)))).Meta.Title, longest);
  const TRead r = Mp3Read(Id3Tag(Frame("TIT2", Text("Short")) + Frame("TIT2", Text(std::string(3000, 'b'))) +
                                 Frame("TALB", Text("After"))));
  EXPECT_EQ(r.Result, 0);
  EXPECT_EQ(r.Meta.Title, "Short");
  EXPECT_EQ(r.Meta.Album, "After");
}

TEST(Id3ReaderTest, UnknownFramesAreSkippedBySize) {
  const TRead r = Mp3Read(
      Id3Tag(Frame("APIC", std::string(200000, '\xFF')) + Frame("PRIV", "x") + Frame("TIT2", Text("T"))));
  EXPECT_EQ(r.Meta.Title, "T");
}

TEST(Id3ReaderTest, Version24FrameSizesAreSyncsafe) {
  // 200 bytes read as plain big-endian would be 328 and lose the title after it.
  const TRead r = Mp3Read(Id3Tag(
      Frame("COMM", Text("eng" + std::string(196, 'c')), true) + Frame("TIT2", Text("\xE6\x97\xA5", 3), true),
      4));
  EXPECT_EQ(r.Meta.Comment, std::string(196, 'c'));
  EXPECT_EQ(r.Meta.Title, "\xE6\x97\xA5");
}

TEST(Id3ReaderTest, ZeroSizeFrameSkipsItsFlags) {
  const TRead r = Mp3Read(Id3Tag(Frame("TALB", "") + Frame("TIT2", Text("T"))));
  EXPECT_EQ(r.Meta.Album, "");
  EXPECT_EQ(r.Meta.Title, "T");
}

TEST(Id3ReaderTest, ScanEndsAtInvalidIdOrPadding) {
  // After padding nothing more is read, even a frame.
  std::string tag = Id3Tag(Frame("TIT2", Text("A")), 3, 4) + Frame("TALB", Text("hidden"));
  EXPECT_EQ(Mp3Read(tag).Meta.Album, "");
  // A lower-case id is no frame id: the scan stops there.
  tag = Id3Tag(Frame("tIT2", Text("x")) + Frame("TALB", Text("hidden")));
  const TRead r = Mp3Read(tag);
  EXPECT_EQ(r.Result, 0);
  EXPECT_EQ(r.Meta.Album, "");
}

TEST(Id3ReaderTest, Id3v1Fields) {
  const std::string v1 = Id3v1Tag("Title", "Artist", "Album", "1999", "Comment", 7, 17);
  const TRead r = Read(Mpeg1Layer3Header128 + Audio(16000 - 4) + v1);
  EXPECT_EQ(r.Result, 0);
  // The artist goes to AlbumArtist (the dispatch copies it over); the tag's 128 bytes are not audio.
  EXPECT_EQ(r.Meta,
            (TMetaData{"Title", "", "Artist", "Album", "Rock", "", "", "", "Comment", "", 7, 1999, 1000}));
}

TEST(Id3ReaderTest, Id3v1GenreByteAndEncodings) {
  auto read = [](const std::string& v1) { return Read(Mpeg1Layer3Header128 + Audio(1000) + v1).Meta; };
  EXPECT_EQ(read(Id3v1Tag("", "", "", "", "", 0, 0)).Genre, "");
  EXPECT_EQ(read(Id3v1Tag("", "", "", "", "", 0, 255)).Genre, "(255)");
  EXPECT_EQ(read(Id3v1Tag("Caf\xE9", "", "", "", "", 0, 0)).Title, "Caf\xC3\xA9");
  EXPECT_EQ(read(Id3v1Tag("Caf\xC3\xA9", "", "", "", "", 0, 0)).Title, "Caf\xC3\xA9");
  // Cut at the first zero byte: bytes behind it are left-overs, not text.
  EXPECT_EQ(read(Id3v1Tag(std::string("ab\0cd", 5), "", "", "", "", 0, 0)).Title, "ab");
  EXPECT_EQ(read(Id3v1Tag("  padded   ", "", "", "    ", "", 0, 0)).Title, "padded");
  EXPECT_EQ(read(Id3v1Tag("", "", "", "    ", "", 0, 0)).Year, -1);
}

TEST(Id3ReaderTest, Id3v1IgnoredBehindId3v2ButNotCountedAsAudio) {
  const std::string tag = Id3Tag(Frame("TIT2", Text("v2")), 3, 1000 - 10 - 13);  // a 1000-byte tag
  const std::string v1 = Id3v1Tag("v1", "v1", "", "", "", 0, 0);
  const TRead r = Read(tag + Mpeg1Layer3Header128 + Audio(1600000 - 4) + v1);
  EXPECT_EQ(r.Meta.Title, "v2");
  EXPECT_EQ(r.Meta.AlbumArtist, "");
  EXPECT_EQ(r.Meta.Length, 100000);
}

TEST(Id3ReaderTest, UntaggedFileHasOnlyALength) {
  const TRead r = Read(Mpeg1Layer3Header128 + Audio(32000 - 4));
  EXPECT_EQ(r.Result, 0);
  EXPECT_EQ(r.Meta.Title, "");
  EXPECT_EQ(r.Meta.Year, -1);
  EXPECT_EQ(r.Meta.Length, 2000);
}

// Reads that cannot be completed fail with result 1 and stop everything after them.
TEST(Id3ReaderTest, IncompleteReadsFailAndKeepWhatWasRead) {
  struct TCase {
    const char* Name;
    std::string Bytes;
    std::string Title;
  };
  const std::string title = Frame("TIT2", Text("T"));
  const std::string full = Id3Tag(title + Frame("TALB", Text("Album")), 3, 0);
  const TCase cases[] = {
      {"empty file", "", ""},
      {"shorter than 128 bytes without ID3v2", "not an mp3", ""},
      {"truncated ID3 header", "ID3\x03\0\0\0"s, ""},
      {"frame value past the end", full.substr(0, full.size() - 2), "T"},
      {"frame size bytes past the end", Id3Tag(title, 3, 0) + "TALB\0"s, "T"},
      {"no audio after the tag", Id3Tag(title, 3, 0), "T"},
      {"tag size past the end (top bits set)", "ID3\x03\0\0\xFF\xFF\xFF\xFF"s + title, "T"},
  };
  for (const TCase& c : cases) {
    const TRead r = Read(c.Bytes);
    EXPECT_EQ(r.Result, 1) << c.Name;
    EXPECT_EQ(r.Meta.Title, c.Title) << c.Name;
    EXPECT_EQ(r.Meta.Length, 0) << c.Name;
  }
  // Nothing after the failing read runs: no genre names, no year fix.
  const std::string genre =
      Id3Tag(Frame("TCON", Text("(17)")) + Frame("TYER", Text("0")) + "TALB\0\0"s, 3, 0);
  const TRead r = Read(genre);
  EXPECT_EQ(r.Result, 1);
  EXPECT_EQ(r.Meta.Genre, "(17)");
  EXPECT_EQ(r.Meta.Year, 0);
}

TEST(Id3ReaderTest, FramePastTheEndEndsTheScanNormally) {
  // A skipped frame may point past the end; fewer than 4 bytes for the next id end the scan.
  const std::string bytes = Id3Tag(Frame("TIT2", Text("T")), 3, 0) + "APIC" + BigEndian32(1 << 20) + "xx";
  const TRead r = Read(bytes);
  EXPECT_EQ(r.Meta.Title, "T");
  EXPECT_EQ(r.Result, 0);
  EXPECT_EQ(r.Meta.Length, 0);  // no FF where the audio should start
}

TEST(Id3ReaderTest, NonMp3BytesGiveNoTags) {
  std::string junk(5000, '\0');
  for (size_t i = 0; i < junk.size(); ++i) junk[i] = char(i * 7 % 251);
  const TRead r = Read("RIFF" + junk);
  EXPECT_EQ(r.Result, 0);
  EXPECT_EQ(r.Meta.Title, "");
}

// Counts what a reader asks of its source.
class TCountingSource final : public TByteSource {
 public:
  explicit TCountingSource(const std::string& bytes) : Inner(bytes) {}
  int64_t Size() const override { return Inner.Size(); }
  int64_t ReadAt(int64_t offset, uint8_t* buffer, size_t count) override {
    ++Calls;
    BytesAsked += count;
    return Inner.ReadAt(offset, buffer, count);
  }
  TMemorySource Inner;
  int Calls = 0;
  size_t BytesAsked = 0;
};

TEST(Id3ReaderTest, ReadsOnlyTheBytesItNeeds) {
  // A 300 KB picture in the tag and 4 MB of audio: the picture is skipped, not read.
  const std::string tag =
      Id3Tag(Frame("TIT2", Text("T")) + Frame("APIC", std::string(300000, 'p')) + Frame("TALB", Text("A")));
  const std::string file = tag + Mpeg1Layer3Header128 + Audio(4000000) + Id3v1Tag("", "", "", "", "", 0, 0);
  TCountingSource source(file);
  TMetaData meta;
  EXPECT_EQ(ReadId3(source, meta), 0);
  EXPECT_EQ(meta.Album, "A");
  EXPECT_GT(meta.Length, 0);
  EXPECT_LE(source.Calls, 4);
  EXPECT_LE(source.BytesAsked, 4 * TByteReader::WindowSize);
}

}  // namespace
}  // namespace tunevale
