#include "library/search_matcher.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "library/search_results.h"
#include "search_fixture.h"

namespace tunevale {
namespace {

using Names = std::vector<std::string>;

class SearchMatcherTest : public ::testing::Test {
 protected:
  TSearchMatcher Matcher(const std::string& query) const {
    return TSearchMatcher(ParseQuery(query), Fixture.Settings.HideIncompleteAlbums);
  }
  template <class TResults, class TName>
  static Names NamesOf(const TResults& results, TName name) {
    Names out;
    for (const auto& r : results) out.emplace_back(name(r));
    return out;
  }
  Names Tracks(const std::string& query) const {
    return NamesOf(FindTracks(Fixture.Library, Matcher(query)), [](TTrack* t) { return t->Name(); });
  }
  Names Albums(const std::string& query) const {
    return NamesOf(FindAlbums(Fixture.Library, Matcher(query)), [](auto& r) { return r.Album->Name(); });
  }
  Names Artists(const std::string& query) const {
    return NamesOf(FindArtists(Fixture.Library, Matcher(query)), [](auto& r) { return r.Artist->Name(); });
  }
  Names Items(const TLibraryItems& items, const std::string& query) const {
    return NamesOf(FindItems(items, Matcher(query)), [](TLibraryItem* i) { return i->Name(); });
  }

