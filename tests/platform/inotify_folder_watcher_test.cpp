#include "platform/inotify_folder_watcher.h"

#include <errno.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <ostream>

#include "support/temp_folder.h"

namespace tunevale {

void PrintTo(const TFolderEvent& e, std::ostream* os) {
  *os << "{" << int(e.Kind) << ", " << e.Path << (e.NewPath.empty() ? "" : " -> " + e.NewPath) << "}";
}

namespace {

using test::TTempFolder;
using testing::ElementsAre;
using testing::IsEmpty;
using testing::UnorderedElementsAre;
namespace fs = std::filesystem;

// Collects what the watcher delivers. The kernel has queued a change by the time the
// syscall returns, so one ProcessEvents after the change sees it.
struct TRecorder {
  explicit TRecorder(TInotifyFolderWatcher& watcher) : Watcher(watcher) {
    Watcher.OnChange = [this](const TFolderEvent& e) { Events.push_back(e); };
  }
  std::vector<TFolderEvent> Take() {
    Watcher.ProcessEvents();
    return std::exchange(Events, {});
  }
  TInotifyFolderWatcher& Watcher;
  std::vector<TFolderEvent> Events;
};

TFolderEvent Ev(TFolderEventKind kind, std::string path, std::string newPath = {}) {
  return {kind, std::move(path), std::move(newPath)};
}
// What writing a new file gives.
std::vector<TFolderEvent> Written(const std::string& path) {
  return {Ev(fekCreated, path), Ev(fekUpdated, path)};
}

class InotifyFolderWatcherTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_GE(Watcher.Fd(), 0);
    Dir.MakeFolder("Music/Old Albums");
    Dir.MakeFolder("Outside");
    Root = Dir / "Music";
    Watcher.SetRoots({Root + "/"});
  }
  TTempFolder Dir;
  std::string Root;
  TInotifyFolderWatcher Watcher;
  TRecorder Recorder{Watcher};
};

TEST_F(InotifyFolderWatcherTest, ReportsFileChangesAndDropsRepeatedNotifications) {
  const std::string path = Dir.Write("Music/a.mp3", "1");
  Dir.Write("Music/a.mp3", "2");                        // a second identical "updated"
  test::SetModificationTime(path, 1700000000);         // and a third
  fs::remove(path);
  EXPECT_THAT(Recorder.Take(), ElementsAre(Ev(fekCreated, path), Ev(fekUpdated, path), Ev(fekDeleted, path)));
  // The same notification after a different one is delivered again.
  Dir.Write("Music/a.mp3", "3");
  EXPECT_EQ(Recorder.Take(), Written(path));
  // And so is a repeat that comes later: the file changed again since it was looked at.
  Dir.Write("Music/a.mp3", "4");
  EXPECT_THAT(Recorder.Take(), ElementsAre(Ev(fekUpdated, path)));
}

TEST_F(InotifyFolderWatcherTest, NewFolderIsWatchedAndWhatWasMadeBeforeItsWatchIsReported) {
  // Everything happens before the watcher gets to look, as with a copied tree.
  Dir.Write("Music/New/Deep/x.mp3", "x");
  Dir.Write("Music/New/y.mp3", "y");
  const std::vector<TFolderEvent> events = Recorder.Take();
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.front(), Ev(fekFolderCreated, Root + "/New"));
  EXPECT_THAT(std::vector(events.begin() + 1, events.end()),
              testing::IsSupersetOf({Ev(fekFolderCreated, Root + "/New/Deep"), Ev(fekCreated, Root + "/New/y.mp3"),
                                     Ev(fekCreated, Root + "/New/Deep/x.mp3")}));
  EXPECT_EQ(Watcher.WatchCount(), 4);

  Dir.Write("Music/New/Deep/z.mp3");
  EXPECT_EQ(Recorder.Take(), Written(Root + "/New/Deep/z.mp3"));
}

TEST_F(InotifyFolderWatcherTest, RenamesInsideTheTreeCarryBothPaths) {
  const std::string file = Dir.Write("Music/Old Albums/t.mp3");
  Recorder.Take();
  fs::rename(file, Root + "/t2.mp3");
  fs::rename(Root + "/Old Albums", Root + "/New Albums");
  EXPECT_THAT(Recorder.Take(), ElementsAre(Ev(fekRenamed, file, Root + "/t2.mp3"),
                                           Ev(fekFolderRenamed, Root + "/Old Albums", Root + "/New Albums")));
  // The renamed folder's watch now reports under its new name.
  Dir.Write("Music/New Albums/u.mp3");
  EXPECT_EQ(Recorder.Take(), Written(Root + "/New Albums/u.mp3"));
}

