#include <gtest/gtest.h>

#include "playlist/playlist_fixture.h"

namespace tunevale::test {
namespace {

using ::testing::ElementsAre;
using PlayOrderTest = PlaylistFixture;

TEST_F(PlayOrderTest, EmptyPlaylistStopsForEveryCommand) {
  playlist.NextActionExecute();
  EXPECT_EQ(playback.Stops, 1);
  EXPECT_THAT(playback.TrayRequests, ElementsAre(2000));
  playlist.PreviousActionExecute();
  playlist.PlaylistPlayActionExecute();
  playlist.PlayItemIndex();
  EXPECT_EQ(playback.Stops, 4);
  EXPECT_TRUE(playback.Opened.empty());
}

TEST_F(PlayOrderTest, NothingPlayingNextStartsFirstRowPreviousStops) {
  Add({"/m/a.mp3", "/m/b.mp3"});
  playlist.PreviousActionExecute();
  EXPECT_TRUE(playback.Opened.empty());
  EXPECT_EQ(playback.Stops, 1);
  playlist.NextActionExecute();
  EXPECT_THAT(playback.Opened, ElementsAre("/m/a.mp3"));
  EXPECT_EQ(playlist.PlayingIndex(), 0);
  EXPECT_THAT(Images(), ElementsAre(piNowPlaying, piNormal));
  EXPECT_THAT(Selected(), ElementsAre(0));
  EXPECT_EQ(playlist.ItemIndex(), 0);
}

TEST_F(PlayOrderTest, EndsOfThePlaylistByMode) {
  struct Case {
    uint8_t Mode;
    bool NextWraps;
  };
  for (const Case c : {Case{pmOnlyThisTrack, false}, Case{pmRepeat, false}, Case{pmPlayAll, false},
                       Case{pmRepeatAll, true}}) {
    SCOPED_TRACE(int(c.Mode));
    playlist.DeleteAllRows();
    Add({"/m/a.mp3", "/m/b.mp3", "/m/c.mp3"});
    playlist.SetPlayMode(c.Mode);
    playlist.PlayEntry(2, true);
    playback.Opened.clear();
    const int stops = playback.Stops;
    playlist.NextActionExecute();
    if (c.NextWraps) {
      EXPECT_THAT(playback.Opened, ElementsAre("/m/a.mp3"));
    } else {
      EXPECT_TRUE(playback.Opened.empty());
      EXPECT_EQ(playback.Stops, stops + 1);
    }
    playlist.PlayEntry(0, true);
    playback.Opened.clear();
    playlist.PreviousActionExecute();
    EXPECT_TRUE(playback.Opened.empty());
  }
}

TEST_F(PlayOrderTest, NextAndPreviousWaitForARunningOpenAndAHeldSeekButton) {
  Add({"/m/a.mp3", "/m/b.mp3"});
  playback.Opening = true;
  playlist.NextActionExecute();
  playlist.PreviousActionExecute();
  playback.Opening = false;
  playback.SeekStepMade = true;
  playlist.NextActionExecute();
  EXPECT_TRUE(playback.Opened.empty());
  EXPECT_EQ(playback.Stops, 0);
}

TEST_F(PlayOrderTest, EndOfMediaFollowsThePlayMode) {
  Add({"/m/a.mp3", "/m/b.mp3", "/m/pic.jpg"});
  playlist.PlayEntry(0, true);

  playlist.SetPlayMode(pmOnlyThisTrack);
  playlist.AdvancePlayOrder(true);
  EXPECT_EQ(playback.Stops, 1);

  playlist.PlayEntry(0, true);
  playlist.SetPlayMode(pmRepeat);
  playlist.AdvancePlayOrder(true);  // playing: restarts from 0
  EXPECT_EQ(playback.SeeksToStart, 1);
  EXPECT_EQ(playback.Stops, 1);
  playback.StateValue = psStopped;
  playlist.AdvancePlayOrder(true);
  EXPECT_EQ(playback.Stops, 2);

  playlist.PlayEntry(2, true);  // a picture stays shown
  playlist.AdvancePlayOrder(true);
  EXPECT_EQ(playback.SeeksToStart, 1);
  EXPECT_EQ(playback.Stops, 2);

  playlist.SetPlayMode(pmPlayAll);
  playlist.PlayEntry(1, true);
  playback.Opened.clear();
  playlist.AdvancePlayOrder(true);
  playlist.AdvancePlayOrder(false);
  EXPECT_THAT(playback.Opened, ElementsAre("/m/pic.jpg", "/m/b.mp3"));
}

TEST_F(PlayOrderTest, FailedRowIsMarkedAndSkippedInTheDirectionOfTravel) {
  Add({"/m/a.mp3", "/m/bad.mp3", "/m/c.mp3"});
  playback.Fail("/m/bad.mp3");
  playlist.PlayEntry(1, true);
  EXPECT_THAT(playback.Opened, ElementsAre("/m/bad.mp3", "/m/c.mp3"));
  EXPECT_THAT(Images(), ElementsAre(piNormal, piFailed, piNowPlaying));
  EXPECT_EQ(playlist.Row(1).Data->PlayResult.Code, int32_t(0x80040265));
  EXPECT_EQ(playlist.Row(1).Data->PlayResult.Message, "unknown format");
  EXPECT_EQ(playlist.ConsecutiveFailures(), 0);  // the successful open ended the run

  playback.Opened.clear();
  playlist.PlayEntry(1, false);
  EXPECT_THAT(playback.Opened, ElementsAre("/m/bad.mp3", "/m/a.mp3"));

  playlist.SetPlayMode(pmOnlyThisTrack);
  playback.Opened.clear();
  playlist.PlayEntry(1, true);
  EXPECT_THAT(playback.Opened, ElementsAre("/m/bad.mp3"));
  EXPECT_EQ(playlist.Row(1).ImageIndex, piFailed);
}

TEST_F(PlayOrderTest, FiveFailuresInARowEndTheSkipping) {
  Add({"/m/1.mp3", "/m/2.mp3", "/m/3.mp3", "/m/4.mp3", "/m/5.mp3", "/m/6.mp3", "/m/7.mp3"});
  for (int i = 1; i <= 7; ++i) playback.Fail("/m/" + std::to_string(i) + ".mp3");
  playlist.PlayEntry(0, true);
  EXPECT_THAT(playback.Opened, ElementsAre("/m/1.mp3", "/m/2.mp3", "/m/3.mp3", "/m/4.mp3", "/m/5.mp3"));
  EXPECT_THAT(Images(), ElementsAre(2, 2, 2, 2, 2, 0, 0));
  EXPECT_EQ(playlist.PlayingIndex(), -1);
  EXPECT_EQ(playback.State(), psNoGraph);

  // Only a successful open resets the count: another failure does not skip.
  playback.Opened.clear();
  playlist.PlayEntry(5, true);
  EXPECT_THAT(playback.Opened, ElementsAre("/m/6.mp3"));
}

TEST_F(PlayOrderTest, StopDuringAnOpenPreventsPlayAndSkip) {
  Add({"/m/a.mp3", "/m/bad.mp3", "/m/c.mp3"});
  playback.DuringOpen = [&](const std::string&) { playback.Stop(); };
  playlist.PlayEntry(0, true);
  EXPECT_NE(playback.State(), psPlaying);
  EXPECT_EQ(playlist.Row(0).ImageIndex, piNowPlaying);  // not marked failed
  EXPECT_EQ(playlist.Row(0).Data->PlayResult.Code, 0);

  playback.Fail("/m/bad.mp3");
  playback.Opened.clear();
  playlist.PlayEntry(1, true);
  EXPECT_THAT(playback.Opened, ElementsAre("/m/bad.mp3"));
  EXPECT_EQ(playlist.Row(1).ImageIndex, piFailed);
}

TEST_F(PlayOrderTest, PlaylistClearedDuringAnOpenKeepsTheResult) {
  Add({"/m/a.mp3", "/m/bad.mp3"});
  playback.Fail("/m/bad.mp3");
  std::shared_ptr<TTrackData> entry = playlist.Row(1).Data;
  playback.DuringOpen = [&](const std::string&) { playlist.DeleteAllRows(); };
  playlist.PlayEntry(1, true);
  EXPECT_EQ(playlist.Count(), 0);
  EXPECT_EQ(entry->PlayResult.Code, int32_t(0x80040265));
  // The automatic step found nothing to play.
  EXPECT_THAT(playback.Opened, ElementsAre("/m/bad.mp3"));
}

TEST_F(PlayOrderTest, AnEarlierRowRemovedDuringAnOpenLeavesTheMarkerOnTheOpenedEntry) {
  Add({"/m/a.mp3", "/m/b.mp3", "/m/c.mp3"});
  playback.DuringOpen = [&](const std::string&) { Select({0}), playlist.RemoveTracksActionExecute(); };
  playlist.PlayEntry(1, true);
  EXPECT_THAT(Images(), ElementsAre(piNowPlaying, piNormal));  // b, not c
}

TEST_F(PlayOrderTest, WebPagesArePassedOverButNeverForever) {
  Add({"/m/page.html", "/m/a.mp3"});
  playlist.PlayEntry(0, true);
  EXPECT_THAT(playback.Opened, ElementsAre("/m/page.html", "/m/a.mp3"));
  EXPECT_EQ(playlist.PlayingIndex(), 1);

  playlist.DeleteAllRows();
  Add({"/m/x.html", "/m/y.html"});
  playlist.SetPlayMode(pmRepeatAll);
  playback.Opened.clear();
  playlist.PlayEntry(0, true);
  EXPECT_LE(playback.Opened.size(), 4u);
  EXPECT_GE(playback.Stops, 1);
}

TEST_F(PlayOrderTest, PlaylistThatNamesItselfEndsItsExpansion) {
  Add({"/m/self.m3u"});
  playback.ExpandPlaylist = [&](const std::string& path) {
    playlist.DeleteAllRows();
    playlist.AddPlaylistEntry(path);
    playlist.PlayEntry(0, true);
  };
  playlist.PlayEntry(0, true);
  EXPECT_EQ(playback.Opened.size(), size_t(MaxPlaylistNesting));
  EXPECT_EQ(playback.Stops, 1);
  EXPECT_EQ(playlist.Row(0).Data->PlayResult.Code, 0);  // an expansion leaves the stored result

  // A playlist whose first row is a song plays it.
  playback.Opened.clear();
  playback.ExpandPlaylist = [&](const std::string&) {
    playlist.DeleteAllRows();
    playlist.AddPlaylistEntry("/m/song.mp3");
    playlist.PlayEntry(0, true);
  };
  playlist.PlayEntry(0, true);
  EXPECT_THAT(playback.Opened, ElementsAre("/m/self.m3u", "/m/song.mp3"));
  EXPECT_EQ(playlist.PlayingIndex(), 0);
}

TEST_F(PlayOrderTest, PlaySelectedTakesItemIndexThenPlayingThenFirst) {
  Add({"/m/a.mp3", "/m/b.mp3", "/m/c.mp3"});
  playlist.PlaylistPlayActionExecute();
  playlist.SelectOnly(2);
  playlist.PlaylistPlayActionExecute();
  playlist.ClearSelection();
  playlist.SetItemIndex(-1);
  playlist.PlaylistPlayActionExecute();
  playlist.SetItemIndex(3);  // past the last row: no current row
  EXPECT_EQ(playlist.ItemIndex(), -1);
  EXPECT_THAT(playback.Opened, ElementsAre("/m/a.mp3", "/m/c.mp3", "/m/c.mp3"));
}

TEST_F(PlayOrderTest, RemovingThePlayingRowStopsOnlyWhilePlaying) {
  Add({"/m/a.mp3", "/m/b.mp3"});
  playlist.PlayEntry(0, true);
  playlist.SelectOnly(1);
  playlist.RemoveTracksActionExecute();
  EXPECT_EQ(playback.Stops, 0);
  playlist.SelectOnly(0);
  playlist.RemoveTracksActionExecute();
  EXPECT_EQ(playback.Stops, 1);
  EXPECT_EQ(playlist.Count(), 0);

  Add({"/m/a.mp3"});
  playlist.PlayEntry(0, true);
  playback.StateValue = psStopped;
  playlist.ClearPlaylistActionExecute();
  EXPECT_EQ(playback.Stops, 1);
  EXPECT_TRUE(playlist.Cancelled());
  EXPECT_EQ(listener.PlaylistChangedCount, 3);
}

TEST_F(PlayOrderTest, SetPlayModeTellsTheViewsAndIgnoresUnknownModes) {
  playlist.SetPlayMode(pmRepeatAll);
  playlist.SetPlayMode(7);
  EXPECT_EQ(playlist.PlayMode(), pmRepeatAll);
  EXPECT_THAT(listener.Modes, ElementsAre(3));
}

}  // namespace
}  // namespace tunevale::test
