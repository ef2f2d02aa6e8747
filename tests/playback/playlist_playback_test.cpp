// The playlist playing end to end through the real GStreamer engine in real
// time (fakesink with sync on): the order of each play mode, the advance at
// the end of each medium and the texts the window shows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "playback/gst_filter_graph.h"
#include "playlist/local_http_server.h"
#include "support/controller_rig.h"
#include "support/loop_runtime.h"
#include "support/temp_folder.h"
#include "test_media.h"

namespace tunevale {
namespace {

class PlaylistPlaybackTest : public ::testing::Test,
                             protected test::TControllerRig<GstFilterGraph, test::TLoopRuntime> {
 protected:
  static void SetUpTestSuite() {
    Folder = new test::TTempFolder();
    Media = new test::TTestMedia(Folder->Path());
  }
  static void TearDownTestSuite() {
    delete Media;
    delete Folder;
  }

  PlaylistPlaybackTest() {
    Graph.SetAudioSink("fakesink sync=true");
    Graph.SetVideoSink("fakesink sync=true");
    Runtime.DeliverEvents = [this](int waitMs) { Graph.ProcessBusMessages(waitMs); };
    Controller.SetTagReader([this](const std::string& path, TMetaData& meta) {
      ClearMetaData(meta);
      Opened.push_back(path);
      Titles.push_back(Controller.TitleLabel());
    });
    for (const std::string* path : {&Media->Mp3, &Media->Wav, &Media->Ogg}) Playlist.AddPlaylistEntry(*path);
  }

  bool Stopped() {
    return Graph.State() != gsRunning && Graph.State() != gsPaused && !Controller.IsOpening();
  }
  std::vector<std::string> Paths(std::initializer_list<int> rows) {
    std::vector<std::string> out;
    for (int r : rows) out.push_back(Playlist.Entry(r).FileName);
    return out;
  }

  static test::TTempFolder* Folder;
  static test::TTestMedia* Media;
  std::vector<std::string> Opened;
  std::vector<std::string> Titles;
};

test::TTempFolder* PlaylistPlaybackTest::Folder = nullptr;
test::TTestMedia* PlaylistPlaybackTest::Media = nullptr;

TEST_F(PlaylistPlaybackTest, PlayAllPlaysEveryEntryInOrderThenStops) {
  Playlist.SetPlayMode(pmPlayAll);
  Playlist.PlayEntry(0, true);
  EXPECT_EQ(Controller.TitleLabel(), "Tone");
  EXPECT_EQ(Controller.TimeLabel(), "0:00:00 / 0:00:01");
  EXPECT_EQ(Titles.front(), "Opening: Tone");
  ASSERT_TRUE(Runtime.RunUntil([this] { return Opened.size() == 3 && Stopped(); }, 15000));
  EXPECT_EQ(Opened, Paths({0, 1, 2}));
  EXPECT_EQ(Controller.TitleLabel(), "Stopped");
  EXPECT_EQ(Controller.PlayPauseCaption(), "Play");
  for (int r = 0; r < 3; ++r) EXPECT_EQ(Playlist.Entry(r).PlayResult.Code, 0);
}

TEST_F(PlaylistPlaybackTest, OnlyThisTrackStopsAndRepeatRestarts) {
  Playlist.SetPlayMode(pmOnlyThisTrack);
  Playlist.PlayEntry(2, true);
  ASSERT_TRUE(Runtime.RunUntil([this] { return Stopped(); }, 10000));
  EXPECT_EQ(Opened, Paths({2}));

  Playlist.SetPlayMode(pmRepeat);
  Playlist.PlayEntry(0, true);
  // Well past the medium's 1.5 s it still plays, restarted rather than reopened.
  Runtime.RunUntil([] { return false; }, 3500);
  EXPECT_EQ(Graph.State(), gsRunning);
  EXPECT_EQ(Opened, Paths({2, 0}));
  EXPECT_EQ(Playlist.PlayingIndex(), 0);
  Controller.StopActionExecute();
}

TEST_F(PlaylistPlaybackTest, APictureAdvancesAfterItsDuration) {
  Settings.PictureDuration = 1;
  Playlist.DeleteAllRows();
  Playlist.AddPlaylistEntry(Media->Picture.substr(0, Media->Picture.size() - 3) + "jpg");
  Playlist.AddPlaylistEntry(Media->Mp3);
  // The engine tells a picture by its content; the kind comes from the name.
  std::rename(Media->Picture.c_str(), Playlist.Entry(0).FileName.c_str());
  Playlist.SetPlayMode(pmPlayAll);
  Playlist.PlayEntry(0, true);
  EXPECT_EQ(Controller.OpenKind(), mkPicture);
  EXPECT_EQ(Controller.TimeLabel(), "0:00:00 / 0:00:01");
  const int64_t shown = Runtime.MonotonicMs();
  ASSERT_TRUE(Runtime.RunUntil([this] { return Opened.size() == 2; }, 10000));
  EXPECT_GE(Runtime.MonotonicMs() - shown, 900);
  EXPECT_EQ(Opened.back(), Media->Mp3);
  Controller.StopActionExecute();
  std::rename(Playlist.Entry(0).FileName.c_str(), Media->Picture.c_str());
}

TEST_F(PlaylistPlaybackTest, AStreamFromAServerPlaysAsAnInternetStream) {
  test::TLocalHttpServer server;
  server.Serve("/live", 200, test::ReadBytes(Media->Mp3));
  Playlist.DeleteAllRows();
  Playlist.AddPlaylistEntry(server.Url("/live"));
  Playlist.SetPlayMode(pmOnlyThisTrack);
  Playlist.PlayEntry(0, true);
  EXPECT_TRUE(Controller.IsStream());
  EXPECT_EQ(Playlist.Entry(0).PlayResult.Code, 0);
  ASSERT_TRUE(Runtime.RunUntil([this] { return Graph.State() == gsRunning && !Graph.Buffering(); }, 10000));
  EXPECT_EQ(Controller.TimeLabel(), "Internet stream");
  EXPECT_EQ(Controller.DurationMs(), 0);
  ASSERT_TRUE(Runtime.RunUntil([this] { return Stopped(); }, 15000));  // the server's data ends
  EXPECT_EQ(Controller.TitleLabel(), "Stopped");
}

// Two tones recorded by a file sink in real time: the second follows the first
// with no stop, open or silence between them, and shows as a normal advance.
TEST_F(PlaylistPlaybackTest, ConsecutiveAudioEntriesFollowWithoutAGap) {
  const std::string low = Folder->Path() + "/low.wav", high = Folder->Path() + "/high.wav";
  const std::string heard = Folder->Path() + "/heard.raw", format = " ! audio/x-raw,format=S16LE,channels=1";
  // 4 s and 2 s of whole periods: a short first one is read whole before the next is
  // queued, and a loaded machine needs time to queue it.
  const auto tone = [&](int tenths, const char* freq, const std::string& file) {
    return " audiotestsrc num-buffers=" + std::to_string(tenths) + " samplesperbuffer=4410 volume=0.5 freq=" +
           freq + format + " ! wavenc ! filesink location=" + file;
  };
  test::GstLaunch(tone(40, "440", low) + tone(20, "660", high));
  Graph.SetAudioSink("audioconvert" + format + " ! filesink sync=true location=" + heard);
  Playlist.DeleteAllRows();
  for (const std::string* path : {&low, &high}) Playlist.AddPlaylistEntry(*path);
  std::vector<int32_t> events;  // switches and ends, in order
  int32_t positionAtSwitch = 1 << 30;
  const auto onEvent = Graph.OnDSEvent;
  Graph.OnDSEvent = [&, onEvent](int32_t code, intptr_t p1, intptr_t p2) {
    if (code == ecTrackSwitched) Graph.QueryPositionMs(positionAtSwitch);
    if (code == ecTrackSwitched || code == ecComplete) events.push_back(code);
    onEvent(code, p1, p2);
  };
  Playlist.PlayEntry(0, true);
  ASSERT_TRUE(Runtime.RunUntil([this] { return Opened.size() == 2 && Stopped(); }, 15000));
  EXPECT_EQ(events, (std::vector<int32_t>{ecTrackSwitched, ecComplete}));
  EXPECT_LT(positionAtSwitch, 500);  // the second tone's own time, not the end of the first
  const std::string bytes = test::ReadBytes(heard);
  std::vector<int16_t> s(bytes.size() / 2);
  std::memcpy(s.data(), bytes.data(), s.size() * 2);
  size_t first = 0, last = s.size(), longest = 0, run = 0;  // of silence
  while (first < last && std::abs(s[first]) < 100) ++first;
  while (last > first && std::abs(s[last - 1]) < 100) --last;
  for (size_t i = first; i < last; ++i) longest = std::max(longest, run = std::abs(s[i]) < 100 ? run + 1 : 0);
  EXPECT_NEAR(static_cast<double>(last - first), 264600, 4);
  EXPECT_LT(longest, 44100 * 5 / 1000u) << "samples of silence between the tones";
}

}  // namespace
}  // namespace tunevale
