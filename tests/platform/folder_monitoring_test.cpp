// The inotify watcher feeding the crawler: real folder changes become the
// crawl tasks that keep the library in step.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "library/crawler.h"
#include "platform/inotify_folder_watcher.h"
#include "support/crawler_rig.h"
#include "support/mp3_file.h"
#include "support/temp_folder.h"

namespace tunevale {
namespace {

using testing::ElementsAre;
namespace fs = std::filesystem;

using test::TTaskView;

class FolderMonitoringTest : public testing::Test, protected test::TCrawlerRig {
 protected:
  FolderMonitoringTest() {
    Dir.MakeFolder("Music/Abba");
    Dir.MakeFolder("Elsewhere");
    Music = Dir / "Music";
    Settings.LibraryFolders = {Music};
    Crawler.WatchLibraryFolders(Watcher);
    // Also watched, though not a library folder: what happens there is ignored.
    Watcher.SetRoots({Dir / "Music", Dir / "Elsewhere"});
    Crawler.RefreshSoon = [this] { ++RefreshRequests; };
  }

  // What the changes so far queued; the queue is emptied for the next step.
  std::vector<TTaskView> TakeTasks() {
    Watcher.ProcessEvents();
    std::vector<TTaskView> out = test::QueuedTasks(Library);
    Library.CrawlTasks.Clear();
    return out;
  }
  std::string WriteSong(const std::string& relative, const std::string& title) {
    return Dir.Write(relative, test::MakeMp3({title, "Abba", "", "Gold", "", ""}));
  }

  std::string Music;
  TInotifyFolderWatcher Watcher;
  int RefreshRequests = 0;
};

TEST_F(FolderMonitoringTest, FileChangesQueueTheirFolder) {
  const std::string song = WriteSong("Music/Abba/a.mp3", "A");
  EXPECT_THAT(TakeTasks(), ElementsAre(TTaskView{Music + "/Abba", false, true, false}));
  EXPECT_GT(RefreshRequests, 0);

  fs::remove(song);
  EXPECT_THAT(TakeTasks(), ElementsAre(TTaskView{Music + "/Abba", false, true, false}));

  // Outside the library folders: nothing to do, but the timer is still shortened.
  RefreshRequests = 0;
  Dir.Write("Elsewhere/x.mp3");
  EXPECT_THAT(TakeTasks(), ElementsAre());
  EXPECT_GT(RefreshRequests, 0);
}

TEST_F(FolderMonitoringTest, RenamesQueueTheNewPlaceFirstThenTheOld) {
  const std::string song = WriteSong("Music/Abba/a.mp3", "A");
  Dir.MakeFolder("Music/Other");
  TakeTasks();

  fs::rename(song, Music + "/Other/b.mp3");
  EXPECT_THAT(TakeTasks(), ElementsAre(TTaskView{Music + "/Other", false, true, false},
                                       TTaskView{Music + "/Abba", false, true, false}));

  fs::rename(Music + "/Abba", Music + "/ABBA Gold");
  EXPECT_THAT(TakeTasks(), ElementsAre(TTaskView{Music + "/ABBA Gold", true, true, false},
                                       TTaskView{Music + "/Abba", true, true, false}));

  // Moved out of the library folders: only the old place is looked at.
  fs::rename(Music + "/ABBA Gold", Dir / "Elsewhere/Gold");
  EXPECT_THAT(TakeTasks(), ElementsAre(TTaskView{Music + "/ABBA Gold", true, true, false}));
}

TEST_F(FolderMonitoringTest, NewAndRemovedFoldersAreQueuedWhole) {
  Dir.MakeFolder("Music/New");
  EXPECT_THAT(TakeTasks(), ElementsAre(TTaskView{Music + "/New", true, true, false}));
  fs::remove(Music + "/New");
  EXPECT_THAT(TakeTasks(), ElementsAre(TTaskView{Music + "/New", true, true, false}));
}

TEST_F(FolderMonitoringTest, LostNotificationsQueueTheWholeLibraryFolder) {
  // More changes than the kernel queues before anyone reads them.
  int limit = 16384;
  std::ifstream("/proc/sys/fs/inotify/max_queued_events") >> limit;
  for (int i = 0; i <= limit / 2; ++i) Dir.Write("Music/Abba/" + std::to_string(i) + ".mp3");
  EXPECT_THAT(TakeTasks(), testing::Contains(TTaskView{Music, true, true, false}));
}

TEST_F(FolderMonitoringTest, RunningTheQueuedTasksFollowsAFolderRename) {
  WriteSong("Music/Abba/a.mp3", "Waterloo");
  Watcher.ProcessEvents();
  Crawler.ProcessCrawlTasks();
  ASSERT_NE(Library.FindTrackByPath(Music + "/Abba/a.mp3"), nullptr);

  fs::rename(Music + "/Abba", Music + "/Abba (1974)");
  Watcher.ProcessEvents();
  Crawler.ProcessCrawlTasks();
  EXPECT_EQ(Library.FindTrackByPath(Music + "/Abba/a.mp3"), nullptr);
  const TTrack* moved = Library.FindTrackByPath(Music + "/Abba (1974)/a.mp3");
  ASSERT_NE(moved, nullptr);
  EXPECT_EQ(moved->Title(), "Waterloo");
  EXPECT_EQ(Library.TrackCount(), 1u);
}

}  // namespace
}  // namespace tunevale