TEST_F(InotifyFolderWatcherTest, MovesAcrossTheTreeEdgeAreRemovalsAndCreations) {
  const std::string file = Dir.Write("Music/a.mp3");
  Dir.Write("Outside/Album/b.mp3");
  Recorder.Take();

  fs::rename(file, Dir / "Outside/a.mp3");
  fs::rename(Root + "/Old Albums", Dir / "Outside/Old Albums");
  fs::rename(Dir / "Outside/Album", Root + "/Album");
  EXPECT_THAT(Recorder.Take(),
              ElementsAre(Ev(fekDeleted, file), Ev(fekFolderRemoved, Root + "/Old Albums"),
                          Ev(fekFolderCreated, Root + "/Album"), Ev(fekCreated, Root + "/Album/b.mp3")));
  EXPECT_EQ(Watcher.WatchCount(), 2);  // root and Album; the moved-out folder is no longer watched

  Dir.Write("Outside/Old Albums/c.mp3");
  Dir.Write("Music/Album/d.mp3");
  EXPECT_EQ(Recorder.Take(), Written(Root + "/Album/d.mp3"));
}

TEST_F(InotifyFolderWatcherTest, RemovedFoldersAndRootsAreReportedAndUnwatched) {
  Dir.Write("Music/Old Albums/x.mp3");
  Recorder.Take();
  fs::remove_all(Root + "/Old Albums");
  EXPECT_THAT(Recorder.Take(), ElementsAre(Ev(fekDeleted, Root + "/Old Albums/x.mp3"),
                                           Ev(fekFolderRemoved, Root + "/Old Albums")));
  EXPECT_EQ(Watcher.WatchCount(), 1);

  fs::remove_all(Root);
  EXPECT_THAT(Recorder.Take(), ElementsAre(Ev(fekFolderRemoved, Root)));
  EXPECT_EQ(Watcher.WatchCount(), 0);
}

TEST_F(InotifyFolderWatcherTest, SetRootsReplacesTheWatchedSetAndSkipsMissingFolders) {
  Watcher.SetRoots({Dir / "Outside", Dir / "not there"});
  EXPECT_EQ(Watcher.WatchCount(), 1);
  Dir.Write("Music/ignored.mp3");
  const std::string seen = Dir.Write("Outside/seen.mp3");
  EXPECT_EQ(Recorder.Take(), Written(seen));
}

// Runs out of watches after a set number, as the kernel does at its limit.
class TLimitedWatcher : public TInotifyFolderWatcher {
 public:
  int Allowed = 2;

 protected:
  int AddWatch(const std::string& path, uint32_t mask) override {
    if (Allowed == 0) return -ENOSPC;
    --Allowed;
    return TInotifyFolderWatcher::AddWatch(path, mask);
  }
};

TEST(InotifyFolderWatcherLimitTest, DegradesToWhatItCouldWatchAndSaysSoOnce) {
  TTempFolder dir;
  for (const char* f : {"A", "B", "C", "D"}) dir.MakeFolder(std::string("Music/") + f);
  TLimitedWatcher watcher;
  TRecorder recorder(watcher);

  testing::internal::CaptureStderr();
  watcher.SetRoots({dir / "Music"});
  const std::vector<TFolderEvent> atStart = std::exchange(recorder.Events, {});
  dir.MakeFolder("Music/A/New");  // one more folder that cannot be watched
  recorder.Take();
  const std::string said = testing::internal::GetCapturedStderr();

  EXPECT_TRUE(watcher.LimitReached());
  EXPECT_EQ(watcher.WatchCount(), 2);
  EXPECT_NE(said.find("limit of inotify watches"), std::string::npos);
  EXPECT_NE(said.find("fs.inotify.max_user_watches="), std::string::npos);  // how to raise it
  EXPECT_EQ(said.find("limit of"), said.rfind("limit of"));
  // The root and one folder got the two watches; the other three are named, to be searched.
  EXPECT_EQ(atStart.size(), 3u);
  EXPECT_THAT(atStart, testing::Each(testing::Field(&TFolderEvent::Kind, fekUnwatched)));
  // The root is among the watched ones and still reports.
  const std::string file = dir.Write("Music/top.mp3");
  EXPECT_EQ(recorder.Take(), Written(file));
}

}  // namespace
}  // namespace tunevale
