// The player over the real engine when the media never start: the open ends
// in an error after its time-out, and the remote socket answers meanwhile.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <atomic>
#include <thread>

#include "app/player.h"
#include "platform/local_socket_client.h"
#include "platform/local_socket_remote_server.h"
#include "platform/runtime_folder.h"
#include "playback/gst_filter_graph.h"
#include "playback/test_media.h"
#include "playlist/local_http_server.h"
#include "support/loop_runtime.h"
#include "support/portable_paths.h"

namespace tunevale {
namespace {

class TNoHttp : public THttpClient {
 public:
  THttpResponse Get(const std::string&, size_t) override { return {}; }
};

TEST(EngineWaitTest, AnOpenThatNeverStartsFailsInItsTimeOutWhileTheSocketAnswers) {
  test::TTempFolder folder;
  const std::string wav = folder / "tone.wav";
  test::GstLaunch("audiotestsrc num-buffers=20 ! wavenc ! filesink location=" + wav);
  test::TLocalHttpServer server;
  server.ServeStall("/silent");
  // A sink whose output is a pipe nobody reads: opening it never returns.
  const std::string pipe = folder / "output";
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  const struct {
    const char* Name;
    std::string Location, AudioSink;
    int32_t Code;
  } cases[] = {
      {"a sink stuck opening", wav, "filesink location=" + pipe, kErrUnknown},
      {"a server that never answers", server.Url("/silent"), "fakesink", kErrCannotConnect},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::string runtimeFolder = RuntimeFolderPath(folder.MakeFolder(c.Name), geteuid());
    PrepareRuntimeFolder(runtimeFolder);
    TLocalSocketPlayers players(runtimeFolder);
    ASSERT_TRUE(players.AcquireInstance(false));
    TLocalSocketRemoteServer remote(players);
    GstFilterGraph graph;
    graph.SetAudioSink(c.AudioSink);
    graph.SetPrerollTimeoutMs(1500);
    graph.SetStateTimeoutMs(1500);
    test::TLoopRuntime runtime;
    TNoHttp http;
    TPlayer player(TPlayerPorts{runtime, graph, http, nullptr, &remote}, test::PortablePaths(folder));
    graph.SetPendingMessagesPump([&] { remote.Socket()->ProcessEvents(0); });
    player.Create({});
    player.AfterShow();
    player.Playlist().AddPlaylistEntry(c.Location);

    // The question is on the socket before the open starts.
    TLocalSocketClient connection;
    ASSERT_TRUE(connection.Connect(remote.Socket()->SocketPath()));
    const char question[] = "getplaylistnames";
    ASSERT_EQ(write(connection.Descriptor(), question, sizeof question), ssize_t(sizeof question));
    std::atomic<bool> opening = true, answeredWhileOpening = false;
    std::thread client([&] {
      std::string frame = "-";
      while (!frame.empty() && connection.ReadFrame(frame, 30000) == TLocalSocketClient::crDone) {
      }
      answeredWhileOpening = frame.empty() && opening;
    });
    player.Playlist().PlayEntry(0, true);
    opening = false;
    client.join();

    EXPECT_TRUE(answeredWhileOpening);
    EXPECT_EQ(player.Playlist().Entry(0).PlayResult.Code, c.Code);
    EXPECT_NE(graph.State(), gsRunning);
  }
}

}  // namespace
}  // namespace tunevale
