#include <gtest/gtest.h>

#include "media/flac_reader.h"
#include "media/ogg_reader.h"
#include "media/read_tags.h"
#include "support/temp_folder.h"
#include "xiph_builders.h"

namespace tunevale {
namespace {

using namespace tunevale::testing;

std::string VorbisFile(const std::vector<std::string>& fields, int64_t granule = 0, uint32_t serial = 7) {
  return OggStream({{VorbisId(44100)},
                    {"\x03vorbis" + VorbisComment(fields) + "\x01", 0, true},
                    {"\x05vorbis setup"},
                    {"audio", granule, true}},
                   serial);
}
std::string OpusFile(const std::vector<std::string>& fields, int64_t granule = 0, size_t pageData = 4000) {
  return OggStream({{OpusId(312)}, {"OpusTags" + VorbisComment(fields), 0, true}, {"audio", granule, true}},
                   7, pageData);
}
std::string OggFlacFile(const std::vector<std::string>& fields, int64_t granule = 0) {
  return OggStream({{OggFlacId(48000)},
                    {FlacBlock(4, VorbisComment(fields), true), 0, true},
                    {"\xFF\xF8 audio", granule, true}});
}

struct TContainer {
  const char* Name;
  std::string (*Make)(const std::vector<std::string>&);
  uint8_t (*Reader)(TByteSource&, TMetaData&);
};
const TContainer Containers[] = {
    {"flac", [](const std::vector<std::string>& f) { return FlacFile(f); }, ReadFlac},
    {"vorbis", [](const std::vector<std::string>& f) { return VorbisFile(f); }, ReadOgg},
    {"opus", [](const std::vector<std::string>& f) { return OpusFile(f); }, ReadOgg},
    {"ogg flac", [](const std::vector<std::string>& f) { return OggFlacFile(f); }, ReadOgg},
};

TEST(XiphReaderTest, FieldsAreMappedJoinedAndCleanedInEveryContainer) {
  const std::vector<std::string> fallbacks = {"TITLE=Song",
                                              "artist=One",
                                              "Artist=Two",
                                              "ARTIST= ",
                                              "ALBUM ARTIST=Spaced",
                                              "ALBUM=Record",
                                              "GENRE=Pop",
                                              "LABEL=Label",
                                              "COMPOSER=Comp",
                                              "COPYRIGHT=(c)",
                                              "DESCRIPTION=Desc",
                                              "WEBSITE=http://w.example/",
                                              "TRACKNUMBER=03/12",
                                              "TRACKNUMBER=9",
                                              "YEAR=1999",
                                              "UNKNOWN=x",
                                              "NOEQUALSIGN",
                                              "A_LONG_NAME_OF_NO_FIELD=x",
                                              "TITLE=  Caf\xc3\xa9 \t"};
  const std::vector<std::string> primaries = {"ALBUM ARTIST=Spaced", "ALBUMARTIST=Band", "LABEL=Label",
                                              "ORGANIZATION=Org",    "DESCRIPTION=Desc", "COMMENT=Note",
                                              "WEBSITE=w",           "CONTACT=c",        "DATE=2004-05-01",
                                              "YEAR=1999",           "TRACKNUMBER=A1",   "TITLE=Caf\xe9"};
  for (const TContainer& c : Containers) {
    SCOPED_TRACE(c.Name);
    TRead r = ReadBytes(c.Reader, c.Make(fallbacks));
    EXPECT_EQ(r.Result, 0);
    EXPECT_EQ(r.Meta.Title, "Song; Caf\xc3\xa9");
    EXPECT_EQ(r.Meta.Artist, "One; Two");
    EXPECT_EQ(r.Meta.AlbumArtist, "Spaced");
    EXPECT_EQ(r.Meta.Album, "Record");
    EXPECT_EQ(r.Meta.Genre, "Pop");
    EXPECT_EQ(r.Meta.Publisher, "Label");
    EXPECT_EQ(r.Meta.Composer, "Comp");
    EXPECT_EQ(r.Meta.Copyright, "(c)");
    EXPECT_EQ(r.Meta.Comment, "Desc");
    EXPECT_EQ(r.Meta.URL, "http://w.example/");
    EXPECT_EQ(r.Meta.Track, 3);
    EXPECT_EQ(r.Meta.Year, 1999);

    r = ReadBytes(c.Reader, c.Make(primaries));
    EXPECT_EQ(r.Meta.AlbumArtist, "Band");
    EXPECT_EQ(r.Meta.Publisher, "Org");
    EXPECT_EQ(r.Meta.Comment, "Note");
    EXPECT_EQ(r.Meta.URL, "c");
    EXPECT_EQ(r.Meta.Year, 2004);
    EXPECT_EQ(r.Meta.Track, 0);
    EXPECT_EQ(r.Meta.Title, "Caf\xc3\xa9");  // not UTF-8: read as Latin-1
    EXPECT_EQ(ReadBytes(c.Reader, c.Make({"DATE=c1990", "YEAR=1999"})).Meta.Year, -1);
  }
}

TEST(XiphReaderTest, Lengths) {
  const std::string skeleton = OggStream({{std::string("fishead\0", 8) + std::string(56, '\0')}}, 1);
  const std::string otherStreamLast = OggStream({{"late page", 999999, true}}, 1, 4000, false);
  // Two pages of a packet that goes on: no packet ends on them.
  const std::string noGranuleLast =
      OggStream({{std::string(600, 'a'), 999999}}, 7, 255, false).substr(0, 2 * (27 + 1 + 255));
  struct TCase {
    const char* Name;
    std::string Bytes;
    uint8_t (*Reader)(TByteSource&, TMetaData&);
    int32_t Length;
  };
  const TCase cases[] = {
      {"flac", FlacFile({}, 44100, 441000 + 22), ReadFlac, 10000},
      {"flac rounds", FlacFile({}, 44100, 441000 + 23), ReadFlac, 10001},
      {"flac without a count", FlacFile({}, 44100, 0), ReadFlac, 0},
      {"flac without a rate", FlacFile({}, 0, 441000), ReadFlac, 0},
      {"vorbis", VorbisFile({}, 88200), ReadOgg, 2000},
      {"opus less its pre-skip", OpusFile({}, 3 * 48000 + 312), ReadOgg, 3000},
      {"ogg flac", OggFlacFile({}, 96000), ReadOgg, 2000},
      {"another stream's page last", skeleton + VorbisFile({}, 88200) + otherStreamLast, ReadOgg, 2000},
      {"last page ends no packet", VorbisFile({}, 88200) + noGranuleLast, ReadOgg, 2000},
  };
  for (const TCase& c : cases) EXPECT_EQ(ReadBytes(c.Reader, c.Bytes).Meta.Length, c.Length) << c.Name;
}

TEST(XiphReaderTest, CommentPacketOverManyPagesAmongAnotherStream) {
  // A picture field far larger than a page, then the fields; a skeleton
  // stream's pages come first and between ours.
  const std::string picture = "METADATA_BLOCK_PICTURE=" + std::string(100000, 'Q');
  const std::string ours = OpusFile({"TITLE=Before", picture, "ARTIST=After"}, 48312, 3000);
  const size_t firstPageEnd = 27 + 1 + OpusId(312).size();
  const std::string skeletonBos = OggStream({{std::string("fishead\0", 8) + std::string(56, '\0')}}, 1);
  const std::string skeletonEos = OggStream({{"eos"}}, 1, 4000, false);
  const TRead r = ReadBytes(
      ReadOgg, skeletonBos + ours.substr(0, firstPageEnd) + skeletonEos + ours.substr(firstPageEnd));
  EXPECT_EQ(r.Result, 0);
  EXPECT_EQ(r.Meta.Title, "Before");
  EXPECT_EQ(r.Meta.Artist, "After");
  EXPECT_EQ(r.Meta.Length, 1000);
}

TEST(XiphReaderTest, TruncatedFilesNeverClaimARead) {
  for (const TContainer& c : Containers) {
    const std::string bytes = c.Make({"TITLE=Song", "ARTIST=" + std::string(600, 'a')});
    for (size_t n = 0; n <= bytes.size(); ++n) {
      const TRead r = ReadBytes(c.Reader, bytes.substr(0, n));
      EXPECT_TRUE(r.Result == 1 || r.Meta.Artist.size() == 600u) << c.Name << " cut at " << n;
      EXPECT_TRUE(n < bytes.size() || r.Result == 0) << c.Name;
    }
  }
}

TEST(XiphReaderTest, HostileLengthsAndCounts) {
  std::string notContinued = OpusFile({"TITLE=" + std::string(5000, 't')}, 0, 3000);
  notContinued[notContinued.find("OggS", 100) + 5] = 0;  // the comment's second page claims a fresh packet
  std::string version1 = OpusFile({});
  version1[4] = 1;
  struct TCase {
    const char* Name;
    std::string Bytes;
    uint8_t (*Reader)(TByteSource&, TMetaData&);
    const char* Title;  // kept from before the damage
  };
  const TCase cases[] = {
      {"block past the end", "fLaC" + FlacBlock(4, VorbisComment({"TITLE=x"})).substr(0, 1) + "\xFF\xFF\xFF",
       ReadFlac, ""},
      {"vendor past the end", "fLaC" + FlacBlock(4, Le32(0xFFFFFFFF) + Le32(0), true), ReadFlac, ""},
      {"field past the end",
       "fLaC" + FlacBlock(4, VorbisComment({"TITLE=x"}, 2) + Le32(1000) + "ARTIST=", true), ReadFlac, "x"},
      {"huge count", "fLaC" + FlacBlock(4, VorbisComment({"TITLE=x", "ARTIST=y"}, 0xFFFFFFFF), true),
       ReadFlac, "x"},
      {"field past its block",
       "fLaC" + FlacBlock(4, VorbisComment({"TITLE=x"}, 2) + Le32(9)) + FlacBlock(1, "ARTIST=y", true),
       ReadFlac, "x"},
      {"no mark", std::string(64, 'x'), ReadFlac, ""},
      {"packet not continued", notContinued, ReadOgg, ""},
      {"page version 1", version1, ReadOgg, ""},
      {"unknown codec only", OggStream({{"Speex   " + std::string(72, '\0')}}), ReadOgg, ""},
      {"no page", "OggS", ReadOgg, ""},
  };
  for (const TCase& c : cases) {
    const TRead r = ReadBytes(c.Reader, c.Bytes);
    EXPECT_EQ(r.Result, 1) << c.Name;
    EXPECT_EQ(r.Meta.Title, c.Title) << c.Name;
  }
}

TEST(XiphReaderTest, ReadTagsGoesByTheFirstBytes) {
  test::TTempFolder folder;
  const std::string id3 = Id3Tag(Frame("TIT2", Text("Id3 title")));
  struct TCase {
    const char* Name;
    std::string Bytes;
    uint8_t Result;
    const char* Title;
  };
  const TCase cases[] = {
      {"a.flac", FlacFile({"TITLE=Flac"}), 0, "Flac"},
      {"b.ogg", FlacFile({"TITLE=Flac"}), 0, "Flac"},
      {"c.FLAC", OpusFile({"TITLE=Opus"}), 0, "Opus"},
      {"d.opus", OpusFile({"TITLE=Opus"}), 0, "Opus"},
      {"e.oga", OggFlacFile({"TITLE=Ogg flac"}), 0, "Ogg flac"},
      {"f.flac", id3 + FlacFile({"TITLE=Flac"}), 0, "Flac"},
      {"g.ogg", id3 + std::string(100, 'x'), 1, ""},
      {"h.opus", "Op", 1, ""},
      {"i.oga", "RIFF" + std::string(100, 'x'), 1, ""},
  };
  for (const TCase& c : cases) {
    TMetaData m;
    EXPECT_EQ(ReadTags(folder.Write(c.Name, c.Bytes), m, false), c.Result) << c.Name;
    EXPECT_EQ(m.Title, c.Title) << c.Name;
  }
}

}  // namespace
}  // namespace tunevale
