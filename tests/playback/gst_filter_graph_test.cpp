// The GStreamer engine against real media made at test time. Output goes to
// fakesink with sync on, so media play in real time without a sound card.
#include "playback/gst_filter_graph.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/local_socket_client.h"
#include "platform/local_socket_server.h"
#include "playback/ds_track_bar.h"
#include "playback/test_media.h"
#include "playlist/local_http_server.h"
#include "support/fake_runtime.h"
#include "support/temp_folder.h"

namespace tunevale {
namespace {

using test::TTestMedia;

class GstFilterGraphTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    Folder = new test::TTempFolder();
    Media = new TTestMedia(Folder->Path());
  }
  static void TearDownTestSuite() {
    delete Media;
    delete Folder;
  }

  GstFilterGraphTest() {
    Graph.SetAudioSink("fakesink sync=true");
    Graph.SetVideoSink("fakesink sync=true");
    Graph.OnDSEvent = [this](int32_t code, intptr_t p1, intptr_t) { Events.push_back({code, p1}); };
    Graph.OnGraphComplete = [this](int32_t) {
      ++Completions;
      if (OnComplete) OnComplete();
    };
    Graph.OnGraphVideoSizeChanged = [this](int32_t w, int32_t h) { Sizes.push_back({w, h}); };
    Graph.SetActive(true);
  }

  // Lets the main loop deliver engine events until `done` holds (a guard against
  // hanging, not a measure: the media here are 1.5 s long).
  bool PumpUntil(const std::function<bool()>& done, int guardMs = 15000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(guardMs);
    while (!done()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      Graph.ProcessBusMessages(20);
    }
    return true;
  }
  // The same through the default main context, as the application's event loop runs it.
  static bool LoopUntil(const std::function<bool()>& done, int guardMs = 15000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(guardMs);
    while (!done() && std::chrono::steady_clock::now() < deadline)
      if (!g_main_context_iteration(nullptr, FALSE)) usleep(10000);
    return done();
  }
  void PlayToTheEnd() {
    const int before = Completions;
    Graph.Play();
    ASSERT_TRUE(PumpUntil([&] { return Completions > before; }));
  }
  // The code an open fails with on `graph` (else this test's); 0 when it opens.
  int32_t RenderError(const std::string& location, GstFilterGraph* graph = nullptr) {
    try {
      (graph ? *graph : Graph).RenderFile(location);
    } catch (const EDirectShowException& e) {
      return e.ErrorCode;
    }
    return 0;
  }
  void PostEos() {
    GstElement* playbin = Graph.Playbin();
    gst_element_post_message(playbin, gst_message_new_eos(GST_OBJECT(playbin)));
  }

  static test::TTempFolder* Folder;
  static TTestMedia* Media;
  GstFilterGraph Graph;
  std::vector<std::pair<int32_t, intptr_t>> Events;
  std::vector<std::pair<int32_t, int32_t>> Sizes;
  int Completions = 0;
  std::function<void()> OnComplete;
};

test::TTempFolder* GstFilterGraphTest::Folder = nullptr;
TTestMedia* GstFilterGraphTest::Media = nullptr;

TEST_F(GstFilterGraphTest, OpensEachAudioFormatPausedWithItsLength) {
  for (const std::string& file : {Media->Mp3, Media->Wav, Media->Ogg}) {
    SCOPED_TRACE(file);
    EXPECT_EQ(Graph.RenderFile(file), 0);
    EXPECT_EQ(Graph.State(), gsPaused);
    EXPECT_NEAR(Graph.DurationMs(), TTestMedia::kAudioMs, 100);  // encoder padding
    int32_t positionMs = -1;
    ASSERT_TRUE(Graph.QueryPositionMs(positionMs));
    EXPECT_EQ(positionMs, 0);
    Graph.ClearGraph();
    EXPECT_EQ(Graph.State(), gsStopped);
    EXPECT_EQ(Graph.DurationMs(), 0);
  }
}

TEST_F(GstFilterGraphTest, PauseHoldsThePositionAndPlayGoesOn) {
  Graph.RenderFile(Media->Ogg);
  Graph.Play();
  int32_t positionMs = 0;
  ASSERT_TRUE(PumpUntil([&] { return Graph.QueryPositionMs(positionMs) && positionMs > 200; }));
  Graph.Pause();
  ASSERT_TRUE(PumpUntil([&] { return Graph.State() == gsPaused; }));
  int32_t held = 0, later = 0;
  Graph.QueryPositionMs(held);
  usleep(300000);
  Graph.ProcessBusMessages();
  Graph.QueryPositionMs(later);
  EXPECT_NEAR(later, held, 30);
  EXPECT_EQ(Completions, 0);
  PlayToTheEnd();
}

