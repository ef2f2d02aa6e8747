// tunevalectl library dump and save-roundtrip, run as the real program.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "library/library_database.h"
#include "library/library_test_support.h"
#include "support/run_program.h"
#include "support/temp_folder.h"
#include "util/atomic_file.h"

namespace tunevale {
namespace {

std::string RunTool(const std::vector<std::string>& args, int& status) {
  return test::RunProgram(TUNEVALECTL_PATH, args, status);
}

class LibraryToolTest : public ::testing::Test {
 protected:
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
  int status = -1;
  const std::string out = RunTool({"library", "dump", db}, status);
  EXPECT_EQ(status, 0);
  const std::string path = Temp / "music/a.mp3";
  EXPECT_EQ(
      out,
      "{\"type\":\"SET\",\"fields\":[[\"LIB\",\"Incomplete\"]]}\n"
      "{\"type\":\"MUS\",\"fields\":[[\"PTH\",\"" +
          path +
          "\"],[\"FMD\",\"0\"],[\"NAM\",\"Say \\\"Hi\\\"\"],[\"RES\",\"0\"],[\"TIT\",\"Say \\\"Hi\\\"\"],"
          "[\"AR1\",\"Ünïcode\"],[\"AR2\",\"Ünïcode\"],[\"ALB\",\"LP\"],[\"TRK\",\"0\"],[\"YER\",\"1999\"],"
          "[\"LEN\",\"0\"]]}\n"
          "{\"type\":\"VID\",\"fields\":[[\"PTH\",\"" +
          (Temp / "music/v.avi") + "\"],[\"NAM\",\"Clip\"]]}\n");

  // A damaged file still prints what it can, and says so by its status.
  std::string bytes;
  ASSERT_TRUE(ReadWholeFile(db, bytes));
  const std::string cut = Temp.Write("cut.db", bytes.substr(0, bytes.size() - 3));
  const std::string partial = RunTool({"library", "dump", cut}, status);
  EXPECT_EQ(status, 1);
  EXPECT_EQ(partial.substr(0, 40), out.substr(0, 40));
  RunTool({"library", "dump", Temp / "missing.db"}, status);
  EXPECT_EQ(status, 1);
}

TEST_F(LibraryToolTest, SaveRoundtripRewritesWhatItLoaded) {
  const std::string db = WriteLibrary();
  const std::string out = Temp / "out/Again.db";
  int status = -1;
  RunTool({"library", "save-roundtrip", "--db", db, "--folder", Temp / "music", "--out", out}, status);
  EXPECT_EQ(status, 0);
  std::string before, after;
  ASSERT_TRUE(ReadWholeFile(db, before));
  ASSERT_TRUE(ReadWholeFile(out, after));
  EXPECT_EQ(after, before);  // the incomplete marker comes back as a queued crawl

  // Folders that no longer hold the entries: all are dropped, and an empty
  // library is no file at all.
  RunTool({"library", "save-roundtrip", "--db", db, "--folder", Temp / "elsewhere", "--out", out}, status);
  EXPECT_EQ(status, 0);
  EXPECT_FALSE(std::filesystem::exists(out));
  RunTool({"library", "save-roundtrip", "--db", db}, status);
  EXPECT_EQ(status, 2);
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
  std::string content;
  ASSERT_TRUE(ReadWholeFile(out, content));
  EXPECT_EQ(content, "the old library");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Temp / "out"), {}), 1);
}

}  // namespace
}  // namespace tunevale
