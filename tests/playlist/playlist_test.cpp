#include "playlist/playlist.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "playlist/playlist_fixture.h"
#include "support/temp_folder.h"

namespace tunevale::test {
namespace {

using ::testing::ElementsAre;
using PlaylistTest = PlaylistFixture;

TEST_F(PlaylistTest, EntryWithStarCarriesItsCaption) {
  playlist.AddPlaylistEntry("/m/song.mp3*My caption");
  playlist.AddPlaylistEntry("/m/other song.mp3", "");
  playlist.AddPlaylistEntry("http://radio.example/live", "Radio");
  EXPECT_THAT(Files(), ElementsAre("/m/song.mp3", "/m/other song.mp3", "http://radio.example/live"));
  EXPECT_EQ(playlist.Row(0).Caption, "My caption");
  EXPECT_EQ(playlist.Row(1).Caption, "Other Song");
  EXPECT_EQ(playlist.Row(2).Caption, "Radio");
  EXPECT_FALSE(playlist.Row(0).Data->InfoRead);
  playlist.PlayEntry(0, true);
  EXPECT_THAT(playback.Opened, ElementsAre("/m/song.mp3"));
  EXPECT_THAT(playback.Captions, ElementsAre("My caption"));
}

TEST_F(PlaylistTest, ExistingFileWithStarInItsNameIsNoCaptionForm) {
  TTempFolder folder;
  const std::string path = folder.Write("a*b.mp3", "x");
  playlist.AddPlaylistEntry(path);
  playlist.AddPlaylistEntry(path + "*x | y");  // split where the left part is the file
  EXPECT_THAT(Files(), ElementsAre(path, path));
  EXPECT_EQ(playlist.Row(1).Caption, "x | y");
}

TEST_F(PlaylistTest, FolderIsSearchedForMusicAndVideoInNameOrder) {
  TTempFolder folder;
  // Written out of order: the file system's own order is no name order.
  for (const char* name : {"one.mp3", "sub/deeper/two.ogg", "cover.jpg", "B.mp3", "x.mp3", "list.m3u",
                           "clip.avi", "notes.txt", "X.mp3", "a.mp3"})
    folder.Write(name);
  std::filesystem::create_directory_symlink(folder.Path(), folder / "sub/loop");

  playlist.AddPlaylistEntry(folder.Path());
  // Case folded, bytes as the tie-break; a subfolder where its name falls.
  EXPECT_THAT(Files(),
              ElementsAre(folder / "a.mp3", folder / "B.mp3", folder / "clip.avi", folder / "one.mp3",
                          folder / "sub/deeper/two.ogg", folder / "X.mp3", folder / "x.mp3"));
  EXPECT_THAT(listener.BusyEvents,
              ElementsAre("+Searching for files in folder...", "-Searching for files in folder..."));
}

TEST_F(PlaylistTest, CancelDuringAFolderSearchKeepsTheRowsSoFar) {
  TTempFolder folder;
  for (int i = 0; i < 20; ++i) folder.Write("f" + std::to_string(i) + ".mp3");
  // Each row takes 200 ms, so the throttled pump runs after every entry.
  struct TSlowRows : TPlaylistListener {
    TFakeRuntime* Runtime;
    void PlaylistRowsChanged(const TPlaylistChange&) override { Runtime->ClockMs += 200; }
  } slow;
  slow.Runtime = &runtime;
  playlist.AddListener(&slow);
  runtime.OnProcessPendingMessages = [&] {
    if (playlist.Count() >= 3) playlist.CancelPlaylistActionActionExecute();
  };
  playlist.AddFolderEntries(folder.Path());
  EXPECT_EQ(playlist.Count(), 3);
  playlist.RemoveListener(&slow);
}

TEST_F(PlaylistTest, ReadTrackInfoFillsTagsAndCaptions) {
  settings.ShowArtistInPlaylist = true;
  Add({"/m/a.mp3", "/m/b.mp3", "/m/no-tags.mp3*Kept"});
  int reads = 0;
  playlist.SetTagReader([&](const std::string& path, TMetaData& meta) {
    ++reads;
    if (path == "/m/a.mp3") meta.Title = "Alpha", meta.Artist = "Band";
    if (path == "/m/b.mp3") meta.Title = "Beta";
  });
  playlist.SetCaption(1, "BETA");  // differs only in case: kept
  playlist.ReadTrackInfo(false);
  EXPECT_EQ(playlist.Row(0).Caption, "Band - Alpha");
  EXPECT_EQ(playlist.Row(1).Caption, "BETA");
  EXPECT_EQ(playlist.Row(2).Caption, "No-Tags");
  EXPECT_EQ(playlist.Row(2).Data->MetaData.Title, "No-Tags");
  EXPECT_EQ(listener.PlaylistChangedCount, 1);

  playlist.ReadTrackInfo(false);  // read once only
  EXPECT_EQ(reads, 3);
  settings.ShowArtistInPlaylist = false;
  playlist.ReadTrackInfo(true);
  EXPECT_EQ(playlist.Row(0).Caption, "Alpha");
  EXPECT_EQ(playlist.Row(1).Caption, "Beta");
}

TEST_F(PlaylistTest, ReadTrackInfoSurvivesRowsRemovedMeanwhileAndStopsOnCancel) {
  for (int i = 0; i < 10; ++i) playlist.AddPlaylistEntry("/m/" + std::to_string(i) + ".mp3");
  playlist.SetTagReader([&](const std::string&, TMetaData& meta) {
    meta.Title = "T";
    runtime.Advance(150);
  });
  runtime.OnProcessPendingMessages = [&] {
    if (playlist.Count() > 4) {
      playlist.SelectOnly(playlist.Count() - 1);
      playlist.RemoveTracksActionExecute();
    }
  };
  playlist.ReadTrackInfo(false);
  for (int i = 0; i < playlist.Count(); ++i) EXPECT_TRUE(playlist.Row(i).Data->InfoRead);

  playlist.DeleteAllRows();
  Add({"/m/x.mp3", "/m/y.mp3", "/m/z.mp3"});
  runtime.OnProcessPendingMessages = [&] { playlist.CancelPlaylistActionActionExecute(); };
  playlist.ReadTrackInfo(false);
  EXPECT_TRUE(playlist.Row(0).Data->InfoRead);
  EXPECT_FALSE(playlist.Row(2).Data->InfoRead);
  EXPECT_FALSE(playlist.IsBusy());
}

TEST_F(PlaylistTest, MoveUpAndDownCarryContentsAndMarkers) {
  Add({"/0", "/1", "/2", "/3", "/4"});
  playlist.PlayEntry(2, true);
  Select({2, 3});
  playlist.UpActionExecute();
  EXPECT_THAT(Files(), ElementsAre("/0", "/2", "/3", "/1", "/4"));
  EXPECT_THAT(Selected(), ElementsAre(1, 2));
  EXPECT_EQ(playlist.PlayingIndex(), 1);

  Select({0});
  playlist.UpActionExecute();
  EXPECT_THAT(Files(), ElementsAre("/0", "/2", "/3", "/1", "/4"));

  // A selected block at the top stays whole instead of swapping its own rows.
  Select({0, 1});
  playlist.UpActionExecute();
  EXPECT_THAT(Files(), ElementsAre("/0", "/2", "/3", "/1", "/4"));
  EXPECT_THAT(Selected(), ElementsAre(0, 1));

  Select({3, 4});
  playlist.DownActionExecute();
  EXPECT_THAT(Files(), ElementsAre("/0", "/2", "/3", "/1", "/4"));
  Select({0, 2});
  playlist.DownActionExecute();
  EXPECT_THAT(Files(), ElementsAre("/2", "/0", "/1", "/3", "/4"));
  EXPECT_THAT(Selected(), ElementsAre(1, 3));
  EXPECT_EQ(listener.PlaylistChangedCount, 0);
}

TEST_F(PlaylistTest, DragReorderPutsSelectedRowsBeforeTheTarget) {
  struct Case {
    std::vector<int> Selection;
    int Target;
    std::vector<std::string> Expected;
  };
  const Case cases[] = {
      {{3, 1}, 0, {"/1", "/3", "/0", "/2", "/4"}},
      {{0, 1}, 4, {"/2", "/3", "/0", "/1", "/4"}},
      {{1}, 5, {"/0", "/2", "/3", "/4", "/1"}},
      {{1, 2}, 2, {"/0", "/1", "/2", "/3", "/4"}},  // onto its own row: stays in place
      {{0, 3}, 3, {"/1", "/2", "/0", "/3", "/4"}},
      {{0}, -1, {"/1", "/2", "/3", "/4", "/0"}},  // dropped below the last row
      {{0}, 9, {"/1", "/2", "/3", "/4", "/0"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Target);
    playlist.DeleteAllRows();
    Add({"/0", "/1", "/2", "/3", "/4"});
    playlist.ClearSelection();
    for (int row : c.Selection) playlist.SetSelected(row, true);
    playlist.DragReorder(c.Target);
    EXPECT_EQ(Files(), c.Expected);
    EXPECT_EQ(Selected().size(), c.Selection.size());
  }
  EXPECT_EQ(listener.PlaylistChangedCount, 7);
}

TEST_F(PlaylistTest, ShuffleUsesTheInjectedSourceAndKeepsTheNowPlayingEntry) {
  Add({"/0", "/1", "/2", "/3"});
  playlist.PlayEntry(1, true);
  std::vector<int> draws = {3, 0, 2};
  size_t next = 0;
  std::vector<int> bounds;
  playlist.SetRandomSource([&](int n) {
    bounds.push_back(n);
    return draws[next++];
  });
  playlist.ShuffleActionExecute();
  // i=1<->3, i=2<->0, i=3<->2
  EXPECT_THAT(Files(), ElementsAre("/2", "/3", "/1", "/0"));
  EXPECT_THAT(bounds, ElementsAre(4, 4, 4));
  EXPECT_EQ(playlist.PlayingIndex(), 2);
  EXPECT_EQ(playlist.ItemIndex(), 2);
  playback.Opened.clear();
  playlist.NextActionExecute();
  EXPECT_THAT(playback.Opened, ElementsAre("/0"));
}

TEST_F(PlaylistTest, SortPutsEmptyKeysFirstAndComparesIgnoringCase) {
  Add({"/m/c.mp3", "/m/a.mp3", "/m/b.mp3", "/m/d.mp3"});
  auto tag = [&](int row, std::string title, int track, std::string artist) {
    playlist.Entry(row).MetaData.Title = std::move(title);
    playlist.Entry(row).MetaData.Track = track;
    playlist.Entry(row).MetaData.Artist = std::move(artist);
  };
  tag(0, "zulu", 2, "");
  tag(1, "Émile", 0, "beta");
  tag(2, "", 10, "Alpha");
  tag(3, "alpha", 1, "");
  playlist.PlayEntry(1, true);

  playlist.SortPlaylist(skTitle);
  EXPECT_THAT(Files(), ElementsAre("/m/b.mp3", "/m/d.mp3", "/m/c.mp3", "/m/a.mp3"));
  playlist.SortPlaylist(skTrack);
  EXPECT_THAT(Files(), ElementsAre("/m/a.mp3", "/m/d.mp3", "/m/c.mp3", "/m/b.mp3"));
  playlist.SortPlaylist(skArtist);  // the two without artist keep their order
  EXPECT_THAT(Files(), ElementsAre("/m/d.mp3", "/m/c.mp3", "/m/b.mp3", "/m/a.mp3"));
  playlist.SortPlaylist(skFileName, true);
  EXPECT_THAT(Files(), ElementsAre("/m/d.mp3", "/m/c.mp3", "/m/b.mp3", "/m/a.mp3"));
  EXPECT_EQ(playlist.PlayingIndex(), 3);
  EXPECT_EQ(listener.PlaylistChangedCount, 4);
}

TEST_F(PlaylistTest, FileDateSortPutsOldestFirstAndUndatedEntriesLastInTheirOrder) {
  TTempFolder folder;
  const auto file = [&](const char* name, int ageSeconds) {
    const std::string path = folder.Write(name, "x");
    std::filesystem::last_write_time(
        path, std::filesystem::file_time_type::clock::now() - std::chrono::seconds(ageSeconds));
    return path;
  };
  const std::string newest = file("new.mp3", 10), oldest = file("old.mp3", 3000),
                    middle = file("mid.mp3", 600);
  Add({"http://radio.example/a.mp3", newest, folder / "gone.mp3", oldest, middle});
  playlist.PlayEntry(1, true);
  playlist.SortPlaylist(skFileDate);
  EXPECT_THAT(Files(),
              ElementsAre(oldest, middle, newest, "http://radio.example/a.mp3", folder / "gone.mp3"));
  EXPECT_EQ(playlist.PlayingIndex(), 2);
  playlist.SortPlaylist(skFileDate, true);
  EXPECT_THAT(Files(),
              ElementsAre(newest, middle, oldest, "http://radio.example/a.mp3", folder / "gone.mp3"));
}

TEST_F(PlaylistTest, ChangeRecordsDescribeEachStep) {
  Add({"/0", "/1", "/2", "/3"});
  Select({0, 2});  // the first row alone too: the view must hear of it
  listener.Changes.clear();
  playlist.RemoveTracksActionExecute();
  ASSERT_EQ(listener.Changes.size(), 2u);
  EXPECT_EQ(listener.Changes[0].Kind, pcRemoved);
  EXPECT_EQ(listener.Changes[0].Index, 2);
  EXPECT_EQ(listener.Changes[1].Index, 0);
  EXPECT_THAT(Files(), ElementsAre("/1", "/3"));
  listener.Changes.clear();
  Add({"/4"});
  ASSERT_EQ(listener.Changes.size(), 1u);
  EXPECT_EQ(listener.Changes[0].Kind, pcInserted);
  EXPECT_EQ(listener.Changes[0].Index, 2);
}

}  // namespace
}  // namespace tunevale::test
