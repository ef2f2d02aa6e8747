// tunevalectl library scan, run as the real program over a real folder tree.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "library/library.h"
#include "library/library_database.h"
#include "support/mp3_file.h"
#include "support/run_program.h"
#include "support/temp_folder.h"

namespace tunevale {
namespace {

using testing::HasSubstr;

TEST(LibraryScanToolTest, CrawlsSavesAndReadsNothingTheSecondTime) {
  test::TTempFolder dir;
  dir.Write("Music/Abba/Gold/01.mp3", test::MakeMp3({"Dancing Queen", "Abba", "", "Gold", "1", "1992"}));
  dir.Write("Music/Abba/Gold/02.mp3", test::MakeMp3({"Waterloo", "Abba", "", "Gold", "2", "1992"}));
  dir.Write("Music/Clips/Live.avi", "v");
  const std::string db = dir / "data/Library.db";
  const std::vector<std::string> args = {"library", "scan", "--db", db, "--folder", dir / "Music"};

  int status = -1;
  std::string out = test::RunProgram(TUNEVALECTL_PATH, args, status);
  EXPECT_EQ(status, 0);
  EXPECT_THAT(out, HasSubstr("tracks=2 artists=1 albums=1 videos=1 playlists=0 tag_reads=2 "));
  EXPECT_THAT(out, HasSubstr("crawl_ms="));

  // What was saved is what the player would load.
  TLibrarySettings settings;
  settings.LibraryFolders = {dir / "Music"};
  TLibrary library(settings, "/");
  LoadLibrary(library, db);
  ASSERT_NE(library.FindTrackByPath(dir / "Music/Abba/Gold/02.mp3"), nullptr);
  EXPECT_EQ(library.FindTrackByPath(dir / "Music/Abba/Gold/02.mp3")->Title(), "Waterloo");
  EXPECT_EQ(library.CrawlTasks.Count(), 0);

  out = test::RunProgram(TUNEVALECTL_PATH, args, status);
  EXPECT_EQ(status, 0);
  EXPECT_THAT(out, HasSubstr("tracks=2 artists=1 albums=1 videos=1 playlists=0 tag_reads=0 "));

  test::RunProgram(TUNEVALECTL_PATH, {"library", "scan", "--db", db}, status);
  EXPECT_EQ(status, 2);
}

}  // namespace
}  // namespace tunevale
