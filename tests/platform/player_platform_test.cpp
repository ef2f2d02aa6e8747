// The player on its platform ends: remote commands through its real socket,
// and the session-end signals recorded for the main loop.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "app/command_line.h"
#include "app/player.h"
#include "platform/close_signals.h"
#include "platform/local_socket_client.h"
#include "platform/local_socket_remote_server.h"
#include "platform/runtime_folder.h"
#include "playback/fake_filter_graph.h"
#include "support/canned_http.h"
#include "support/fake_runtime.h"
#include "support/temp_folder.h"
#include "util/atomic_file.h"

namespace tunevale {
namespace {

bool Readable(int fd) {
  pollfd p{fd, POLLIN, 0};
  return poll(&p, 1, 0) == 1;
}

class PlayerPlatformTest : public ::testing::Test {
 protected:
  PlayerPlatformTest() : RuntimeFolder(RuntimeFolderPath(Temp.Path(), geteuid())) {
    PrepareRuntimeFolder(RuntimeFolder);
    Paths.ProgramDir = Temp.MakeFolder("prog") + "/";
    Paths.AppDataDir = Temp.MakeFolder("data") + "/";
    Paths.IniFilePath = Paths.ProgramDir + "Tunevale.ini";
    Paths.LibraryDbPath = Paths.ProgramDir + "Library.db";
  }

  test::TTempFolder Temp;
  std::string RuntimeFolder;
  TAppPaths Paths;
  test::TFakeRuntime Runtime;
  test::TFakeFilterGraph Graph;
  test::TCannedHttp Http;
};

TEST_F(PlayerPlatformTest, AHandOverThroughTheSocketReachesThePlayer) {
  TLocalSocketPlayers players(RuntimeFolder);
  ASSERT_TRUE(players.AcquireInstance(false));
  TLocalSocketRemoteServer server(players);
  TLocalSocketServer* listening = nullptr;
  server.OnListening = [&](TLocalSocketServer& s) { listening = &s; };
  TPlayer player(TPlayerPorts{Runtime, Graph, Http, nullptr, &server}, Paths);
  player.Create({});
  player.AfterShow();
  ASSERT_NE(listening, nullptr);
  EXPECT_EQ(listening->SocketPath(), RuntimeFolder + "player-" + std::to_string(getpid()) + ".sock");

  const std::string song = Temp.Write("media/song.mp3", "x");
  // Every clock reading moves on a second: the hand-over is no continuation
  // of the start-up or of the registration.
  Runtime.TickPerReadMs = 1000;
  std::vector<std::string> replies;
  std::atomic<bool> done = false;
  TLocalSocketClient::TResult registered = TLocalSocketClient::crFailed,
                              handed = TLocalSocketClient::crFailed;
  std::thread second([&] {
    TLocalSocketClient client;
    if (client.Connect(listening->SocketPath())) {
      const auto collect = [&](std::string_view frame) { replies.emplace_back(frame); };
      registered = client.Send("registerwindow=9", collect, 10000);
      handed = client.Send(HandOverText({"media/song.mp3"}, Temp.Path()), collect, 10000);
    }
    done = true;
  });
  while (!done) listening->ProcessEvents(20);
  second.join();

  EXPECT_EQ(registered, TLocalSocketClient::crDone);
  EXPECT_EQ(handed, TLocalSocketClient::crDone);
  ASSERT_EQ(player.Playlist().Count(), 1);
  EXPECT_EQ(player.Playlist().Entry(0).FileName, song);
  EXPECT_EQ(Graph.Location, song);
  // Registration: playlist, state, volume; the hand-over: the playing state and the new playlist.
  ASSERT_GE(replies.size(), 4u);
  EXPECT_EQ(replies[0], "playlistnames=");
  EXPECT_EQ(replies.back(), "playlistnames=Song\x01");
}

TEST_F(PlayerPlatformTest, SessionEndSignalsAreRecordedForTheLoopToClose) {
  TPlayer player(TPlayerPorts{Runtime, Graph, Http, nullptr, nullptr}, Paths);
  player.Create({});
  player.AfterShow();
  {
    TCloseSignals signals;
    EXPECT_FALSE(Readable(signals.Fd()));
    EXPECT_EQ(signals.TakeSignal(), 0);
    for (const int signo : {SIGHUP, SIGINT, SIGTERM}) {
      raise(signo);
      ASSERT_TRUE(Readable(signals.Fd()));
      EXPECT_EQ(signals.TakeSignal(), signo);
      EXPECT_FALSE(Readable(signals.Fd()));
    }
    // What the window's loop does when the descriptor becomes readable.
    raise(SIGTERM);
    if (Readable(signals.Fd()) && signals.TakeSignal() != 0) player.ExitActionExecute();
  }
  EXPECT_TRUE(player.Terminating());
  std::string ini;
  EXPECT_TRUE(ReadWholeFile(Paths.IniFilePath, ini));
  EXPECT_NE(ini.find("FirstRun=0"), std::string::npos);

  // The handlers that were there before are back.
  struct sigaction now = {};
  sigaction(SIGTERM, nullptr, &now);
  EXPECT_EQ(now.sa_handler, SIG_DFL);
}

}  // namespace
}  // namespace tunevale
