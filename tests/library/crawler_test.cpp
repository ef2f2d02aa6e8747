#include "library/crawler.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "library/library_database.h"
#include "library/library_scheduler.h"
#include "support/crawler_rig.h"
#include "support/mp3_file.h"
#include "support/temp_folder.h"

namespace tunevale {
namespace {

using test::MakeMp3;
using test::QueuedTasks;
using test::SetModificationTime;
using test::TTaskView;
using test::TTempFolder;
using testing::ElementsAre;
namespace fs = std::filesystem;

constexpr time_t kMonday = 1700000000;  // 2023-11-14
constexpr time_t kTuesday = kMonday + 86400;

// A library over real folders, crawled with the real tag reader.
class CrawlerTest : public testing::Test, protected test::TCrawlerRig {
 protected:
  CrawlerTest() {
    Settings.LibraryFolders = {Dir / "Music"};
    Dir.MakeFolder("Music");
  }

  std::string WriteSong(const std::string& relative, const std::string& title,
                        const std::string& artist = "Abba", const std::string& album = "Gold",
                        time_t modified = kMonday) {
    const std::string path = Dir.Write(relative, MakeMp3({title, artist, "", album, "1", "1992"}));
    SetModificationTime(path, modified);
    return path;
  }
  void Crawl(bool full = true) {
    if (full)
      Library.CrawlTasks.QueueFullCrawl();
    else
      Library.CrawlTasks.QueueRecheck();
    Crawler.ProcessCrawlTasks();
  }
  std::vector<std::string> TrackTitles() const {
    std::vector<std::string> titles;
    for (int a = 0; a < Library.ArtistCount(); ++a)
      for (int b = 0; b < Library.Artist(a)->AlbumCount(); ++b)
        for (int t = 0; t < Library.Artist(a)->Album(b)->TrackCount(); ++t)
          titles.emplace_back(Library.Artist(a)->Album(b)->Track(t)->Title());
    return titles;
  }
};

TEST_F(CrawlerTest, FullCrawlFindsMusicVideosAndPlaylistsAndRereadsNothingUnchanged) {
  const std::string song = WriteSong("Music/Abba/Gold/Waterloo.MP3", "Waterloo");
  WriteSong("Music/Abba/SOS.mp3", "SOS");
  const std::string video = Dir.Write("Music/Clips/Live.avi", "v");
  const std::string playlist = Dir.Write("Music/Best of.m3u", "#EXTM3U\n");
  Dir.Write("Music/cover.txt", "not media");
  ASSERT_EQ(mkfifo((Dir / "Music/stream.mp3").c_str(), 0644), 0);  // named like music, but no file

  Crawl();
  EXPECT_THAT(TrackTitles(), testing::UnorderedElementsAre("Waterloo", "SOS"));
  ASSERT_EQ(Library.ArtistCount(), 1);
  EXPECT_EQ(Library.Artist(0)->Name(), "Abba");
  const TTrack* track = Library.FindTrackByPath(song);
  ASSERT_NE(track, nullptr);
  EXPECT_EQ(track->Path(), song);  // the path's case is kept
  EXPECT_EQ(track->ReadResult(), 0);
  EXPECT_EQ(track->FileDate(), PackFileDate(kMonday));
  EXPECT_FALSE(track->Relative());
  ASSERT_EQ(Library.Videos.Count(), 1);
  EXPECT_EQ(Library.Videos.Item(0)->Path(), video);
  EXPECT_EQ(Library.Videos.Item(0)->Name(), "Live");
  ASSERT_EQ(Library.Playlists.Count(), 1);
  EXPECT_EQ(Library.Playlists.Item(0)->Path(), playlist);
  EXPECT_EQ(Crawler.TagReads(), 2u);
  EXPECT_EQ(Library.CrawlTasks.Count(), 0);
  EXPECT_FALSE(Library.Crawling);
  EXPECT_EQ(Library.BusyText, "");

  Crawl();
  Crawl(false);
  EXPECT_EQ(Crawler.TagReads(), 2u);
  EXPECT_EQ(Library.TrackCount(), 2u);
  EXPECT_EQ(Library.Videos.Count(), 1);
}

TEST_F(CrawlerTest, ChangedFilesAreReadAgainAndGoneFilesRemoved) {
  const std::string touched = WriteSong("Music/a.mp3", "Before");
  const std::string deleted = WriteSong("Music/Other/b.mp3", "Doomed", "Someone", "Else");
  const std::string video = Dir.Write("Music/v.avi");
  Crawl();
  ASSERT_EQ(Library.ArtistCount(), 2);

  Dir.Write("Music/a.mp3", MakeMp3({"After", "Abba", "", "Gold", "1", "1992"}));
  SetModificationTime(touched, kTuesday);
  fs::remove(deleted);
  fs::remove(video);
  Crawl(false);

  EXPECT_THAT(TrackTitles(), ElementsAre("After"));
  EXPECT_EQ(Library.FindTrackByPath(touched)->FileDate(), PackFileDate(kTuesday));
  EXPECT_EQ(Library.ArtistCount(), 1);  // the emptied artist and album went too
  EXPECT_EQ(Library.Videos.Count(), 0);
  EXPECT_EQ(Crawler.TagReads(), 3u);
}

TEST_F(CrawlerTest, MissingLibraryFolderKeepsItsItemsOfflineUntilBackOrRemoved) {
  WriteSong("Music/a.mp3", "Offline");
  Dir.Write("Music/v.avi");
  Dir.Write("Music/p.m3u");
  Crawl();
  fs::rename(Dir / "Music", Dir / "Unplugged");  // the disk is not mounted

  Crawl();
  Crawl(false);
  EXPECT_THAT(TrackTitles(), ElementsAre("Offline"));
  EXPECT_EQ(Library.Videos.Count(), 1);
  EXPECT_EQ(Library.Playlists.Count(), 1);

  fs::rename(Dir / "Unplugged", Dir / "Music");
  fs::remove(Dir / "Music/v.avi");
  Crawl();
  EXPECT_THAT(TrackTitles(), ElementsAre("Offline"));
  EXPECT_EQ(Library.Videos.Count(), 0);  // back, and its files are checked again
  EXPECT_EQ(Crawler.TagReads(), 1u);

  fs::rename(Dir / "Music", Dir / "Unplugged");
  Settings.LibraryFolders.clear();
  Crawl(false);
  EXPECT_EQ(Library.TrackCount(), 0u);
  EXPECT_EQ(Library.Playlists.Count(), 0);
}

// A damaged database's full crawl with the disk unmounted (mount point empty) keeps the tracks.
TEST_F(CrawlerTest, DamagedDatabaseAndEmptyMountPointLoseNothing) {
  for (const std::string name : {"a", "b", "c"}) WriteSong("Music/" + name + ".mp3", name);
  Crawl();
  Settings.LibraryDbPath = Dir / "Library.db";
  ASSERT_TRUE(SaveLibrary(Library));
  std::string damaged = test::ReadBytes(Settings.LibraryDbPath);
  Dir.Write("Library.db", damaged.replace(damaged.size() - 200, 200, 200, '\xFF'));
  fs::rename(Dir / "Music", Dir / "Unplugged");
  Dir.MakeFolder("Music");

  TLibrary reloaded(Settings, Dir / "Program");
  LoadLibrary(reloaded, Settings.LibraryDbPath);
  const size_t loaded = reloaded.TrackCount();
  ASSERT_GT(loaded, 0u);
  TCrawler(reloaded, Extensions, Pump).ProcessCrawlTasks();
  ASSERT_TRUE(SaveLibrary(reloaded));
  reloaded.Flags.LibraryDirty = true;  // a later save leaves the copy alone
  ASSERT_TRUE(SaveLibrary(reloaded));
  EXPECT_EQ(reloaded.TrackCount(), loaded);
  EXPECT_EQ(test::ReadBytes(Dir / "Library.db.damaged"), damaged);
}

TEST_F(CrawlerTest, OnlyTheTaskFolderIsCheckedAndSearched) {
  WriteSong("Music/A/a.mp3", "A");
  WriteSong("Music/B/b.mp3", "B");
  Crawl();
  fs::remove(Dir / "Music/A/a.mp3");
  fs::remove(Dir / "Music/B/b.mp3");
  WriteSong("Music/B/new.mp3", "New B");
  WriteSong("Music/A/new.mp3", "New A");

  Library.CrawlTasks.AddTask(Dir / "Music/B", false, true, false);
  Crawler.ProcessCrawlTasks();
  EXPECT_THAT(TrackTitles(), testing::UnorderedElementsAre("A", "New B"));
}

TEST_F(CrawlerTest, LinkedFoldersAreWalkedOnceAndLinksUpTheTreeNotAtAll) {
  WriteSong("Music/A/a.mp3", "A");
  fs::create_directory_symlink(Dir / "Music", Dir / "Music/A/up");
  fs::create_directory_symlink(Dir / "Music/A", Dir / "Music/B");
  Crawl();
  EXPECT_EQ(Library.TrackCount(), 2u);
  EXPECT_NE(Library.FindTrackByPath(Dir / "Music/A/a.mp3"), nullptr);
  EXPECT_NE(Library.FindTrackByPath(Dir / "Music/B/a.mp3"), nullptr);
}

TEST_F(CrawlerTest, FilesUnderARelativeLibraryFolderStayRelativeWhicheverTaskFindsThem) {
  Settings.LibraryFolders = {"../Music"};  // beside the program's folder
  WriteSong("Music/A/a.mp3", "A");
  WriteSong("Music/B/b.mp3", "B");
  Library.CrawlTasks.AddTask(Dir / "Music/A", false, true, false);  // as the watcher queues it
  Crawler.ProcessCrawlTasks();
  Crawl();
  ASSERT_EQ(Library.TrackCount(), 2u);
  EXPECT_TRUE(Library.FindTrackByPath(Dir / "Music/A/a.mp3")->Relative());
  EXPECT_TRUE(Library.FindTrackByPath(Dir / "Music/B/b.mp3")->Relative());
}

TEST_F(CrawlerTest, CancelSkipsTheCheckAndTheNextTaskStillRuns) {
  WriteSong("Music/A/a.mp3", "Stale");
  Crawl();
  fs::remove(Dir / "Music/A/a.mp3");
  WriteSong("Music/A/b.mp3", "First folder");
  WriteSong("Music/B/c.mp3", "Second folder");
  WriteSong("Music/C/d.mp3", "Third folder");

  Runtime.ClockMs += 1000;  // past the pump's throttle again
  std::vector<size_t> tracksAfterEachTask;
  Crawler.RefreshLibraryLists = [&] { tracksAfterEachTask.push_back(Library.TrackCount()); };
  Runtime.OnProcessPendingMessages = [&] {
    Crawler.CancelCrawlActionExecute();
    Runtime.OnProcessPendingMessages = nullptr;
  };
  Library.CrawlTasks.QueueFullCrawl();
  Library.CrawlTasks.QueueRecheck();
  Crawler.ProcessCrawlTasks();

  // The first task ended after the folder it was in: one new track, the stale one kept.
  ASSERT_EQ(tracksAfterEachTask.size(), 2u);
  EXPECT_EQ(tracksAfterEachTask[0], 2u);
  // The re-check ran afterwards and dropped the stale track.
  EXPECT_EQ(Library.TrackCount(), 1u);
  EXPECT_EQ(Library.FindTrackByPath(Dir / "Music/A/a.mp3"), nullptr);
  EXPECT_FALSE(Library.Flags.CancelCrawl);
  EXPECT_EQ(Library.CrawlTasks.Count(), 0);
}

TEST_F(CrawlerTest, LibraryOffEmptiesItWithoutReadingFiles) {
  WriteSong("Music/a.mp3", "A");
  Dir.Write("Music/v.avi");
  Crawl();
  Settings.UseLibrary = false;
  Crawl();
  EXPECT_EQ(Library.ArtistCount(), 0);
  EXPECT_EQ(Library.Videos.Count(), 0);
  EXPECT_EQ(Library.CrawlTasks.Count(), 0);
  EXPECT_EQ(Crawler.TagReads(), 1u);
}

TEST_F(CrawlerTest, ARunIsNotReenteredAndWorkQueuedMeanwhileRunsAfterIt) {
  WriteSong("Music/A/a.mp3", "A");
  WriteSong("Music/B/b.mp3", "B");
  int nestedCalls = 0;
  Runtime.OnProcessPendingMessages = [&] {
    Runtime.OnProcessPendingMessages = nullptr;
    ++nestedCalls;
    Crawler.ProcessCrawlTasks();  // the idle handler or a timer, fired inside the pump
    Library.CrawlTasks.AddTask(Dir / "Music/B", false, false, true);
  };
  std::vector<uint64_t> readsAfterEachRun;
  Crawler.RefreshLibraryLists = [&] { readsAfterEachRun.push_back(Crawler.TagReads()); };
  Crawl();
  EXPECT_EQ(nestedCalls, 1);
  EXPECT_THAT(readsAfterEachRun, ElementsAre(2u, 3u));  // the forced re-read of B came after the crawl
}

TEST_F(CrawlerTest, ChangeInTheFolderBeingCrawledAndASaveMeanwhileAreNotLost) {
  WriteSong("Music/A/a.mp3", "A");
  Settings.LibraryDbPath = Dir / "Library.db";
  Runtime.OnProcessPendingMessages = [&] {
    Runtime.OnProcessPendingMessages = nullptr;
    EXPECT_TRUE(SaveLibrary(Library));
    WriteSong("Music/A/n.mp3", "N");
    Library.CrawlTasks.AddTask(Dir / "Music/A", true, true, false);
  };
  Library.CrawlTasks.AddTask(Dir / "Music/A", true, true, false);
  Crawler.ProcessCrawlTasks();
  EXPECT_THAT(TrackTitles(), testing::UnorderedElementsAre("A", "N"));
  EXPECT_EQ(Library.CrawlTasks.Count(), 0);
}

TEST_F(CrawlerTest, AFileThatCannotBeOpenedIsReadOncePerRun) {
  int reads = 0;
  TCrawler failing(Library, Extensions, Pump, [&](const std::string&, TMetaData& meta, bool) {
    ++reads;
    ClearMetaData(meta);
    return uint8_t{2};
  });
  WriteSong("Music/a.mp3", "A");
  Library.CrawlTasks.QueueFullCrawl();
  failing.ProcessCrawlTasks();
  EXPECT_EQ(reads, 1);
  ASSERT_EQ(Library.TrackCount(), 1u);
  EXPECT_EQ(Library.Artist(0)->Album(0)->Track(0)->ReadResult(), 2);

  // The re-check reads it again (result 2), once, though the fresh track lands behind the walk.
  Library.CrawlTasks.QueueRecheck();
  failing.ProcessCrawlTasks();
  EXPECT_EQ(reads, 2);
}

size_t ThreadsRunning() {
  return static_cast<size_t>(
      std::distance(fs::directory_iterator("/proc/self/task"), fs::directory_iterator()));
}

// Tags read ahead on worker threads change nothing the library holds or the order it
// holds it in, stopped or not: the saved file is byte for byte the one-thread crawl's.
TEST_F(CrawlerTest, ReadingAheadOnThreadsBuildsTheLibraryTheWalkBuilds) {
  std::vector<std::string> changed;
  for (int i = 0; i < 60; ++i) {
    const std::string folder = "Music/" + std::to_string(i % 7) + "/" + std::to_string(i % 3) + "/";
    const std::string song = WriteSong(folder + std::to_string(i) + ".mp3", "Song " + std::to_string(i),
                                       "Artist " + std::to_string(i % 5), "Album " + std::to_string(i % 4));
    if (i % 4 == 0) changed.push_back(song);
    if (i % 9 == 0) Dir.Write(folder + std::to_string(i) + ".avi");
  }
  Dir.Write("Music/4/broken.mp3", "ID3 not a tag");
  // Folders entered through links are walked as well, and those up the tree not at all.
  fs::create_directory_symlink(Dir / "Music/1", Dir / "Music/5/linked");
  fs::create_directory_symlink(Dir / "Music", Dir / "Music/2/up");
  struct TCase {
    const char* Name;
    int StopAfterPumps;  // 0: never
    bool Rescan;         // a second crawl after some files changed
  };
  for (const TCase& c :
       {TCase{"whole crawl", 0, false}, TCase{"stopped after the first file", 1, false},
        TCase{"stopped in the middle", 25, false}, TCase{"rescan of changed files", 0, true}}) {
    std::string saved[2];
    for (unsigned threads : {0u, 4u}) {
      SCOPED_TRACE(std::string(c.Name) + " with " + std::to_string(threads) + " threads");
      TLibrarySettings settings = Settings;
      settings.LibraryDbPath = Dir / ("Library" + std::to_string(threads) + ".db");
      TLibrary library(settings, Dir / "Program");
      test::TFakeRuntime runtime;
      runtime.TickPerReadMs = 100;  // every file pumps
      TMessagePump pump(runtime);
      TCrawler crawler(library, Extensions, pump);
      crawler.SetReadThreads(threads);
      if (c.Rescan) {
        for (const std::string& song : changed) SetModificationTime(song, kMonday);
        library.CrawlTasks.QueueFullCrawl();
        crawler.ProcessCrawlTasks();
        for (const std::string& song : changed) SetModificationTime(song, kTuesday);
      }
      int pumps = 0;
      runtime.OnProcessPendingMessages = [&] {
        if (++pumps == c.StopAfterPumps) crawler.CancelCrawlActionExecute();
      };
      const size_t threadsBefore = ThreadsRunning();
      library.CrawlTasks.QueueFullCrawl();
      crawler.ProcessCrawlTasks();
      EXPECT_EQ(ThreadsRunning(), threadsBefore);
      if (c.StopAfterPumps > 0) {
        EXPECT_GT(library.TrackCount(), 0u);
        EXPECT_LT(library.TrackCount(), 70u);
      } else {
        EXPECT_EQ(library.TrackCount(), 70u);
      }
      ASSERT_TRUE(SaveLibrary(library));
      saved[threads > 0] = test::ReadBytes(settings.LibraryDbPath);
    }
    EXPECT_EQ(saved[0], saved[1]) << c.Name;
  }
}

TEST_F(CrawlerTest, NoticeFileQueuesTheFolderWhenTheLibraryShouldLearnSomething) {
  const std::string known = WriteSong("Music/Known/k.mp3", "Known");
  Crawl();
  TMetaData meta;

  // Unchanged and known: nothing to do.
  EXPECT_EQ(Crawler.NoticeFile(known, meta, false), 0);
  EXPECT_EQ(meta.Title, "Known");
  EXPECT_THAT(QueuedTasks(Library), ElementsAre());

  // Tags changed but the time stamp did not: re-read by force.
  Dir.Write("Music/Known/k.mp3", MakeMp3({"Retagged", "Abba", "", "Gold", "1", "1992"}));
  SetModificationTime(known, kMonday);
  Crawler.NoticeFile(known, meta, false);
  // From the library: the stored copy answers and nothing is queued.
  EXPECT_EQ(Crawler.NoticeFile(known, meta, true), 0);
  EXPECT_EQ(meta.Title, "Known");
  // A file in the library folders the library does not know.
  const std::string unknown = WriteSong("Music/New/n.mp3", "New");
  Crawler.NoticeFile(unknown, meta, false);
  // A file outside the library folders is none of its business.
  Crawler.NoticeFile(WriteSong("Elsewhere/e.mp3", "E"), meta, false);
  // A touched file.
  SetModificationTime(known, kTuesday);
  Crawler.NoticeFile(known, meta, false);
  EXPECT_THAT(QueuedTasks(Library), ElementsAre(TTaskView{Dir / "Music/Known", false, true, true},
                                                TTaskView{Dir / "Music/New", false, true, false},
                                                TTaskView{Dir / "Music/Known", false, true, false}));

  // A file gone from the library folders queues its folder for the check.
  Library.CrawlTasks.Clear();
  Crawler.NoticeFile(Dir / "Music/Gone/g.mp3", meta, false);
  EXPECT_THAT(QueuedTasks(Library), ElementsAre(TTaskView{Dir / "Music/Gone", false, true, false}));
}

TEST(PackFileDateTest, PacksLocalDateAndTimeTheDosWay) {
  struct {
    int Year, Month, Day, Hour, Minute, Second;
    uint32_t Expected;
  } cases[] = {
      {2024, 3, 15, 13, 45, 31, (44u << 9 | 3u << 5 | 15u) << 16 | (13u << 11 | 45u << 5 | 15u)},
      {1980, 1, 1, 0, 0, 0, (1u << 5 | 1u) << 16},
      {1975, 6, 1, 12, 0, 0, (1u << 5 | 1u) << 16},  // before the epoch of the format: clamped
      {2107, 12, 31, 23, 59, 58, (127u << 9 | 12u << 5 | 31u) << 16 | (23u << 11 | 59u << 5 | 29u)},
  };
  for (const auto& c : cases) {
    tm local{};
    local.tm_year = c.Year - 1900;
    local.tm_mon = c.Month - 1;
    local.tm_mday = c.Day;
    local.tm_hour = c.Hour;
    local.tm_min = c.Minute;
    local.tm_sec = c.Second;
    local.tm_isdst = -1;
    EXPECT_EQ(static_cast<uint32_t>(PackFileDate(mktime(&local))), c.Expected) << c.Year;
  }
}

// A watcher at the system's limit: it watches nothing and says so.
struct TRefusingWatcher : TFolderWatcher {
  void SetRoots(const std::vector<std::string>& roots) override {
    for (const std::string& root : roots) OnChange({fekUnwatched, root, {}});
  }
};

// The scheduler: work starts about a second after it is queued, on the idle loop.
TEST_F(CrawlerTest, QueuedWorkRunsFromTheIdleLoopASecondLater) {
  TLibraryScheduler scheduler(Runtime, Library, Crawler);
  WriteSong("Music/a.mp3", "A");
  EXPECT_EQ(scheduler.RefreshTimer().Interval(), 4000);
  Runtime.Advance(4000);
  EXPECT_FALSE(Runtime.HasIdleHandler());  // nothing to do

  Runtime.Advance(3000);
  Library.CrawlTasks.QueueFullCrawl();
  EXPECT_EQ(scheduler.RefreshTimer().Interval(), 1000);
  Runtime.Advance(999);
  EXPECT_FALSE(Runtime.HasIdleHandler());
  Runtime.Advance(1);
  EXPECT_EQ(scheduler.RefreshTimer().Interval(), 4000);
  EXPECT_EQ(Library.TrackCount(), 0u);  // only once the loop is idle
  EXPECT_TRUE(Runtime.RunIdle());
  EXPECT_EQ(Library.TrackCount(), 1u);

  // Stale lists alone are refilled from the idle loop too.
  int refills = 0;
  Crawler.RefreshLibraryLists = [&] {
    ++refills;
    Library.Flags.ListsStale = false;
  };
  Library.Flags.ListsStale = true;
  Runtime.Advance(4000);
  EXPECT_TRUE(Runtime.RunIdle());
  EXPECT_EQ(refills, 1);

  TRefusingWatcher watcher;
  Crawler.WatchLibraryFolders(watcher);
  WriteSong("Music/b.mp3", "B");
  Runtime.Advance(4000);
  EXPECT_TRUE(Runtime.RunIdle());
  EXPECT_EQ(Library.TrackCount(), 2u);
  EXPECT_EQ(Crawler.TagReads(), 2u);  // the unchanged file is not read again
  Runtime.Advance(4000);
  EXPECT_FALSE(Runtime.HasIdleHandler());  // and not at every tick
}

}  // namespace
}  // namespace tunevale
