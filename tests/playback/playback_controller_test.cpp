#include "playback/playback_controller.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <tuple>

#include "playback/fake_filter_graph.h"
#include "support/controller_rig.h"
#include "support/fake_runtime.h"

namespace tunevale {
namespace {

using test::TFakeFilterGraph;
using test::TFakeRuntime;

class TRecordingView : public TPlaybackView {
 public:
  void ShowMediaPage(bool hasVideo) override { MediaPages.push_back(hasVideo); }
  bool TrayControlsVisible() const override { return Tray; }
  std::vector<bool> MediaPages;
  bool Tray = false;
};

class TStateCounter : public TPlaybackListener {
 public:
  void NotifyState(bool a, bool b, bool v) override {
    Volumes += v;
    if (C) Log.push_back(std::to_string(a + 2 * b + 4 * v) + C->TitleLabel() + "|" + C->TimeLabel());
  }
  int Volumes = 0;
  const TPlaybackController* C = nullptr;  // logs what it shows at each notification
  std::vector<std::string> Log;
};

class PlaybackControllerTest : public ::testing::Test,
                               protected test::TControllerRig<TFakeFilterGraph, TFakeRuntime> {
 protected:
  PlaybackControllerTest() {
    Controller.SetView(&View);
    Controller.SetListener(&States);
    States.C = &Controller;
    Controller.SetTagReader([this](const std::string& path, TMetaData& meta) {
      ClearMetaData(meta);
      if (auto it = Tags.find(path); it != Tags.end()) meta = it->second;
    });
  }

  void Add(const std::string& path, const std::string& title = "", int32_t lengthMs = 0) {
    Playlist.AddPlaylistEntry(path);
    TMetaData meta;
    meta.Title = title;
    meta.Artist = title.empty() ? "" : "Band";
    meta.Album = "Album";
    meta.Length = lengthMs;
    Tags[path] = meta;
  }

  TRecordingView View;
  TStateCounter States;
  std::map<std::string, TMetaData> Tags;
};

// The tray controls have no room for the album: they count rows, from 1.
TEST_F(PlaybackControllerTest, TrayControlsShowTheRowOfTheCount) {
  View.Tray = true;
  for (const char* path : {"/m/a.mp3", "/m/b.mp3", "/m/c.mp3"}) Add(path, "T");
  Playlist.PlayEntry(0, true);
  EXPECT_EQ(Controller.SubtitleLabel(), "1/3");
  Graph.FireComplete();
  EXPECT_EQ(Controller.SubtitleLabel(), "2/3");
}

TEST_F(PlaybackControllerTest, PlaysAPlaylistToItsEndByCompletionAndByPosition) {
  Add("/m/a.mp3", "First", 0);
  Add("/m/b.mp3", "Second");
  Add("/m/c.ogg");
  Playlist.PlayEntry(0, true);
  EXPECT_EQ(Graph.Location, "/m/a.mp3");
  EXPECT_EQ(Controller.TitleLabel(), "First - Band");
  EXPECT_EQ(Controller.SubtitleLabel(), "Album");
  EXPECT_EQ(Controller.DurationMs(), 60000);  // no length in the tags: the engine's
  EXPECT_EQ(Controller.TimeLabel(), "0:00:00 / 0:01:00");
  EXPECT_EQ(Controller.PlayPauseCaption(), "Pause");

  Graph.FireComplete();
  EXPECT_EQ(Graph.Location, "/m/b.mp3");
  EXPECT_EQ(Playlist.PlayingIndex(), 1);
  Graph.PositionMs = 59500;
  Runtime.Advance(500);
  EXPECT_EQ(Graph.Location, "/m/b.mp3");
  Graph.PositionMs = 60000;
  Runtime.Advance(500);
  EXPECT_EQ(Graph.Location, "/m/c.ogg");
  EXPECT_EQ(Controller.TitleLabel(), "C");  // no title: the display name, no artist

  Graph.FireComplete();  // past the last entry in "Play all"
  EXPECT_EQ(Graph.State(), gsStopped);
  EXPECT_FALSE(Graph.Loaded());
  EXPECT_EQ(Controller.TitleLabel(), "Stopped");
  EXPECT_EQ(Controller.TimeLabel(), "");
  EXPECT_EQ(Controller.PlayPauseCaption(), "Play");
  EXPECT_FALSE(Controller.StopActionEnabled());
  EXPECT_TRUE(Controller.PlayPauseActionEnabled());  // the playlist is not empty
}

TEST_F(PlaybackControllerTest, AHandOverShowsAndTellsWhatANormalAdvanceDoesWithoutAnOpen) {
  for (const char* path : {"/m/a.mp3", "/m/b.flac", "/m/c.ogg"}) Add(path, path + 3);
  std::vector<std::string> logs[2];
  for (const bool gapless : {false, true}) {
    Graph.RefuseQueue = !gapless;
    Playlist.PlayEntry(0, true);
    States.Log.clear();
    const size_t calls = Graph.Calls.size();
    gapless ? Graph.SwitchToQueued() : Graph.FireComplete();
    logs[gapless] = States.Log;
    EXPECT_EQ(Graph.Calls.size() - calls, gapless ? 1u : 4u);  // (Stop, Clear, Render,) Play
  }
  // The same from the open of the next entry on; a gapless one is never shown stopped.
  ASSERT_EQ(logs[0].size(), 7u);
  logs[0].erase(logs[0].begin() + 1);
  EXPECT_EQ(logs[1], logs[0]);
  EXPECT_EQ(Graph.Queued, "/m/c.ogg");  // the next one follows in turn
}

TEST_F(PlaybackControllerTest, OnlyLocalMusicAfterLocalMusicInAModeThatGoesOnIsQueued) {
  const std::tuple<uint8_t, std::vector<std::string>, int, std::string> cases[] = {
      {pmRepeatAll, {"file:///m/a.mp3", "/m/b.ogg"}, 1, "file:///m/a.mp3"},
      {pmPlayAll, {"/m/a.mp3", "/m/b.wav"}, 1, ""},
      {pmPlayAll, {"/m/a.mp3", "/m/v.mp4"}, 0, ""},
      {pmPlayAll, {"/m/a.mp3", "http://host.example/b.mp3"}, 0, ""},
      {pmPlayAll, {"/m/v.mp4", "/m/a.mp3"}, 0, ""},
  };
  for (const auto& [mode, entries, play, queued] : cases) {
    Playlist.DeleteAllRows();
    Playlist.SetPlayMode(mode);
    for (const std::string& entry : entries) Add(entry);
    Playlist.PlayEntry(play, true);
    EXPECT_EQ(Graph.Queued, queued) << entries[play];
  }
}

TEST_F(PlaybackControllerTest, TheQueueFollowsChangesAndATakenFollowerIsJudgedWhenItStarts) {
  for (const char* path : {"/m/a.mp3", "/m/b.mp3", "/m/c.mp3"}) Add(path, path + 3);
  Playlist.PlayEntry(0, true);
  Playlist.SetPlayMode(pmOnlyThisTrack);
  EXPECT_EQ(Graph.Queued, "");
  // Changes after the engine committed to b.mp3 are settled when it starts.
  const std::pair<std::function<void()>, std::string> cases[] = {
      {[&] { Playlist.SetPlayMode(pmRepeat); }, "a.mp3 - Band"},  // restarted
      {[&] { Playlist.SetPlayMode(pmOnlyThisTrack); }, "Stopped"},
      {[&] { Playlist.SelectOnly(1), Playlist.RemoveTracksActionExecute(); }, "c.mp3 - Band"},
  };
  for (const auto& [change, title] : cases) {
    Playlist.SetPlayMode(pmPlayAll);
    Playlist.PlayEntry(0, true);
    Graph.Taken = true;
    change();
    Graph.SwitchToQueued();
    EXPECT_EQ(Controller.TitleLabel(), title);
  }
}

TEST_F(PlaybackControllerTest, FailedOpensGiveTheirCodeAndEndAfterFiveInARow) {
  for (int i = 0; i < 6; ++i) {
    const std::string path = "/m/bad" + std::to_string(i) + ".mp3";
    Add(path);
    Graph.FailByLocation[path] = {kErrCorrupted, "Could not demultiplex stream."};
  }
  Playlist.PlayEntry(0, true);
  int renders = 0;
  for (const std::string& call : Graph.Calls) renders += call.rfind("Render:", 0) == 0;
  EXPECT_EQ(renders, 5);
  EXPECT_EQ(Playlist.Row(4).ImageIndex, piFailed);
  EXPECT_EQ(Playlist.Row(5).ImageIndex, piNormal);
  EXPECT_EQ(Playlist.Entry(0).PlayResult.Code, kErrCorrupted);
  EXPECT_EQ(PlayErrorText(Playlist.Entry(0).PlayResult.Code, Playlist.Entry(0).PlayResult.Message),
            "Cannot play this file because it is corrupted.");
  EXPECT_NE(Graph.State(), gsRunning);
}

TEST_F(PlaybackControllerTest, StopWhileOpeningLeavesTheEngineIdleAndTheEntryUnmarked) {
  Add("/m/a.mp3", "A");
  Add("/m/b.mp3", "B");
  Graph.DuringRender = [this] { Controller.StopActionExecute(); };
  Playlist.PlayEntry(0, true);
  EXPECT_NE(Graph.State(), gsRunning);
  EXPECT_EQ(Playlist.Entry(0).PlayResult.Code, 0);
  EXPECT_NE(Playlist.Row(0).ImageIndex, piFailed);
  EXPECT_FALSE(Controller.IsOpening());
  EXPECT_EQ(Playlist.PlayingIndex(), 0);  // marked, not skipped past
}

TEST_F(PlaybackControllerTest, PictureShowsForItsDurationUnlessRepeating) {
  Add("/m/photo.jpg");
  Add("/m/song.mp3", "Song");
  Playlist.PlayEntry(0, true);
  EXPECT_TRUE(Graph.IsPicture());
  EXPECT_EQ(Controller.TimeLabel(), "0:00:00 / 0:00:07");
  Graph.PositionMs = 6500;
  Runtime.Advance(500);
  EXPECT_TRUE(Graph.IsPicture());
  Graph.PositionMs = 7000;
  Runtime.Advance(500);
  EXPECT_EQ(Graph.Location, "/m/song.mp3");

  Playlist.SetPlayMode(pmRepeat);
  Playlist.PlayEntry(0, true);
  Graph.PositionMs = 7500;
  Runtime.Advance(500);
  EXPECT_TRUE(Graph.IsPicture());  // a picture stays in "Repeat"
}

TEST_F(PlaybackControllerTest, RepeatRestartsMediaAtItsEnd) {
  Add("/m/a.mp3", "A");
  Add("/m/b.mp3", "B");
  Playlist.SetPlayMode(pmRepeat);
  Playlist.PlayEntry(0, true);
  Graph.PositionMs = 45000;
  Graph.FireComplete();
  EXPECT_EQ(Graph.Location, "/m/a.mp3");
  EXPECT_EQ(Graph.PositionMs, 0);
}

TEST_F(PlaybackControllerTest, HoldingNextSeeksAndAShortPressSkips) {
  Add("/m/a.mp3", "A", 600000);
  Add("/m/b.mp3", "B", 600000);
  Graph.MediaDurationMs = 600000;
  Playlist.PlayEntry(0, true);

  Controller.NextButtonMouseDown();
  Runtime.Advance(500);
  Controller.NextButtonClick();
  Controller.SeekButtonMouseUp();
  EXPECT_EQ(Graph.Location, "/m/b.mp3");  // a short press is a click

  Controller.NextButtonMouseDown();
  Runtime.Advance(2000);
  Controller.NextButtonClick();
  Controller.SeekButtonMouseUp();
  EXPECT_EQ(Graph.Location, "/m/b.mp3");  // the hold seeked instead of skipping
  EXPECT_GE(Controller.PositionMs(), 4 * 30000);
  EXPECT_LE(Controller.PositionMs(), 5 * 30000);
  EXPECT_FALSE(Controller.SeekTimerRunning());
}

TEST_F(PlaybackControllerTest, KeyboardSeeksJumpAtOnceAndContinueOnlyWhileRepeating) {
  Add("/m/a.mp3", "A", 600000);
  Graph.MediaDurationMs = 600000;
  Playlist.PlayEntry(0, true);
  Controller.FastForwardActionExecute();
  EXPECT_EQ(Controller.PositionMs(), 30000);
  Runtime.Advance(1100);  // no repeat came: the timer ends without another step
  EXPECT_FALSE(Controller.SeekTimerRunning());
  EXPECT_EQ(Controller.PositionMs(), 30000);

  Controller.FastBackwardActionExecute();
  EXPECT_EQ(Controller.PositionMs(), 24000);
  for (int i = 0; i < 60; ++i) {  // auto-repeat of a held key
    Runtime.Advance(25);
    Controller.FastBackwardActionExecute();
  }
  EXPECT_LT(Controller.PositionMs(), 24000);
}

TEST_F(PlaybackControllerTest, TagsClaimingLessThanTheMediaNeitherEndNorScaleIt) {
  Add("/m/vbr.mp3", "Vbr", 100000);
  Add("/m/next.mp3", "Next");
  Graph.DurationByLocation["/m/vbr.mp3"] = -1;  // the engine does not know yet
  Playlist.PlayEntry(0, true);
  EXPECT_EQ(Controller.TimeLabel(), "0:00:00 / 0:01:40");

  Graph.DurationByLocation["/m/vbr.mp3"] = 300000;
  Graph.PositionMs = 100000;
  Runtime.Advance(500);
  EXPECT_EQ(Graph.Location, "/m/vbr.mp3");
  EXPECT_EQ(Controller.TimeLabel(), "0:01:40 / 0:05:00");
  Controller.SeekTo(150000);
  EXPECT_EQ(Graph.PositionMs, 150000);
  Graph.PositionMs = 299500;
  Runtime.Advance(500);
  EXPECT_EQ(Controller.PositionMs(), 299500);
  EXPECT_EQ(Graph.Location, "/m/vbr.mp3");
  Graph.PositionMs = 300000;
  Runtime.Advance(500);
  EXPECT_EQ(Graph.Location, "/m/next.mp3");
}

TEST_F(PlaybackControllerTest, DraggingTheProgressBarSeeksOnRelease) {
  Add("/m/a.mp3", "A", 0);
  Playlist.PlayEntry(0, true);
  Controller.ProgressBarMouseDown(50, 200);
  EXPECT_TRUE(Controller.Dragging());
  EXPECT_EQ(Controller.TimeLabel(), "0:00:15 / 0:01:00");
  Graph.PositionMs = 2000;
  Runtime.Advance(500);
  EXPECT_EQ(Controller.ProgressPosition(), 15000);  // the poll leaves a dragged bar alone
  Controller.ProgressBarMouseMove(100, 200);
  Controller.ProgressBarMouseUp();
  EXPECT_FALSE(Controller.Dragging());
  EXPECT_EQ(Graph.PositionMs, 30000);
}

TEST_F(PlaybackControllerTest, VolumeClampsAndMuteSendsSilence) {
  Controller.VolumeTrackBarChange(9800);
  Controller.VolumeUpActionExecute();
  EXPECT_EQ(Settings.Volume, 10000);
  EXPECT_EQ(Graph.Volume(), 10000);
  Controller.MuteUnmuteActionExecute();
  EXPECT_TRUE(Settings.VolumeMuted);
  EXPECT_EQ(Settings.Volume, 10000);
  EXPECT_EQ(Graph.Volume(), 0);
  EXPECT_EQ(Controller.MuteButtonImage(), 6);
  Controller.VolumeDownActionExecute();
  EXPECT_EQ(Settings.Volume, 9500);
  EXPECT_EQ(Graph.Volume(), 0);
  Controller.MuteUnmuteActionExecute();
  EXPECT_EQ(Graph.Volume(), 9500);
  EXPECT_EQ(States.Volumes, 5);  // one volume notification per change
}

TEST_F(PlaybackControllerTest, StreamsShowNoDurationAndNeverEndByPosition) {
  Add("http://radio.example:8000/live");
  Playlist.PlayEntry(0, true);
  EXPECT_TRUE(Controller.IsStream());
  EXPECT_TRUE(Graph.IsStream());
  EXPECT_EQ(Graph.Mode(), gmCapture);
  EXPECT_EQ(Controller.TimeLabel(), "Internet stream");
  Graph.PositionMs = 600000;
  Controller.DSTrackBarTimer(600000, 0);
  EXPECT_TRUE(Graph.IsStream());
  Graph.Fire(ecBufferingData, 1, 40);
  EXPECT_EQ(Controller.TitleLabel(), "Buffering...");
  EXPECT_EQ(Controller.VideoWidth(), 0);  // no other event tells a video size
}

TEST_F(PlaybackControllerTest, VideoSizeFromTheEngineChoosesTheVideoPage) {
  Add("/m/clip.ogv", "Clip");
  Add("/m/song.mp3", "Song");
  Graph.DuringPlay = nullptr;
  Runtime.OnProcessPendingMessages = [this] {
    if (Graph.Location == "/m/clip.ogv" && Controller.VideoWidth() == 0) Graph.FireVideoSize(320, 240);
  };
  Playlist.PlayEntry(0, true);
  EXPECT_EQ(Controller.VideoWidth(), 320);
  EXPECT_EQ(Controller.VideoHeight(), 240);
  Runtime.OnProcessPendingMessages = nullptr;
  Playlist.PlayEntry(1, true);
  EXPECT_EQ(Controller.VideoWidth(), 0);
  EXPECT_EQ(View.MediaPages, (std::vector<bool>{true, false}));
  // An overlay may not tell the size again: a video keeps the last one, music never takes it.
  Settings.PreferOverlay = true;
  Runtime.OnProcessPendingMessages = [this] { Graph.FireVideoSize(320, 240); };
  Playlist.PlayEntry(0, true);
  Runtime.OnProcessPendingMessages = nullptr;
  Playlist.PlayEntry(0, true);
  EXPECT_EQ(Controller.VideoWidth(), 320);
  Playlist.PlayEntry(1, true);
  EXPECT_EQ(Controller.VideoWidth(), 0);
}

TEST_F(PlaybackControllerTest, WebPagesArePassedOver) {
  Add("/m/page.html");
  Add("/m/a.mp3", "A");
  Playlist.PlayEntry(0, true);
  EXPECT_EQ(Graph.Location, "/m/a.mp3");
  EXPECT_EQ(Playlist.PlayingIndex(), 1);
}

TEST(PlaybackTextTest, StreamLocations) {
  EXPECT_TRUE(IsStreamLocation("http://host/live"));
  EXPECT_TRUE(IsStreamLocation("http://host/radio.asf"));
  EXPECT_TRUE(IsStreamLocation("MMS://host/x.mp3"));
  EXPECT_TRUE(IsStreamLocation("rtsp://host/a.mp3"));
  EXPECT_FALSE(IsStreamLocation("http://host/song.mp3"));
  EXPECT_FALSE(IsStreamLocation("/music/live"));
}

TEST(PlaybackTextTest, ErrorTexts) {
  EXPECT_EQ(PlayErrorText(GraphCode(0x80040265), ""),
            "Cannot play this file. This is an unknown file format.");
  EXPECT_EQ(PlayErrorText(GraphCode(0x80070003), ""),
            "Cannot find this file. It may be removed from your computer.");
  EXPECT_EQ(PlayErrorText(-3, "boom"), "Cannot open this file because of an unknown error.");
  EXPECT_EQ(PlayErrorText(GraphCode(0x80001234), "Odd failure"), "Odd failure\rPlease report this error.");
  EXPECT_EQ(PlayErrorText(GraphCode(0x80001234), "\x01hidden"),
            "Cannot open this file because of an unknown error.");
}

TEST_F(PlaybackControllerTest, NextFrameStepsWhilePausedAndPausesWhilePlaying) {
  Add("/m/v.webm", "V");
  Playlist.PlayEntry(0, true);
  Controller.NextFrameActionExecute();  // playing: the first press pauses
  EXPECT_EQ(Graph.State(), gsPaused);
  Controller.NextFrameActionExecute();
  EXPECT_EQ(Graph.PositionMs, Graph.FrameMs);
  EXPECT_EQ(Controller.ProgressPosition(), Graph.FrameMs);  // shown at once
  EXPECT_EQ(Graph.State(), gsPaused);
  Graph.MediaDurationMs = -1;  // nothing to step through without a duration
  Controller.NextFrameActionExecute();
  EXPECT_EQ(Graph.PositionMs, Graph.FrameMs);
}

}  // namespace
}  // namespace tunevale