TEST_F(GstFilterGraphTest, TheSeekBarSeeksAndPollsTheRealEngine) {
  test::TFakeRuntime runtime;
  TDSTrackBar bar(runtime);
  bar.SetTimerInterval(500);
  bar.SetFilterGraph(&Graph);
  std::vector<std::pair<int32_t, int32_t>> polls;
  bar.OnTimer = [&](int32_t current, int32_t duration) { polls.push_back({current, duration}); };

  Graph.RenderFile(Media->Wav);
  const int32_t duration = Graph.DurationMs();
  bar.SetMax(duration);
  bar.SetPosition(1000);
  bar.Seek();
  Graph.ProcessBusMessages(200);
  int32_t positionMs = 0;
  ASSERT_TRUE(Graph.QueryPositionMs(positionMs));
  EXPECT_NEAR(positionMs, 1000, 50);

  Graph.Play();
  EXPECT_TRUE(bar.TimerRunning());
  runtime.Advance(500);
  ASSERT_EQ(polls.size(), 1u);
  EXPECT_GE(polls[0].first, 1000);
  EXPECT_EQ(polls[0].second, duration);
  // Back to the start: a restart in "Repeat".
  bar.SetMax(0);
  bar.Seek();
  Graph.ProcessBusMessages(200);
  ASSERT_TRUE(Graph.QueryPositionMs(positionMs));
  EXPECT_LT(positionMs, 500);
  PlayToTheEnd();
}

TEST_F(GstFilterGraphTest, VolumeReachesTheOutputOnTheLogScale) {
  Graph.SetVolume(1000);
  Graph.RenderFile(Media->Mp3);
  double volume = -1;
  g_object_get(Graph.Playbin(), "volume", &volume, nullptr);
  EXPECT_NEAR(volume, 0.05635, 1e-4);  // -24.99 dB
}

TEST_F(GstFilterGraphTest, VideoReportsItsSizeAfterTheOpen) {
  Graph.RenderFile(Media->Video);
  EXPECT_TRUE(Sizes.empty());  // delivered by the main loop, not inside the open
  ASSERT_TRUE(PumpUntil([&] { return !Sizes.empty(); }));
  EXPECT_EQ(Sizes[0], std::make_pair(TTestMedia::kVideoWidth, TTestMedia::kVideoHeight));
  PlayToTheEnd();
  EXPECT_EQ(Sizes.size(), 1u);  // the same size is not reported again

  Graph.RenderFile(Media->Mp3);
  Graph.ProcessBusMessages(200);
  EXPECT_EQ(Sizes.size(), 1u);  // sound alone has no picture
}

TEST_F(GstFilterGraphTest, APictureStaysOnScreenWhileItsTimeRuns) {
  Graph.RenderPicture(Media->Picture);
  ASSERT_TRUE(PumpUntil([&] { return !Sizes.empty(); }));
  EXPECT_EQ(Sizes[0], std::make_pair(TTestMedia::kPictureWidth, TTestMedia::kPictureHeight));
  int32_t durationMs = -1;
  ASSERT_TRUE(Graph.QueryDurationMs(durationMs));
  EXPECT_EQ(durationMs, 0);
  Graph.Play();
  int32_t positionMs = 0;
  ASSERT_TRUE(PumpUntil([&] { return Graph.QueryPositionMs(positionMs) && positionMs >= 600; }));
  EXPECT_EQ(Completions, 0);
  EXPECT_EQ(Graph.State(), gsRunning);
}

