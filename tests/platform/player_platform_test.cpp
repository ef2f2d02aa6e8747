// The player on its platform ends: the session-end signals recorded for the main loop.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include "app/player.h"
#include "platform/close_signals.h"
#include "playback/fake_filter_graph.h"
#include "support/canned_http.h"
#include "support/fake_runtime.h"
#include "support/portable_paths.h"
#include "support/temp_folder.h"

namespace tunevale {
namespace {

bool Readable(int fd) {
  pollfd p{fd, POLLIN, 0};
  return poll(&p, 1, 0) == 1;
}

class PlayerPlatformTest : public ::testing::Test {
 protected:
  test::TTempFolder Temp;
  TAppPaths Paths = test::PortablePaths(Temp);
  test::TFakeRuntime Runtime;
  test::TFakeFilterGraph Graph;
  test::TCannedHttp Http;
};

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
  EXPECT_NE(test::ReadBytes(Paths.IniFilePath).find("FirstRun=0"), std::string::npos);

  // The handlers that were there before are back.
  struct sigaction now = {};
  sigaction(SIGTERM, nullptr, &now);
  EXPECT_EQ(now.sa_handler, SIG_DFL);
}

}  // namespace
}  // namespace tunevale
