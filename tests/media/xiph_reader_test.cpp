#include <gtest/gtest.h>

#include "media/flac_reader.h"
#include "media/ogg_reader.h"
#include "media/read_tags.h"
#include "support/temp_folder.h"
#include "util/text.h"
#include "xiph_builders.h"

namespace tunevale {
namespace {

using namespace tunevale::testing;
using TFields = std::vector<std::string>;
using TReader = uint8_t (*)(TByteSource&, TMetaData&);

std::string VorbisFile(const TFields& fields, int64_t granule = 0) {
  return OggStream({{VorbisId(44100)},
                    {"\x03vorbis" + VorbisComment(fields) + "\x01", 0, true},
                    {"\x05vorbis"},
                    {"audio", granule, true}});
}
std::string OpusFile(const TFields& fields, int64_t granule = 0, size_t pageData = 4000) {
  return OggStream({{OpusId(312)}, {"OpusTags" + VorbisComment(fields), 0, true}, {"audio", granule, true}},
                   7, pageData);
}
std::string OggFlacFile(const TFields& fields, int64_t granule = 0) {
  return OggStream({{OggFlacId(48000)},
                    {FlacBlock(4, VorbisComment(fields), true), 0, true},
                    {"\xFF\xF8 audio", granule, true}});
}

const struct {
  const char* Name;
  std::string (*Make)(const TFields&);
  TReader Reader;
} Containers[] = {
    {"flac", [](const TFields& f) { return FlacFile(f); }, ReadFlac},
    {"vorbis", [](const TFields& f) { return VorbisFile(f); }, ReadOgg},
    {"opus", [](const TFields& f) { return OpusFile(f); }, ReadOgg},
    {"ogg flac", [](const TFields& f) { return OggFlacFile(f); }, ReadOgg},
};

TEST(XiphReaderTest, FieldsAreMappedJoinedAndCleanedInEveryContainer) {
  const std::pair<std::string, std::string> cases[] = {
      {"TITLE=Song|artist=One|Artist=Two|ARTIST= |ALBUM ARTIST=Spaced|ALBUM=Record|GENRE=Pop|"
       "LABEL=Label|COMPOSER=Comp|COPYRIGHT=(c)|DESCRIPTION=Desc|WEBSITE=w|TRACKNUMBER=03/12|"
       "TRACKNUMBER=9|YEAR=1999|UNKNOWN=x|NOEQUALSIGN|A_LONG_NAME_OF_NO_FIELD=x|TITLE=  Caf\xc3\xa9 \t",
       "Song; Caf\xc3\xa9|One; Two|Spaced|Record|Pop|Label|Comp|(c)|Desc|w|3|1999"},
      {"ALBUM ARTIST=Spaced|ALBUMARTIST=Band|LABEL=Label|ORGANIZATION=Org|DESCRIPTION=Desc|"
       "COMMENT=Note|WEBSITE=w|CONTACT=c|DATE=2004-05-01|YEAR=1999|TRACKNUMBER=A1|"
       "TITLE=Caf\xe9",  // not UTF-8: read as Latin-1
       "Caf\xc3\xa9||Band|||Org|||Note|c|0|2004"},
      {"DATE=c1990|YEAR=1999|TRACKNUMBER=99999", "||||||||||0|-1"},
  };
  for (const auto& c : Containers) {
    for (const auto& [fields, expected] : cases) {
      const TRead r = ReadBytes(c.Reader, c.Make(Split(fields, '|')));
      EXPECT_EQ(r.Result, 0) << c.Name;
      EXPECT_EQ(Summary(r.Meta), expected) << c.Name << ": " << fields;
    }
  }
}

TEST(XiphReaderTest, LengthsAndStreamLayouts) {
  const std::string skeleton = OggStream({{std::string("fishead\0", 8) + std::string(56, '\0')}}, 1);
  const std::string skeletonLast = OggStream({{"late page", 999999, true}}, 1, 4000, false);
  // Two pages of a packet that goes on: no packet ends on them.
  const std::string noGranuleLast =
      OggStream({{std::string(600, 'a'), 999999}}, 7, 255, false).substr(0, 2 * 283);
  // A picture field far larger than a page between two fields, and another
  // stream's page between our first two.
  const std::string opus = OpusFile(
      {"TITLE=Before", "METADATA_BLOCK_PICTURE=" + std::string(100000, 'Q'), "ARTIST=After"}, 48312, 3000);
  const size_t opusFirstPage = 27 + 1 + OpusId(312).size();
  const std::tuple<const char*, std::string, TReader, int32_t> cases[] = {
      {"flac", FlacFile({}, 44100, 441000 + 22), ReadFlac, 10000},
      {"flac rounds", FlacFile({}, 44100, 441000 + 23), ReadFlac, 10001},
      {"flac without a count", FlacFile({}, 44100, 0), ReadFlac, 0},
      {"vorbis", VorbisFile({}, 88200), ReadOgg, 2000},
      {"ogg flac", OggFlacFile({}, 96000), ReadOgg, 2000},
      {"another stream's page last", skeleton + VorbisFile({}, 88200) + skeletonLast, ReadOgg, 2000},
      {"last page ends no packet", VorbisFile({}, 88200) + noGranuleLast, ReadOgg, 2000},
      {"opus less its pre-skip, comment over pages",
       skeleton + opus.substr(0, opusFirstPage) + skeletonLast + opus.substr(opusFirstPage), ReadOgg, 1000},
  };
  for (const auto& [name, bytes, reader, length] : cases) {
    const TRead r = ReadBytes(reader, bytes);
    EXPECT_EQ(r.Result, 0) << name;
    EXPECT_EQ(r.Meta.Length, length) << name;
  }
  EXPECT_EQ(Summary(ReadBytes(ReadOgg, std::get<1>(cases[7])).Meta), "Before|After|||||||||0|-1");
}

TEST(XiphReaderTest, TruncatedFilesNeverClaimARead) {
  for (const auto& c : Containers) {
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
  const std::string comment = VorbisComment({"TITLE=x"}, 2);  // claims a second field
  // The title is what was read before the damage.
  const std::tuple<const char*, std::string, TReader, const char*> cases[] = {
      {"vendor past the end", "fLaC" + FlacBlock(4, Le32(0xFFFFFFFF) + Le32(0), true), ReadFlac, ""},
      {"huge count", "fLaC" + FlacBlock(4, VorbisComment({"TITLE=x", "A=y"}, 0xFFFFFFFF), true), ReadFlac,
       "x"},
      {"field past its block", "fLaC" + FlacBlock(4, comment + Le32(9)) + FlacBlock(1, "ARTIST=y", true),
       ReadFlac, "x"},
      {"packet not continued", notContinued, ReadOgg, ""},
      {"page version 1", version1, ReadOgg, ""},
      {"unknown codec only", OggStream({{"Speex   " + std::string(72, '\0')}}), ReadOgg, ""},
  };
  for (const auto& [name, bytes, reader, title] : cases) {
    const TRead r = ReadBytes(reader, bytes);
    EXPECT_EQ(r.Result, 1) << name;
    EXPECT_EQ(r.Meta.Title, title) << name;
  }
}

TEST(XiphReaderTest, ReadTagsGoesByTheFirstBytes) {
  test::TTempFolder folder;
  const std::string id3 = Id3Tag(Frame("TIT2", Text("Id3 title")));
  const std::tuple<const char*, std::string, uint8_t, const char*> cases[] = {
      {"b.ogg", FlacFile({"TITLE=Flac"}), 0, "Flac"}, {"c.FLAC", OpusFile({"TITLE=Opus"}), 0, "Opus"},
      {"e.oga", OggFlacFile({"TITLE=Of"}), 0, "Of"},  {"f.flac", id3 + FlacFile({"TITLE=Flac"}), 0, "Flac"},
      {"g.opus", id3 + std::string(100, 'x'), 1, ""}, {"h.oga", "RIFF" + std::string(100, 'x'), 1, ""},
  };
  for (const auto& [name, bytes, result, title] : cases) {
    TMetaData m;
    EXPECT_EQ(ReadTags(folder.Write(name, bytes), m, false), result) << name;
    EXPECT_EQ(m.Title, title) << name;
  }
}

}  // namespace
}  // namespace tunevale
