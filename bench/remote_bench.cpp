// Remote control throughput: "setvolume=..." round trips over a real player
// socket, one registered listener receiving every volume notification.
// The player side (socket server + interpreter over a stand-in target) runs
// on its own thread, the listener on another.
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "app/remote_control.h"
#include "platform/local_socket_client.h"
#include "platform/local_socket_server.h"
#include "support/fake_remote_target.h"
#include "support/fake_runtime.h"
#include "support/temp_folder.h"

namespace tunevale {
namespace {

constexpr int CommandsPerRun = 10000;

void BM_SetVolumeRoundTrips(benchmark::State& state) {
  test::TTempFolder temp;
  test::TFakeRuntime runtime;
  test::TFakeRemoteTarget target;
  target.Logging = false;
  std::unique_ptr<TRemoteControl> remote;
  auto server = std::make_unique<TLocalSocketServer>(
      temp / "player-1.sock", [&](TConnectionId id, std::string_view text) { remote->HandleMessage(id, text); });
  remote = std::make_unique<TRemoteControl>(target, *server, runtime);
  target.Remote = remote.get();

  std::atomic<bool> stop{false};
  std::thread player([&] {
    while (!stop) server->ProcessEvents(5);
  });

  TLocalSocketClient listener, sender;
  if (!listener.Connect(server->SocketPath()) || !sender.Connect(server->SocketPath()) ||
      listener.Send("registerwindow=1", nullptr, 5000) != TLocalSocketClient::crDone) {
    state.SkipWithError("cannot reach the player socket");
    stop = true;
    player.join();
    return;
  }
  std::atomic<long> heard{0};
  std::thread listening([&] {
    std::string frame;
    while (listener.ReadFrame(frame, -1) == TLocalSocketClient::crDone)
      if (frame.starts_with("volume=")) ++heard;
  });

  long expected = 0;
  for (auto _ : state) {
    for (int i = 0; i < CommandsPerRun; ++i)
      if (sender.Send("setvolume=" + std::to_string(i % 10001), nullptr, 5000) != TLocalSocketClient::crDone) {
        state.SkipWithError("a round trip failed");
        break;
      }
    expected += CommandsPerRun;
    // Every notification was queued before its round trip ended; wait until
    // the listener has read them all.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (heard < expected && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
    if (heard < expected) state.SkipWithError("the listener missed notifications");
  }
  state.counters["commands_per_second"] =
      benchmark::Counter(double(CommandsPerRun) * double(state.iterations()), benchmark::Counter::kIsRate);

  stop = true;
  player.join();
  server.reset();  // closes the listener's connection, which ends its thread
  listening.join();
}
BENCHMARK(BM_SetVolumeRoundTrips)->Iterations(1)->Repetitions(5)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tunevale

BENCHMARK_MAIN();
