#include "library/search_query.h"

#include <gtest/gtest.h>

#include "library/search_field.h"
#include "util/text.h"

namespace tunevale {
namespace {

struct TParseCase {
  const char* Query;
  TSearchArray Expected;
};

class ParseQueryTest : public ::testing::TestWithParam<TParseCase> {};

TEST_P(ParseQueryTest, GivesItemsInQueryOrder) {
  EXPECT_EQ(ParseQuery(GetParam().Query), GetParam().Expected) << GetParam().Query;
}

INSTANTIATE_TEST_SUITE_P(
    Grammar, ParseQueryTest,
    ::testing::Values(TParseCase{"", {}}, TParseCase{"    ", {}},
                      TParseCase{"abba waterloo", {{"", "abba", false}, {"", "waterloo", false}}},
                      TParseCase{"  ABBA   Waterloo ", {{"", "abba", false}, {"", "waterloo", false}}},
                      TParseCase{"Title:\"Waterloo\"", {{"title", "waterloo", true}}},
                      // The colon splits inside quotes too, and blanks inside quotes stay.
                      TParseCase{"AlbumArtist:\"The Band\"", {{"albumartist", "the band", true}}},
                      TParseCase{"\"AlbumArtist:The Band\"", {{"albumartist", "the band", true}}},
                      // An unclosed quote runs to the end of the text.
                      TParseCase{"title:\"wat", {{"title", "wat", true}}},
                      TParseCase{"title:\"wat er loo", {{"title", "wat er loo", true}}},
                      TParseCase{"title:", {{"title", "", false}}},
                      TParseCase{":abba", {{"", "abba", false}}}, TParseCase{"a:b:c", {{"a", "b:c", false}}},
                      // The quoted flag belongs to its token only.
                      TParseCase{"\"x y\" z", {{"", "x y", true}, {"", "z", false}}},
                      TParseCase{"\"\" z", {{"", "z", false}}},
                      TParseCase{"wa\"ter\"loo", {{"", "waterloo", true}}},
                      TParseCase{"year:199 foo:bar", {{"year", "199", false}, {"foo", "bar", false}}},
                      // Unicode case folding on both field and term.
                      TParseCase{"TITEL:ÄRGER", {{"titel", "ärger", false}}},
                      TParseCase{"ΣΊΣΥΦΟΣ Straße", {{"", "σίσυφοσ", false}, {"", "strasse", false}}},
                      // Inside quotes \" is a quote and \\ a backslash; other backslashes stay, outside too.
                      TParseCase{"AlbumArtist:\"12\\\" Singles\"", {{"albumartist", "12\" singles", true}}},
                      TParseCase{"\"a\\\\\" b", {{"", "a\\", true}, {"", "b", false}}},
                      TParseCase{"\"a\\b\" x\\\"", {{"", "a\\b", true}, {"", "x\\", true}}}));

TEST(NavigationQueryTest, EveryValueReadsBackAsItWas) {
  const std::string names[] = {"12\" Singles", "AC\\DC \\", "", "Mötley \"Crüe\"", "a:b c"};
  for (const std::string& artist : names)
    for (const std::string& album : names) {
      const TSearchArray items = ParseQuery(AlbumQuery(artist, album));
      ASSERT_EQ(items.size(), 2u) << artist << " / " << album;
      EXPECT_EQ(items[0],
                (TSearchArrayItem{"albumartist", CaseFold(artist.empty() ? "<unknown>" : artist), true}));
      EXPECT_EQ(items[1], (TSearchArrayItem{"album", CaseFold(album.empty() ? "<unknown>" : album), true}));
    }
  EXPECT_EQ(EntryQuery("A", "B", "C"), "AlbumArtist:\"A\" Album:\"B\" Title:\"C\"");
  EXPECT_EQ(FolderQuery("/m/x\"y/"), "FileName:\"/m/x\\\"y/\"");
}

TEST(SearchFieldsOf, NamesFieldsExactlyAfterFolding) {
  EXPECT_EQ(SearchFieldsOf(""), sfAllFields);
  EXPECT_EQ(SearchFieldsOf("albumartist"), sfAlbumArtist);
  EXPECT_EQ(SearchFieldsOf("album"), sfAlbum);
  EXPECT_EQ(SearchFieldsOf("composers"), sfComposers);
  EXPECT_EQ(SearchFieldsOf("composer"), 0);
  EXPECT_EQ(SearchFieldsOf("foo"), 0);
  EXPECT_EQ(SearchFieldsOf(ParseQuery("FileName:x")[0].Field), sfFileName);
}

struct TFieldCase {
  const char* Term;
  bool Quoted;
  TFieldRule Rule;
  const char* Value;
  bool Matches;
  bool Exact;
};

class MatchFieldValueTest : public ::testing::TestWithParam<TFieldCase> {};

TEST_P(MatchFieldValueTest, FollowsTheRuleOfTheField) {
  const TFieldCase& c = GetParam();
  bool exact = !c.Exact;
  EXPECT_EQ(MatchFieldValue(c.Term, c.Quoted, c.Rule, c.Value, exact), c.Matches)
      << c.Term << " in " << c.Value;
  EXPECT_EQ(exact, c.Exact) << c.Term << " in " << c.Value;
}

constexpr auto P = TFieldRule::frPlain;
constexpr auto A = TFieldRule::frAlbum;
constexpr auto F = TFieldRule::frFileName;

INSTANTIATE_TEST_SUITE_P(
    Rules, MatchFieldValueTest,
    ::testing::Values(
        TFieldCase{"ate", false, P, "waterloo", true, false},
        TFieldCase{"waterloo", false, P, "waterloo", true, true},
        TFieldCase{"waterloos", false, P, "waterloo", false, false},
        // Quoted terms must name the whole value, except in the file name.
        TFieldCase{"ate", true, P, "waterloo", false, false},
        TFieldCase{"waterloo", true, P, "waterloo", true, true},
        TFieldCase{".flac", true, F, "/music/a/01 song.flac", true, false},
        TFieldCase{".flac", false, F, "/music/a/01 song.flac", true, false},
        // An empty term never matches as a substring, but a quoted one names an empty value.
        TFieldCase{"", false, P, "waterloo", false, false},
        TFieldCase{"", false, P, "", false, true},
        TFieldCase{"", true, P, "", true, true},
        TFieldCase{"", true, F, "/music/x.mp3", false, false},
        // The album rule names the empty value "<unknown>".
        TFieldCase{"<unknown>", false, A, "", true, true},
        TFieldCase{"<unknown>", true, A, "", true, true},
        TFieldCase{"<unknown>", false, P, "", false, false},
        TFieldCase{"<unknown>", false, A, "gold", false, false},
        TFieldCase{"unknown", false, A, "", false, false},
        TFieldCase{"gol", false, A, "gold", true, false},
        TFieldCase{"199", false, P, "1994", true, false},
        TFieldCase{"199", false, P, "-1", false, false}));

}  // namespace
}  // namespace tunevale
