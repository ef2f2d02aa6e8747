#include "media/read_tags.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <map>

#include "support/temp_folder.h"
#include "tag_builders.h"

namespace tunevale {
namespace {

using namespace tunevale::testing;
using tunevale::test::TTempFolder;

class TFakeLibrary : public TTrackLookup {
 public:
  bool LookupTrack(std::string_view path, TMetaData& meta, uint8_t& readResult) const override {
    Lookups.emplace_back(path);
    const auto it = Tracks.find(std::string(path));
    if (it == Tracks.end()) return false;
    meta = it->second.first;
    readResult = it->second.second;
    return true;
  }
  std::map<std::string, std::pair<TMetaData, uint8_t>> Tracks;
  mutable std::vector<std::string> Lookups;
};

const std::string TaggedMp3 = Id3Tag(Frame("TIT2", Text("From file"))) + Mpeg1Layer3Header128 + Audio(16000 - 4);

TMetaData Stored(const std::string& title) {
  TMetaData m;
  ClearMetaData(m);
  m.Title = title;
  return m;
}

class ReadTagsTest : public ::testing::Test {
 protected:
  TTempFolder Folder;
};

TEST_F(ReadTagsTest, PicksTheReaderByExtensionInAnyCase) {
  const std::string asf = AsfFile(1, AsfContent("Wma title", "", "", "", ""));
  for (const char* name : {"a.mp3", "b.MP3", "c.Mp3"}) {
    TMetaData m;
    EXPECT_EQ(ReadTags(Folder.Write(name, TaggedMp3), m, false), 0) << name;
    EXPECT_EQ(m.Title, "From file") << name;
    EXPECT_EQ(m.Length, 1000) << name;
  }
  for (const char* name : {"a.wma", "b.WMA", "c.wmv", "d.dvr-ms", "e.DVR-MS"}) {
    TMetaData m;
    EXPECT_EQ(ReadTags(Folder.Write(name, asf), m, false), 0) << name;
    EXPECT_EQ(m.Title, "Wma title") << name;
  }
  // An ASF header in a file named .mp3 is no tag; ID3 bytes in a .wma neither.
  TMetaData m;
  EXPECT_EQ(ReadTags(Folder.Write("asf.mp3", asf + std::string(200, 'x')), m, false), 0);
  EXPECT_EQ(m.Title, "");
  EXPECT_EQ(ReadTags(Folder.Write("id3.wma", TaggedMp3), m, false), 0);
  EXPECT_EQ(m.Title, "");
}

// No reader for the type, a missing path, a folder, junk: a defined result and no tag left over.
TEST_F(ReadTagsTest, FilesWithoutATagReadAsNothing) {
  const std::pair<std::string, uint8_t> cases[] = {
      {Folder.Write("a.ogg", TaggedMp3), 1},
      {Folder.Write("b.flac", TaggedMp3), 1},
      {Folder.Write("noext", TaggedMp3), 1},
      {Folder.Write("c.mp3.bak", TaggedMp3), 1},
      {Folder / "gone.mp3", 0},
      {Folder / "gone.ogg", 0},
      {Folder / "gone.wma", 0},
      {Folder.MakeFolder("folder.mp3"), 0},
      {Folder.MakeFolder("folder.txt"), 0},
      {Folder / "a.mp3/inside.mp3", 0},
      {Folder.Write("empty.mp3", ""), 1},
      {Folder.Write("text.mp3", std::string(4000, 'a')), 0},
      {Folder.Write("short.mp3", "hello"), 1},
      {Folder.Write("cut.mp3", TaggedMp3.substr(0, 20)), 1},
      {Folder.Write("empty.wma", ""), 1},
      {Folder.Write("zero.wma", AsfFile(2, AsfOtherGuid + Le64(0))), 1},
  };
  for (const auto& [path, result] : cases) {
    TMetaData m;
    m.Title = "old";
    m.Year = 2000;
    m.FileDate = 42;
    EXPECT_EQ(ReadTags(path, m, false), result) << path;
    EXPECT_EQ(m.Title, "") << path;
    EXPECT_EQ(m.Year, -1) << path;
    EXPECT_EQ(m.FileDate, 42) << path;  // the crawler's, not a tag
  }
}

TEST_F(ReadTagsTest, UnopenableFile) {
  // A symbolic link loop exists as a name but cannot be opened, whoever runs the test.
  const std::string mp3 = Folder / "loop.mp3";
  const std::string wma = Folder / "loop.wma";
  ASSERT_EQ(symlink(mp3.c_str(), mp3.c_str()), 0);
  ASSERT_EQ(symlink(wma.c_str(), wma.c_str()), 0);
  TFakeLibrary library;
  library.Tracks[mp3] = {Stored("Stored"), 0};
  TMetaData m;
  EXPECT_EQ(ReadTags(mp3, m, false, &library), 2);
  EXPECT_EQ(m.Title, "Stored");  // the library's copy stands in
  EXPECT_EQ(ReadTags(mp3, m, false, nullptr), 2);
  EXPECT_EQ(m.Title, "");
  EXPECT_EQ(ReadTags(wma, m, false, &library), 1);
}

TEST_F(ReadTagsTest, FromLibraryTakesTheStoredCopyByExactPath) {
  const std::string path = Folder.Write("Song.mp3", TaggedMp3);
  TFakeLibrary library;
  TMetaData stored = Stored("Stored");
  stored.Artist = "Only artist";
  library.Tracks[path] = {stored, 1};
  TMetaData m;
  EXPECT_EQ(ReadTags(path, m, true, &library), 1);  // the stored result, the file untouched
  EXPECT_EQ(m.Title, "Stored");
  EXPECT_EQ(m.AlbumArtist, "");  // returned as stored, without the artist fill
  // Paths are compared exactly: another case is another file.
  const std::string lower = Folder / "song.mp3";
  EXPECT_EQ(ReadTags(lower, m, true, &library), 0);
  EXPECT_EQ(m.Title, "");
  EXPECT_EQ(library.Lookups.back(), lower);
  // Without the flag the file is read.
  EXPECT_EQ(ReadTags(path, m, false, &library), 0);
  EXPECT_EQ(m.Title, "From file");
  // Not in the library: read from the file.
  library.Tracks.clear();
  EXPECT_EQ(ReadTags(path, m, true, &library), 0);
  EXPECT_EQ(m.Title, "From file");
}

TEST_F(ReadTagsTest, ArtistAndAlbumArtistFillEachOther) {
  TMetaData m;
  const std::string v1 = Id3v1Tag("T", "V1 artist", "", "", "", 0, 0);
  ReadTags(Folder.Write("v1.mp3", Mpeg1Layer3Header128 + Audio(1000) + v1), m, false);
  EXPECT_EQ(m.Artist, "V1 artist");
  EXPECT_EQ(m.AlbumArtist, "V1 artist");
  ReadTags(Folder.Write("a.wma", AsfFile(1, AsfExtended(1, AsfDescriptor("WM/AlbumArtist", 0, AsfText("Band"))))),
           m, false);
  EXPECT_EQ(m.Artist, "Band");
  EXPECT_EQ(m.AlbumArtist, "Band");
  ReadTags(Folder.Write("b.mp3", Id3Tag(Frame("TPE1", Text("Solo")) + Frame("TPE2", Text("Group"))) +
                                     Mpeg1Layer3Header128 + Audio(100)),
           m, false);
  EXPECT_EQ(m.Artist, "Solo");
  EXPECT_EQ(m.AlbumArtist, "Group");
}

}  // namespace
}  // namespace tunevale
