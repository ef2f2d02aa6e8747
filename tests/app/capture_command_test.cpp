// The capture command on the real controller over a scriptable engine.
#include "app/capture_command.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "playback/fake_filter_graph.h"
#include "support/controller_rig.h"
#include "support/fake_runtime.h"

namespace tunevale {
namespace {

class CaptureCommandTest : public ::testing::Test,
                           protected test::TControllerRig<test::TFakeFilterGraph, test::TFakeRuntime> {
 protected:
  CaptureCommandTest() {
    View.ChooseDevice = [this](const std::vector<TCaptureDevice>& devices) -> std::optional<TCaptureDevice> {
      Shown = devices;
      if (DuringDialog) DuringDialog();
      if (Choice < 0) return std::nullopt;
      return devices[Choice];
    };
    View.ShowMessage = [this](const std::string& text, TMessageKind kind) {
      Messages.push_back({text, kind});
    };
    Runtime.OnProcessPendingMessages = [this] { Titles.push_back(Controller.TitleLabel()); };
    Graph.Devices = {{"Cam A", std::make_shared<int>(1)}, {"Cam B", std::make_shared<int>(2)}};
  }
  void PlaySomething() {
    Playlist.AddPlaylistEntry("/m/a.mp3");
    Playlist.PlayEntry(0, true);
    Graph.Calls.clear();
  }
  void Run() { StartCaptureActionExecute(Graph, Controller, View); }

  TCaptureCommandView View;
  int Choice = 0;
  std::function<void()> DuringDialog;
  std::vector<TCaptureDevice> Shown;
  std::vector<std::pair<std::string, TMessageKind>> Messages;
  std::vector<std::string> Titles;
};

TEST_F(CaptureCommandTest, WithoutDevicesOnlyTellsSo) {
  Graph.Devices.clear();
  PlaySomething();
  Run();
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_EQ(Messages[0].first, NoCaptureDeviceText);
  EXPECT_EQ(Messages[0].second, mtInformation);
  EXPECT_TRUE(Shown.empty());
  EXPECT_TRUE(Graph.Calls.empty());
  EXPECT_EQ(Graph.State(), gsRunning);
}

TEST_F(CaptureCommandTest, CancelLeavesPlaybackRunning) {
  PlaySomething();
  Choice = -1;
  Run();
  EXPECT_EQ(Shown.size(), 2u);
  EXPECT_TRUE(Graph.Calls.empty());
  EXPECT_EQ(Graph.Location, "/m/a.mp3");
}

TEST_F(CaptureCommandTest, ConnectsTheDeviceChosenEvenWhenTheListChangedMeanwhile) {
  PlaySomething();
  Choice = 1;
  // A camera plugged in while the dialog shows comes first in the engine's list now.
  DuringDialog = [this] {
    Graph.Devices.insert(Graph.Devices.begin(), {"Cam New", std::make_shared<int>(3)});
  };
  Run();
  EXPECT_TRUE(Messages.empty());
  EXPECT_NE(std::find(Titles.begin(), Titles.end(), "Connecting: Cam B"), Titles.end());
  EXPECT_EQ(Graph.Location, "Cam B");
  EXPECT_EQ(Graph.Mode(), gmCapture);
  EXPECT_EQ(Graph.State(), gsRunning);
  EXPECT_EQ(Controller.TitleLabel(), "Device: Cam B");
  EXPECT_EQ(Controller.TimeLabel(), "");
  // Stopped before connecting, played after.
  const auto at = [&](const std::string& call) {
    return std::find(Graph.Calls.begin(), Graph.Calls.end(), call);
  };
  EXPECT_LT(at("Clear"), at("RenderDevice:Cam B"));
  EXPECT_LT(at("RenderDevice:Cam B"), at("Play"));
}

}  // namespace
}  // namespace tunevale
