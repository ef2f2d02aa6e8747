// Video in the GStreamer engine: frame steps, whether a video is connected, and
// capture devices offered by a provider of the test's own (no hardware).
#include <gtest/gtest.h>

#include <chrono>
#include <functional>

#include "app/capture_command.h"
#include "playback/gst_filter_graph.h"
#include "playback/test_device_provider.h"
#include "playback/test_media.h"
#include "support/controller_rig.h"
#include "support/fake_runtime.h"
#include "support/temp_folder.h"

namespace tunevale {
namespace {

constexpr int kFrameMs = 100;  // the test video's 10 frames a second

class GstVideoTest : public ::testing::Test,
                     protected test::TControllerRig<GstFilterGraph, test::TFakeRuntime> {
 protected:
  GstVideoTest() {
    Graph.SetAudioSink("fakesink sync=true");
    Graph.SetVideoSink("fakesink sync=true");
    Graph.SetActive(true);
  }
  bool PumpUntil(const std::function<bool()>& done) {
    const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (!done() && std::chrono::steady_clock::now() < guard) Graph.ProcessBusMessages(20);
    return done();
  }

  test::TTempFolder Folder;
};

TEST_F(GstVideoTest, AStepWhilePausedShowsTheNextFrame) {
  const std::string video = Folder / "ten.webm";
  test::GstLaunch(
      "videotestsrc num-buffers=20 ! video/x-raw,width=64,height=48,framerate=10/1 ! vp8enc ! "
      "webmmux ! filesink location=" +
      video);
  Graph.RenderFile(video);
  ASSERT_EQ(Graph.State(), gsPaused);
  EXPECT_TRUE(Graph.VideoConnected());
  int32_t position = -1;
  ASSERT_TRUE(Graph.QueryPositionMs(position));
  ASSERT_EQ(position, 0);
  ASSERT_TRUE(Graph.StepFrame());
  ASSERT_TRUE(Graph.QueryPositionMs(position));
  EXPECT_EQ(position, kFrameMs);
  ASSERT_TRUE(Graph.StepFrame());
  ASSERT_TRUE(Graph.QueryPositionMs(position));
  EXPECT_EQ(position, 2 * kFrameMs);
  EXPECT_EQ(Graph.State(), gsPaused);
}

TEST_F(GstVideoTest, MusicConnectsNoVideo) {
  const test::TTestMedia media(Folder.Path());
  Graph.RenderFile(media.Mp3);
  EXPECT_FALSE(Graph.VideoConnected());
  EXPECT_FALSE(Graph.StepFrame());
}

class GstCaptureTest : public GstVideoTest {
 protected:
  GstCaptureTest() {
    std::string longName(200, 'x');
    for (int i = 0; i < 40; ++i) longName += "\xC3\xA9";  // 280 bytes; byte 255 starts a character
    test::TestDevices() = {
        {"Test camera", "videotestsrc is-live=true ! capsfilter caps=video/x-raw,width=160,height=120"},
        {"Busy camera", "v4l2src device=/dev/null"},
        {longName, "videotestsrc is-live=true"}};
    EXPECT_TRUE(test::RegisterTestDeviceProvider());
    for (TCaptureDevice& d : Graph.VideoInputDevices())
      if (d.Name == "Test camera" || d.Name == "Busy camera" || d.Name.rfind("xxx", 0) == 0)
        Devices.push_back(d);
    Runtime.OnProcessPendingMessages = [this] { Graph.ProcessBusMessages(); };
    View.ChooseDevice = [this](const std::vector<TCaptureDevice>& devices) -> std::optional<TCaptureDevice> {
      for (const TCaptureDevice& d : devices)
        if (d.Name == Choice) return d;
      return std::nullopt;
    };
    View.ShowMessage = [this](const std::string& text, TMessageKind) { Messages.push_back(text); };
  }

  TCaptureCommandView View;
  std::vector<TCaptureDevice> Devices;
  std::string Choice;
  std::vector<std::string> Messages;
};

TEST_F(GstCaptureTest, TheMonitorListsTheDevicesWithNamesCutOnACharacterBoundary) {
  ASSERT_EQ(Devices.size(), 3u);
  const std::string& cut = Devices[2].Name;
  EXPECT_EQ(cut.size(), kMaxDeviceNameBytes - 1);
  EXPECT_EQ(cut.substr(cut.size() - 2), "\xC3\xA9");  // whole characters only
}

TEST_F(GstCaptureTest, ALiveDevicePlaysWithItsVideoSize) {
  Choice = "Test camera";
  StartCaptureActionExecute(Graph, Controller, View);
  EXPECT_TRUE(Messages.empty());
  EXPECT_TRUE(PumpUntil([this] { return Graph.State() == gsRunning; }));
  EXPECT_EQ(Controller.VideoWidth(), 160);
  EXPECT_EQ(Controller.VideoHeight(), 120);
  EXPECT_EQ(Controller.TitleLabel(), "Device: Test camera");
  EXPECT_TRUE(Graph.VideoConnected());
}

TEST_F(GstCaptureTest, ADeviceThatCannotStartGivesTheConnectError) {
  Graph.SetPrerollTimeoutMs(10000);
  Choice = "Busy camera";
  StartCaptureActionExecute(Graph, Controller, View);
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_EQ(Messages[0], CaptureConnectErrorText);
  EXPECT_NE(Graph.State(), gsRunning);
  EXPECT_EQ(Controller.TitleLabel(), "Stopped");
}

}  // namespace
}  // namespace tunevale
