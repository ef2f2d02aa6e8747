#include "playback/ds_track_bar.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "playback/fake_filter_graph.h"
#include "support/fake_runtime.h"

namespace tunevale {
namespace {

using test::TFakeFilterGraph;
using test::TFakeRuntime;

class DSTrackBarTest : public ::testing::Test {
 protected:
  DSTrackBarTest() {
    Bar.SetTimerInterval(500);
    Bar.SetFilterGraph(&Graph);
    Bar.OnTimer = [this](int32_t currentMs, int32_t durationMs) {
      Ticks.emplace_back(currentMs, durationMs);
    };
    Graph.SetActive(true);
  }
  // Plays for `ms`, moving the media position with the clock in 100 ms steps.
  void PlayFor(int64_t ms) {
    for (int64_t t = 0; t < ms; t += 100) {
      Graph.AdvancePosition(100);
      Runtime.Advance(100);
    }
  }

  TFakeRuntime Runtime;
  TFakeFilterGraph Graph;
  TDSTrackBar Bar{Runtime};
  std::vector<std::pair<int32_t, int32_t>> Ticks;
};

TEST_F(DSTrackBarTest, PollsEveryIntervalOnlyWhilePlaying) {
  Graph.MediaDurationMs = 180000;
  Graph.RenderFile("song.mp3");
  PlayFor(1000);
  EXPECT_TRUE(Ticks.empty());  // paused after the open
  Graph.Play();
  PlayFor(1500);
  EXPECT_EQ(Ticks, (std::vector<std::pair<int32_t, int32_t>>{{500, 180000}, {1000, 180000}, {1500, 180000}}));
  EXPECT_EQ(Bar.Max(), 360);
  EXPECT_EQ(Bar.Position(), 3);
  Graph.Pause();
  PlayFor(2000);
  EXPECT_EQ(Ticks.size(), 3u);
  Graph.Play();
  Graph.Stop();
  PlayFor(2000);
  EXPECT_EQ(Ticks.size(), 3u);
}

TEST_F(DSTrackBarTest, HeldOrDisabledBarIsNotMoved) {
  Graph.RenderFile("song.mp3");
  Graph.Play();
  Bar.SetMouseDown(true);
  PlayFor(1000);
  EXPECT_TRUE(Ticks.empty());
  Bar.SetMouseDown(false);
  Bar.SetEnabled(false);
  Graph.Pause();
  Graph.Play();
  PlayFor(1000);
  EXPECT_TRUE(Ticks.empty());
  EXPECT_FALSE(Bar.TimerRunning());
}

TEST_F(DSTrackBarTest, SeeksToAFractionOfTheStopPosition) {
  struct Case {
    int32_t stopMs, max, position, expectedMs;
  };
  const Case cases[] = {
      {60000, 60000, 1234, 1234},                        // the controller's use: max = duration
      {1000, 3, 1, 333},                                 // truncates
      {2000000000, 2000000000, 1500000000, 1500000000},  // needs 64 bits
      {90000, 0, 0, 0},                                  // no range: back to the start
      {90000, 0, 7, 0},
      {90000, 180, 0, 0},
  };
  for (const Case& c : cases) {
    Graph.DurationByLocation["song.mp3"] = c.stopMs;
    Graph.RenderFile("song.mp3");
    Bar.SetMax(c.max);
    Bar.SetPosition(c.position);
    Bar.Seek();
    EXPECT_EQ(Graph.Calls.back(), "Seek:" + std::to_string(c.expectedMs)) << c.stopMs << " " << c.position;
    EXPECT_EQ(Graph.PositionMs, c.expectedMs);
  }
}

TEST_F(DSTrackBarTest, AttachingToAPlayingGraphStartsThePoll) {
  Graph.RenderFile("song.mp3");
  Graph.Play();
  TDSTrackBar late(Runtime);
  late.SetTimerInterval(500);
  int polls = 0;
  late.OnTimer = [&](int32_t, int32_t) { ++polls; };
  late.SetFilterGraph(&Graph);
  PlayFor(1000);
  EXPECT_EQ(polls, 2);
}

}  // namespace
}  // namespace tunevale
