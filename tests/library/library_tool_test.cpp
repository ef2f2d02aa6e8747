// tunevalectl's library subcommands run as the real program: arguments, output shape, exit
// status. The cases behind them are tested in-process.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "library/library_database.h"
#include "library/library_test_support.h"
#include "search_fixture.h"
#include "support/mp3_file.h"
#include "support/run_program.h"
#include "support/temp_folder.h"
#include "util/atomic_file.h"

namespace tunevale {
namespace {

using json = nlohmann::ordered_json;
using testing::HasSubstr;

class LibraryToolTest : public ::testing::Test {
 protected:
  std::string Run(const std::vector<std::string>& args, int expectedStatus) {
    int status = -2;
    const std::string out = test::RunProgram(TUNEVALECTL_PATH, args, status);
    EXPECT_EQ(status, expectedStatus) << testing::PrintToString(args) << "\n" << out;
    return out;
  }
  std::string WriteLibrary() {
    TLibrarySettings settings;
    settings.LibraryFolders = {Temp / "music"};
    settings.LibraryDbPath = Temp / "Library.db";
    TLibrary library(settings, "/opt/tunevale");
    TMetaData meta = test::Tags("Say \"Hi\"", "Ünïcode", "LP");
    meta.Year = 1999;
    test::AddTestTrack(library, Temp / "music/a.mp3", meta);
    library.Videos.Add(Temp / "music/v.avi", "Clip", false);
    library.CrawlTasks.QueueFullCrawl();
    EXPECT_TRUE(SaveLibrary(library));
    return settings.LibraryDbPath;
  }
  test::TTempFolder Temp;
};

TEST_F(LibraryToolTest, DumpPrintsOneJsonObjectPerRecordInFileOrder) {
  const std::string db = WriteLibrary();
  const std::string out = Run({"library", "dump", db}, 0);
  EXPECT_EQ(
      out,
      "{\"type\":\"SET\",\"fields\":[[\"LIB\",\"Incomplete\"]]}\n"
      "{\"type\":\"MUS\",\"fields\":[[\"PTH\",\"" +
          (Temp / "music/a.mp3") +
          "\"],[\"FMD\",\"0\"],[\"NAM\",\"Say \\\"Hi\\\"\"],[\"RES\",\"0\"],[\"TIT\",\"Say \\\"Hi\\\"\"],"
          "[\"AR1\",\"Ünïcode\"],[\"AR2\",\"Ünïcode\"],[\"ALB\",\"LP\"],[\"TRK\",\"0\"],[\"YER\",\"1999\"],"
          "[\"LEN\",\"0\"]]}\n"
          "{\"type\":\"VID\",\"fields\":[[\"PTH\",\"" +
          (Temp / "music/v.avi") + "\"],[\"NAM\",\"Clip\"]]}\n");
  // A damaged file still prints what it can, and says so by its status.
  const std::string bytes = test::ReadBytes(db);
  const std::string partial =
      Run({"library", "dump", Temp.Write("cut.db", bytes.substr(0, bytes.size() - 3))}, 1);
  EXPECT_EQ(partial.substr(0, 40), out.substr(0, 40));
  Run({"library", "dump", Temp / "missing.db"}, 1);
}

TEST_F(LibraryToolTest, SaveRoundtripRewritesWhatItLoaded) {
  const std::string db = WriteLibrary();
  const std::string out = Temp / "out/Again.db";
  Run({"library", "save-roundtrip", "--db", db, "--folder", Temp / "music", "--out", out}, 0);
  EXPECT_EQ(test::ReadBytes(out), test::ReadBytes(db));  // the incomplete marker comes back as a queued crawl
  Run({"library", "save-roundtrip", "--db", db}, 2);
}

// The file size limit's signal ends the save where it stands, like a kill -9 but at a known byte.
TEST_F(LibraryToolTest, SaveKilledWhileWritingLeavesTheOldFileAndNothingBeside) {
  const std::string db = WriteLibrary();
  const std::string out = Temp.Write("out/Library.db", "the old library");
  int status = 0;
  test::RunProgram("/usr/bin/prlimit",
                   {"--fsize=100", TUNEVALECTL_PATH, "library", "save-roundtrip", "--db", db, "--folder",
                    Temp / "music", "--out", out},
                   status);
  EXPECT_EQ(status, -1);  // killed
  EXPECT_EQ(test::ReadBytes(out), "the old library");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Temp / "out"), {}), 1);
}

TEST_F(LibraryToolTest, ScanCrawlsSavesAndReadsNothingTheSecondTime) {
  Temp.Write("Music/Abba/Gold/01.mp3", test::MakeMp3({"Dancing Queen", "Abba", "", "Gold", "1", "1992"}));
  Temp.Write("Music/Clips/Live.avi", "v");
  const std::string db = Temp / "data/Library.db";
  const std::vector<std::string> args = {"library", "scan", "--db", db, "--folder", Temp / "Music"};
  EXPECT_THAT(Run(args, 0), HasSubstr("tracks=1 artists=1 albums=1 videos=1 playlists=0 tag_reads=1 "));
  // The second run starts from the saved library: nothing to read again.
  EXPECT_THAT(Run(args, 0), HasSubstr("tracks=1 artists=1 albums=1 videos=1 playlists=0 tag_reads=0 "));
  Run({"library", "scan", "--db", db}, 2);
}

TEST_F(LibraryToolTest, SearchPrintsTheRemoteReplyListsInOrder) {
  test::TSearchFixture fixture;
  const std::string db = Temp / "Library.db";
  WriteFileAtomically(db, EncodeLibrary(fixture.Library));
  const auto search = [&](std::vector<std::string> args, int expectedStatus) {
    args.insert(args.begin(), {"library", "search", "--db", db, "--folder", "/music"});
    return Run(args, expectedStatus);
  };
  const json j = json::parse(search({"abba"}, 0));
  std::vector<std::string> keys;
  for (auto it = j.begin(); it != j.end(); ++it) keys.push_back(it.key());
  EXPECT_EQ(keys, (std::vector<std::string>{"artists", "albums", "tracks", "videos", "playlists"}));
  EXPECT_EQ(j["albums"], json::parse(R"([[0, 0, "Waterloo"], [0, 1, "Gold"]])"));
  EXPECT_EQ(j["tracks"][0], json::parse(R"(["/music/ABBA/Waterloo/01 Waterloo.mp3", "Waterloo"])"));
  EXPECT_EQ(json::parse(search({"--hide-incomplete", ""}, 0))["albums"],
            json::parse(R"([[0, 0, "Waterloo"], [1, 0, "Something Else"]])"));
  search({}, 2);  // no query
  std::filesystem::remove(db);
  search({"abba"}, 1);  // a missing database is an error, not an empty result
}

}  // namespace
}  // namespace tunevale
