// tunevalectl library search run as the real program on a database file
// written by the library itself.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "library/library_database.h"
#include "search_fixture.h"
#include "support/run_program.h"
#include "support/temp_folder.h"
#include "util/atomic_file.h"

namespace tunevale {
namespace {

using json = nlohmann::ordered_json;

class LibrarySearchToolTest : public ::testing::Test {
 protected:
  LibrarySearchToolTest() { WriteFileAtomically(Db, EncodeLibrary(Fixture.Library)); }

  json Search(std::vector<std::string> args, int expectedStatus = 0) {
    args.insert(args.begin(), {"library", "search", "--db", Db, "--folder", "/music"});
    int status = -1;
    const std::string out = test::RunProgram(TUNEVALECTL_PATH, args, status);
    EXPECT_EQ(status, expectedStatus) << out;
    return expectedStatus == 0 ? json::parse(out) : json();
  }

  test::TSearchFixture Fixture;
  test::TTempFolder Folder;
  std::string Db = Folder / "Library.db";
};

TEST_F(LibrarySearchToolTest, PrintsWhatTheRemoteRepliesHold) {
  const json j = Search({"abba"});
  EXPECT_EQ(j["artists"], json::parse(R"([[0, "ABBA"]])"));
  EXPECT_EQ(j["albums"], json::parse(R"([[0, 0, "Waterloo"], [0, 1, "Gold"]])"));
  ASSERT_EQ(j["tracks"].size(), 7u);
  EXPECT_EQ(j["tracks"][0], json::parse(R"(["/music/ABBA/Waterloo/01 Waterloo.mp3", "Waterloo"])"));
  EXPECT_EQ(j["videos"], json::array());
  EXPECT_EQ(j["playlists"], json::array());
  std::vector<std::string> keys;
  for (auto it = j.begin(); it != j.end(); ++it) keys.push_back(it.key());
  EXPECT_EQ(keys, (std::vector<std::string>{"artists", "albums", "tracks", "videos", "playlists"}));
}

TEST_F(LibrarySearchToolTest, EmptyQueryListsEverythingWithTagTitles) {
  const json j = Search({""});
  EXPECT_EQ(j["artists"].size(), 4u);
  EXPECT_EQ(j["artists"][3], json::parse(R"([3, ""])"));
  EXPECT_EQ(j["albums"].size(), 5u);
  ASSERT_EQ(j["tracks"].size(), 13u);
  // A track's reply carries its title tag, which may be empty, not its shown name.
  EXPECT_EQ(j["tracks"][12], json::parse(R"(["/music/misc/loose track.mp3", ""])"));
  EXPECT_EQ(j["videos"].size(), 2u);
  EXPECT_EQ(j["playlists"].size(), 2u);
}

TEST_F(LibrarySearchToolTest, HonoursHideIncompleteAndFieldsOutsideTracks) {
  const json hidden = Search({"--hide-incomplete", ""});
  EXPECT_EQ(hidden["albums"], json::parse(R"([[0, 0, "Waterloo"], [1, 0, "Something Else"]])"));
  EXPECT_EQ(hidden["artists"], json::parse(R"([[0, "ABBA"], [1, "The Kinks"]])"));
  const json foo = Search({"foo:bar"});
  EXPECT_EQ(foo["tracks"], json::array());
  EXPECT_EQ(foo["albums"], json::array());
  EXPECT_EQ(foo["videos"], json::parse(R"([["/music/Videos/barn dance.mkv", "Hoedown"]])"));
  EXPECT_EQ(foo["playlists"], json::parse(R"([["/music/bar/Party.m3u", "Party"]])"));
}

TEST_F(LibrarySearchToolTest, MissingDatabaseIsAnErrorNotAnEmptyResult) {
  Db = Folder / "missing.db";
  Search({"abba"}, 1);
  Search({}, 2);  // no query
}

}  // namespace
}  // namespace tunevale
