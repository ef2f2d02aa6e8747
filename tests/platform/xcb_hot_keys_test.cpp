// Global hot keys on a real X server (Xvfb): keys sent with xdotool reach
// the player through the grabs, and a key another client holds is passed by.
#include "platform/xcb_hot_keys.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <gtest/gtest.h>

#include <memory>

#include "app/player.h"
#include "playback/fake_filter_graph.h"
#include "support/canned_http.h"
#include "support/fake_runtime.h"
#include "support/offscreen_application.h"
#include "support/portable_paths.h"
#include "support/run_program.h"
#include "support/temp_folder.h"
#include "support/xvfb.h"

namespace tunevale::test {
namespace {

// The window's part: runs the play/pause action.
class TView : public TPlayerView {
 public:
  void RunAction(const std::string& name) override {
    if (name == "PlayPauseAction") Player->PlayPause();
  }
  TPlayer* Player = nullptr;
};

class XcbHotKeysTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    Server = new TXvfb;
    ASSERT_FALSE(Server->Display().empty()) << "Xvfb did not start";
    setenv("DISPLAY", Server->Display().c_str(), 1);
    StartApplication("xcb");
  }
  static void TearDownTestSuite() {
    delete QApplication::instance();
    delete Server;
  }

  XcbHotKeysTest() {
    Folder.Write("prog/Tunevale.ini", "[Tunevale]\nEnableGlobalHotkeys=1\nFirstRun=0\n");
    Song = Folder.Write("media/a.mp3", "x");
  }

  void StartPlayer() {
    Port = TXcbHotKeys::ForApplication();
    ASSERT_NE(Port, nullptr);
    Player = std::make_unique<TPlayer>(TPlayerPorts{Runtime, Graph, Http, nullptr, nullptr, Port.get()},
                                       PortablePaths(Folder));
    View.Player = Player.get();
    Player->SetView(&View);
    Player->Create({});
    Player->Playlist().AddPlaylistEntry(Song);
  }

  static void XdoKey(const char* keys) {
    int status = -1;
    RunProgram("/usr/bin/xdotool", {"key", keys}, status);
    ASSERT_EQ(status, 0) << keys;
  }

  // Lets the loop run until the engine reaches `state` (or a generous time passed).
  bool WaitForState(TGraphState state) {
    QDeadlineTimer deadline(10000);
    while (Graph.CurrentState != state && !deadline.hasExpired()) QApplication::processEvents(QEventLoop::AllEvents, 50);
    return Graph.CurrentState == state;
  }

  // A grab of Ctrl+Alt+`key` by another client; true when the server granted it.
  static bool OtherClientGrabs(xcb_connection_t* other, int key) {
    TXcbHotKeys probe(other);
    return probe.Register(THotKey{key, hmControl | hmAlt, ""});
  }

  static TXvfb* Server;
  TTempFolder Folder;
  std::string Song;
  TFakeRuntime Runtime;
  TFakeFilterGraph Graph;
  test::TCannedHttp Http;
  TView View;
  std::unique_ptr<TXcbHotKeys> Port;
  std::unique_ptr<TPlayer> Player;
};

TXvfb* XcbHotKeysTest::Server = nullptr;

TEST_F(XcbHotKeysTest, CtrlAltPPlaysAndPausesWhateverTheLockState) {
  StartPlayer();
  ASSERT_TRUE(Player->HotKeys().Held('P'));
  XdoKey("ctrl+alt+p");
  EXPECT_TRUE(WaitForState(gsRunning));
  XdoKey("Num_Lock");
  XdoKey("ctrl+alt+p");
  EXPECT_TRUE(WaitForState(gsPaused));
  XdoKey("Num_Lock");
}

TEST_F(XcbHotKeysTest, AKeyAnotherClientHoldsIsPassedByAndReleasedKeysAreFree) {
  xcb_connection_t* other = xcb_connect(Server->Display().c_str(), nullptr);
  ASSERT_EQ(xcb_connection_has_error(other), 0);
  {
    TXcbHotKeys first(other);
    ASSERT_TRUE(first.Register(THotKey{'N', hmControl | hmAlt, ""}));
    StartPlayer();
    // Refused without ending this process; the other keys are ours.
    EXPECT_FALSE(Player->HotKeys().Held('N'));
    EXPECT_TRUE(Player->HotKeys().Held('P'));
    EXPECT_FALSE(OtherClientGrabs(other, 'P'));
  }
  Player->Settings().EnableGlobalHotkeys = false;
  Player->SaveSettings();
  Player->LoadSettings();
  EXPECT_TRUE(OtherClientGrabs(other, 'P'));
  xcb_disconnect(other);
}

}  // namespace
}  // namespace tunevale::test