TEST_F(GstFilterGraphTest, OpenFailuresCarryTheirCodes) {
  const std::string text = Folder->Write("notes.mp3", "These are words, not sound.\n");
  EXPECT_EQ(RenderError(Folder->Path() + "/missing.mp3"), kErrFileNotFound);
  EXPECT_EQ(RenderError("file://" + Folder->Path() + "/missing.mp3"), kErrFileNotFound);
  EXPECT_EQ(RenderError(text + "/inner.mp3"), kErrPathNotFound);
  EXPECT_EQ(RenderError(text), kErrUnknownFormat);
  EXPECT_EQ(RenderError("nosuchscheme://host/a.mp3"), kErrUnknown);
  EXPECT_EQ(RenderError(Folder->Path() + "/odd://name.mp3"), kErrFileNotFound);  // a path, not an address
  if (geteuid() != 0) {                                                          // root reads every file
    const std::string locked = Folder->Write("locked.mp3", test::ReadBytes(Media->Mp3));
    chmod(locked.c_str(), 0);
    EXPECT_EQ(RenderError(locked), kErrAccessDenied);
  }
  try {
    Graph.RenderFile(text);
  } catch (const EDirectShowException& e) {
    const std::string message = e.what();
    EXPECT_TRUE(message.ends_with("($80040265).")) << message;
    EXPECT_GT(message.size(), 14u) << "GStreamer's own text comes first";
  }
  EXPECT_NE(Graph.State(), gsRunning);
  EXPECT_THROW(Graph.Play(), EDirectShowException);
  // The graph is still good for the next medium.
  EXPECT_EQ(Graph.RenderFile(Media->Wav), 0);
  PlayToTheEnd();
}

TEST_F(GstFilterGraphTest, ASoundOutputThatCannotOpenIsReportedAsSuch) {
  GstFilterGraph graph;
  graph.SetAudioSink("alsasink device=tunevale-no-such-device");
  graph.SetActive(true);
  EXPECT_EQ(RenderError(Media->Wav, &graph), kErrNoAudioOutput);
}

TEST_F(GstFilterGraphTest, PlaysInRealTimeThroughTheDefaultSoundOutput) {
  test::TTempFolder serverFolder;
  test::TPrivateSoundServer server(serverFolder.Path());
  if (!server.Available()) GTEST_SKIP() << "pulseaudio cannot start here";
  setenv("PULSE_SERVER", server.Address().c_str(), 1);
  {
    GstFilterGraph graph;  // no sink given: the sound goes where a user's would
    int completions = 0;
    graph.OnGraphComplete = [&](int32_t) { ++completions; };
    graph.SetActive(true);
    graph.RenderFile(Media->Ogg);
    graph.Play();
    bool seenMidway = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (completions == 0 && std::chrono::steady_clock::now() < deadline) {
      graph.ProcessBusMessages(20);
      int32_t positionMs = 0;
      if (graph.State() == gsRunning && graph.QueryPositionMs(positionMs) && positionMs > 0 &&
          positionMs < TTestMedia::kAudioMs - 300)
        seenMidway = true;
    }
    EXPECT_EQ(completions, 1);
    EXPECT_TRUE(seenMidway) << "the media ended without time passing";
  }
  unsetenv("PULSE_SERVER");
}

TEST_F(GstFilterGraphTest, MessagesOfAnEarlierMediumAreDropped) {
  Graph.RenderFile(Media->Mp3);
  PostEos();  // the end of the first medium, still queued when the next one opens
  Graph.RenderFile(Media->Wav);
  Graph.ProcessBusMessages(200);
  EXPECT_EQ(Completions, 0);
  PostEos();
  Graph.ProcessBusMessages(200);
  EXPECT_EQ(Completions, 1);
}

TEST_F(GstFilterGraphTest, EventsArriveThroughTheDefaultMainContext) {
  // What the application's event loop does: no explicit ProcessBusMessages.
  Graph.RenderFile(Media->Mp3);
  Graph.Play();
  LoopUntil([&] { return Completions > 0; });
  EXPECT_EQ(Completions, 1);
  const std::pair<int32_t, intptr_t> running(ecStateChange, gsRunning);
  EXPECT_NE(std::find(Events.begin(), Events.end(), running), Events.end());
}

TEST_F(GstFilterGraphTest, AnOpenInsideAnEventHandlerGetsItsEventsInANestedLoop) {
  // The player opens the next entry from the end event and lets the loop run to
  // learn the picture size before it chooses the page to show.
  bool sizeSeenInside = false;
  OnComplete = [&] {
    OnComplete = nullptr;
    Graph.ClearGraph();
    Graph.RenderFile(Media->Video);
    sizeSeenInside = LoopUntil([&] { return !Sizes.empty(); }, 5000);
  };
  Graph.RenderFile(Media->Wav);
  Graph.SetPositionMs(1300);
  Graph.Play();
  LoopUntil([&] { return Completions > 0; }, 10000);
  ASSERT_EQ(Completions, 1);
  EXPECT_TRUE(sizeSeenInside);
}