  test::TSearchFixture Fixture;
};

struct TTrackCase {
  const char* Query;
  Names Expected;
};

class TrackQueryTest : public SearchMatcherTest, public ::testing::WithParamInterface<TTrackCase> {};

TEST_P(TrackQueryTest, ListsTheMatchingTracksInLibraryOrder) {
  EXPECT_EQ(Tracks(GetParam().Query), GetParam().Expected) << GetParam().Query;
}

const Names kWaterlooAlbum = {"Waterloo", "Honey, Honey", "Watch Out", "Suzy-Hang-Around"};

INSTANTIATE_TEST_SUITE_P(
    Queries, TrackQueryTest,
    ::testing::Values(
        // Each word in any field: the album "Waterloo" by ABBA, and "Waterloo (Live)" by its title.
        TTrackCase{"abba waterloo",
                   {"Waterloo", "Honey, Honey", "Watch Out", "Suzy-Hang-Around", "Waterloo (Live)"}},
        TTrackCase{"ABBA  WATERLOO", {"Waterloo", "Honey, Honey", "Watch Out", "Suzy-Hang-Around",
                                      "Waterloo (Live)"}},
        // Quoted: the whole title, in any case; not titles that merely contain it.
        TTrackCase{"title:\"waterloo\"", {"Waterloo"}}, TTrackCase{"Title:\"WATERLOO\"", {"Waterloo"}},
        TTrackCase{"title:waterloo", {"Waterloo", "Waterloo (Live)", "Waterloo Sunset"}},
        // The file name matches as a substring even when quoted, and ignores case.
        TTrackCase{"filename:\".flac\"", {"Dancing Queen", "Knowing Me, Knowing You", "Waterloo (Live)"}},
        TTrackCase{"album:<unknown>", {"Loose Track"}}, TTrackCase{"albumartist:\"<unknown>\"", {"Loose Track"}},
        TTrackCase{"year:199", {"Dancing Queen", "Knowing Me, Knowing You", "Waterloo (Live)", "Ärger im Paradies"}},
        TTrackCase{"year:-1", {"Loose Track"}}, TTrackCase{"year:\"1967\" death", {"Death of a Clown"}},
        TTrackCase{"foo:bar", {}},
        // An unclosed quote runs to the end, blank included.
        TTrackCase{"title:\"waterloo sunset", {"Waterloo Sunset"}}, TTrackCase{"title:\"wat", {}},
        // An empty term never matches as a substring; quoted, it names an empty value.
        TTrackCase{"title:", {}}, TTrackCase{"title:\"\"", {"Loose Track"}},
        TTrackCase{"composers:davies", {"Waterloo Sunset", "David Watts"}},
        TTrackCase{"artist:farin", {"Ärger im Paradies"}}, TTrackCase{"albumartist:farin", {}},
        TTrackCase{"genre:\"rock\" albumartist:kinks tin", {"Tin Soldier Man"}},
        // Unicode case folding on both sides, full folding included.
        TTrackCase{"ÄRGER", {"Ärger im Paradies"}}, TTrackCase{"album:STRASSE", {"Ärger im Paradies"}},
        TTrackCase{"filename:/ärzte/", {"Ärger im Paradies"}}));

TEST_F(SearchMatcherTest, EmptyQueryMatchesEverything) {
  EXPECT_EQ(Tracks("").size(), 13u);
  EXPECT_EQ(Tracks("   ").size(), 13u);
  EXPECT_EQ(Albums(""), (Names{"Waterloo", "Gold", "Something Else", "Straße", ""}));
  EXPECT_EQ(Artists(""), (Names{"ABBA", "The Kinks", "Die Ärzte", ""}));
  EXPECT_EQ(Items(Fixture.Library.Videos, "").size(), 2u);
}

struct TGroupCase {
  const char* Query;
  bool HideIncomplete;
  Names ExpectedAlbums;
  Names ExpectedArtists;
};

class GroupQueryTest : public SearchMatcherTest, public ::testing::WithParamInterface<TGroupCase> {};

TEST_P(GroupQueryTest, ListsTheMatchingAlbumsAndArtists) {
  Fixture.Settings.HideIncompleteAlbums = GetParam().HideIncomplete;
  EXPECT_EQ(Albums(GetParam().Query), GetParam().ExpectedAlbums) << GetParam().Query;
  EXPECT_EQ(Artists(GetParam().Query), GetParam().ExpectedArtists) << GetParam().Query;
}

INSTANTIATE_TEST_SUITE_P(
    Queries, GroupQueryTest,
    ::testing::Values(
        TGroupCase{"abba", false, {"Waterloo", "Gold"}, {"ABBA"}},
        TGroupCase{"gold", false, {"Gold"}, {}},
        // A term for track fields only: albums and artists show through their tracks.
        TGroupCase{"title:\"waterloo\"", false, {"Waterloo"}, {"ABBA"}},
        TGroupCase{"year:1967", false, {"Something Else"}, {"The Kinks"}},
        // The album field does not apply to artists: they show through their albums.
        TGroupCase{"album:<unknown>", false, {""}, {""}},
        TGroupCase{"album:\"something else\"", false, {"Something Else"}, {"The Kinks"}},
        TGroupCase{"foo:bar", false, {}, {}},
        // Once a term applies to the album's own fields, its tracks are not asked.
        TGroupCase{"albumartist:abba title:\"waterloo\"", false, {}, {}},
        // Incomplete albums (under 4 tracks) hide, and artists with only such albums.
        TGroupCase{"", true, {"Waterloo", "Something Else"}, {"ABBA", "The Kinks"}},
        TGroupCase{"gol", true, {}, {}},
        // ...unless the last comparison found the whole name.
        TGroupCase{"gold", true, {"Gold"}, {}},
        TGroupCase{"GOLD", true, {"Gold"}, {}},
        TGroupCase{"album:\"straße\"", true, {"Straße"}, {"Die Ärzte"}},
        TGroupCase{"die ärzte", true, {}, {}},
        TGroupCase{"\"die ärzte\"", true, {"Straße"}, {"Die Ärzte"}},
        // The album without name is named "<unknown>" in the lists, so that names it exactly.
        TGroupCase{"album:\"<unknown>\"", true, {""}, {""}},
        TGroupCase{"abba album:gold", true, {"Gold"}, {}}));

TEST_F(SearchMatcherTest, VideosAndPlaylistsLookInNameAndPath) {
  const TLibraryItems& videos = Fixture.Library.Videos;
  const TLibraryItems& playlists = Fixture.Library.Playlists;
  // An unknown field looks in both, as a term without field does.
  EXPECT_EQ(Items(videos, "foo:bar"), (Names{"Hoedown"}));
  EXPECT_EQ(Items(playlists, "foo:bar"), (Names{"Party"}));
  EXPECT_EQ(Items(videos, "title:bar"), (Names{}));
  EXPECT_EQ(Items(videos, "title:hoe"), (Names{"Hoedown"}));
  EXPECT_EQ(Items(videos, "filename:hoe"), (Names{}));
  EXPECT_EQ(Items(videos, "filename:BARN"), (Names{"Hoedown"}));
  // Quotes make no difference, and an empty term matches nothing.
  EXPECT_EQ(Items(videos, "\"waterloo\""), (Names{"Waterloo Live"}));
  EXPECT_EQ(Items(videos, "title:"), (Names{}));
  EXPECT_EQ(Items(playlists, "chill title:"), (Names{}));
  EXPECT_EQ(Items(playlists, "CHILL lists"), (Names{"Chill"}));
}

TEST_F(SearchMatcherTest, ResultsCarryLibraryPositions) {
  const std::vector<TAlbumResult> albums = FindAlbums(Fixture.Library, Matcher("kinks"));
  ASSERT_EQ(albums.size(), 1u);
  EXPECT_EQ(albums[0].ArtistIndex, 1);
  EXPECT_EQ(albums[0].AlbumIndex, 0);
  const std::vector<TArtistResult> artists = FindArtists(Fixture.Library, Matcher("ärzte"));
  ASSERT_EQ(artists.size(), 1u);
  EXPECT_EQ(artists[0].ArtistIndex, 2);
}

// A big library's tracks are searched in two halves at once: the same tracks
// in the same order, and the albums the walk noted agree with a fresh walk.
TEST(SearchResultsTest, ABigLibraryGivesWhatAWalkOnOneThreadGives) {
  TLibrarySettings settings;
  settings.LibraryFolders = {"/music"};
  TLibrary library(settings, "/");
  TMetaData meta;
  for (int i = 0; i < 100000; ++i) {
    meta.AlbumArtist = "artist " + std::to_string(i / 10);
    meta.Album = "album";
    meta.Title = i % 10 == 3 && (i / 10 == 4 || i / 10 == 9000) ? "needle" : "hay";
    library.AddTrack(TTrack::Create("/music/" + std::to_string(i), "", meta, 0, false));
  }
  const auto matcher = [&] { return TSearchMatcher(ParseQuery("title:needle"), false); };
  const TSearchMatcher noted = matcher();
  const std::vector<TTrack*> found = FindTracks(library, noted);
  std::vector<TTrack*> walked;
  WalkMatchingTracks(library, matcher(), [&](TTrack* t) { walked.push_back(t); }, [] { return true; });
  EXPECT_EQ(found, walked);
  ASSERT_EQ(found.size(), 2u);
  const auto albumsOf = [](const std::vector<TAlbumResult>& results) {
    std::vector<int> artists;
    for (const TAlbumResult& r : results) artists.push_back(r.ArtistIndex);
    return artists;
  };
  EXPECT_EQ(albumsOf(FindAlbums(library, noted)), (std::vector<int>{4, 9000}));
}

}  // namespace
}  // namespace tunevale
