// What the properties windows show, without a window.
#include "app/properties_texts.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "library/library_test_support.h"
#include "playlist/track_data.h"
#include "support/temp_folder.h"
#include "util/text.h"

namespace tunevale {
namespace {

TEST(PropertiesTextsTest, LocationsAreExactForLocalPathsAndDecodedForAddresses) {
  const std::pair<const char*, const char*> cases[] = {
      {"/home/ann/music/x.mp3", "/home/ann/music/x.mp3"},
      {"/music/a%20b.mp3", "/music/a%20b.mp3"},
      {"http://host/My%20Song.mp3", "http://host/My Song.mp3"},
      {"http://host/%FF.mp3", "http://host/%FF.mp3"},  // not text once decoded
  };
  for (const auto& [path, shown] : cases) EXPECT_EQ(DisplayLocation(path), shown) << path;
}

TEST(PropertiesTextsTest, SizesAreWholeKilobytesOfSixtyFourBitSizes) {
  test::TTempFolder folder;
  const std::string small = folder.Write("small.bin", std::string(1023, 'x'));
  const std::string big = folder.Write("big.bin");
  ASSERT_EQ(::truncate(big.c_str(), (int64_t{4} << 30) + 1024), 0);  // sparse, above 4 GiB
  EXPECT_EQ(ReadFileProperties(small, 0, "").Size, "0 KB");
  EXPECT_EQ(ReadFileProperties(big, 0, "").Size, "4194305 KB");
  EXPECT_EQ(ReadFileProperties(folder / "gone.mp3", 0, "").Size, "");
  EXPECT_EQ(ReadFileProperties(folder.Path(), 0, "").Size, "");  // a folder has no size to show
}

TEST(PropertiesTextsTest, TabsErrorsAndTheLink) {
  TMetaData none;
  ClearMetaData(none);
  TFileProperties p = FileProperties("/x.mp3", none, 0, 0, "");
  EXPECT_FALSE(p.TrackInfoTab || p.AlbumTab || p.ErrorTab);
  EXPECT_EQ(p.LinkText, "");

  TMetaData meta = none;
  meta.Year = 1999;
  meta.URL = "http://band.example/";
  p = FileProperties("/x.mp3", meta, 0, 0, "");
  EXPECT_TRUE(p.TrackInfoTab && p.AlbumTab);
  EXPECT_EQ(p.Year, "1999");
  EXPECT_EQ(p.Track, "");
  EXPECT_EQ(p.LinkUrl, "http://band.example/");
  EXPECT_FALSE(p.LinkIsHelpPage);

  // An unknown format: the error tab and the codecs link, which replaces the address.
  p = FileProperties("/x.mp3", meta, 0, static_cast<int32_t>(0x80040265), "no element");
  EXPECT_TRUE(p.ErrorTab);
  EXPECT_EQ(p.ErrorCode, std::to_string(static_cast<int32_t>(0x80040265)));
  EXPECT_EQ(p.AdvancedError, "no element");
  EXPECT_EQ(p.LinkText, "What\u00A0are\u00A0codecs?");
  EXPECT_EQ(p.LinkUrl, "faq.html#general1");
  EXPECT_TRUE(p.LinkIsHelpPage);
  // An expanded playlist and a web page passed over did not fail.
  for (const int32_t notFailed : {prPlaylistExpanded, prWebPage})
    EXPECT_FALSE(FileProperties("/x.mp3", meta, 0, notFailed, "").ErrorTab) << notFailed;
  // A missing file has an error but no codec to blame.
  p = FileProperties("/x.mp3", none, -1, static_cast<int32_t>(0x80070002), "");
  EXPECT_TRUE(p.ErrorTab);
  EXPECT_EQ(p.LinkText, "");
}

TEST(PropertiesTextsTest, ArtistsAndAlbumsCountAndCollectGenresOnce) {
  TLibrarySettings settings;
  TLibrary library(settings, "/");
  const std::pair<const char*, const char*> tracks[] = {{"A", "Rock"}, {"A", ""},    {"B", "pop"},
                                                        {"A", "ROCK"}, {"B", "Pop"}, {"A", "Jazz"}};
  int n = 0;
  for (const auto& [album, genre] : tracks) {
    TMetaData meta = test::Tags("t", "Artist", album);
    meta.Genre = genre;
    test::AddTestTrack(library, "/m/" + std::to_string(n++) + ".mp3", meta);
  }
  const TArtist& artist = *library.Artist(0);
  const TGroupProperties a = ArtistProperties(artist), b = AlbumProperties(*artist.Album(1));
  // Genres album by album, the first spelling kept.
  EXPECT_EQ(Join({a.Caption, a.Albums, a.Tracks, a.Genres}, "|"), "Artist|2|6|Rock, Jazz, pop");
  EXPECT_EQ(Join({b.Name, b.Artist, b.Tracks, b.Genres}, "|"), "B|Artist|2|pop");
  EXPECT_TRUE(b.IsAlbum && !a.IsAlbum);

  EXPECT_NE(TPropertiesKey::File("/m/A.mp3"), TPropertiesKey::File("/m/a.mp3"));
  EXPECT_NE(TPropertiesKey::Of(artist), TPropertiesKey::Of(*artist.Album(0)));
  TLibrary other(settings, "/");
  test::AddTestTrack(other, "/x.mp3", test::Tags("t", "ARTIST", "b"));
  EXPECT_EQ(TPropertiesKey::Of(*other.Artist(0)->Album(0)), TPropertiesKey::Of(*artist.Album(1)));
  // A window looks its subject up afresh, as the library groups it now.
  const TPropertiesKey albumB = TPropertiesKey::Of(*artist.Album(1));
  EXPECT_EQ(GroupProperties(other, albumB)->Name, "b");
  other.ClearArtists();
  EXPECT_FALSE(GroupProperties(other, albumB));
}

}  // namespace
}  // namespace tunevale