TEST_F(GstFilterGraphTest, AServerStreamPlaysWithNoLength) {
  test::TLocalHttpServer server;
  server.Serve("/live", 200, test::ReadBytes(Media->Mp3));
  EXPECT_EQ(Graph.RenderStream(server.Url("/live")), 0);
  int32_t durationMs = 0;
  EXPECT_FALSE(Graph.QueryDurationMs(durationMs));
  EXPECT_EQ(Graph.DurationMs(), 0);
  EXPECT_FALSE(Graph.SetPositionMs(0));
  PlayToTheEnd();
  // The stream buffered before it played, and the end of the buffering was told too.
  std::vector<intptr_t> buffering;
  for (const auto& e : Events)
    if (e.first == ecBufferingData) buffering.push_back(e.second);
  ASSERT_FALSE(buffering.empty());
  EXPECT_EQ(buffering.front(), 1);
  EXPECT_EQ(buffering.back(), 0);
  EXPECT_FALSE(Graph.Buffering());
  EXPECT_EQ(Graph.DurationMs(), 0);

  EXPECT_EQ(RenderError(server.Url("/gone.mp3")), kErrUrlNotFound);
}

TEST_F(GstFilterGraphTest, SilentServersAreToldApartByTheirName) {
  // A port that was just free (its server ended with the line): connecting is refused.
  const std::string refused = test::TLocalHttpServer().Url("/live");
  EXPECT_EQ(RenderError(refused), kErrCannotConnect);
  // The .invalid domain never resolves, with or without a network.
  EXPECT_EQ(RenderError("http://no-such-host.invalid/live"), kErrHostNotFound);
}

TEST_F(GstFilterGraphTest, AnOpenThatNeverStartsFailsInItsTimeOutWhileTheLoopAnswers) {
  test::TLocalHttpServer server;
  server.ServeStall("/silent");
  const std::string pipe = Folder->Path() + "/output";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  TLocalSocketServer remote(Folder->Path() + "/remote.sock", [](TConnectionId, std::string_view) {});
  TLocalSocketClient client;
  ASSERT_TRUE(client.Connect(remote.SocketPath()));
  const struct {
    std::string AudioSink, Location;
    int32_t Code;
  } cases[] = {
      {"filesink location=" + pipe, Media->Wav, kErrUnknown},  // nobody reads the pipe: the sink never opens
      {"fakesink", server.Url("/silent"), kErrCannotConnect},
  };
  for (const auto& c : cases) {
    GstFilterGraph graph;
    graph.SetAudioSink(c.AudioSink);
    graph.SetPrerollTimeoutMs(1000);
    graph.SetStateTimeoutMs(1000);
    graph.SetPendingMessagesPump([&] { remote.ProcessEvents(0); });
    graph.SetActive(true);
    ASSERT_EQ(write(client.Descriptor(), "x", 2), 2);
    EXPECT_EQ(RenderError(c.Location, &graph), c.Code) << c.Location;
    std::string frame = "-";
    EXPECT_EQ(client.ReadFrame(frame, 0), TLocalSocketClient::crDone) << "no answer while the open waited";
    EXPECT_EQ(frame, "");
  }
  EXPECT_EQ(Graph.RenderFile(Media->Wav), 0);
}

TEST_F(GstFilterGraphTest, ANamedPipeDoesNotBlockTheOpen) {
  const std::string fifo = Folder->Path() + "/pipe.mp3";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(RenderError(fifo), kErrUnknownFormat);  // nobody writes: no media, and no hang
  unlink(fifo.c_str());
}

TEST_F(GstFilterGraphTest, AHandlerErrorDoesNotUnwindThroughTheMainLoop) {
  std::exception_ptr caught;
  Graph.OnHandlerError = [&](std::exception_ptr e) { caught = e; };
  Graph.OnGraphComplete = [](int32_t) { throw EDirectShowException(kErrUnknown, "from a handler"); };
  Graph.RenderFile(Media->Wav);
  PostEos();
  ASSERT_TRUE(LoopUntil([&] { return caught != nullptr; }, 5000));
  EXPECT_THROW(std::rethrow_exception(caught), EDirectShowException);
}

TEST_F(GstFilterGraphTest, ADiscWithoutADiscFailsWithACode) {
  const int32_t result = Graph.RenderDVD(Folder->Path() + "/no-disc", 1);
  // Without a disc source installed there is nothing to build a disc graph with.
  EXPECT_EQ(result, gst_uri_protocol_is_supported(GST_URI_SRC, "dvd") ? kErrNoDisc : kErrNoDvdBuilder);
  EXPECT_NE(Graph.State(), gsRunning);
  EXPECT_EQ(Graph.RenderFile(Media->Mp3), 0);
}

}  // namespace
}  // namespace tunevale
