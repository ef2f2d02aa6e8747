#include "platform/qt_runtime.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include "platform/local_socket_client.h"
#include "platform/qt_socket_watcher.h"
#include "support/temp_folder.h"

namespace tunevale {
namespace {

class QtRuntimeTest : public ::testing::Test {
 protected:
  // Runs the Qt loop until `done` or 3 s.
  static bool RunUntil(const std::function<bool()>& done) {
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
      if (done()) loop.quit();
    });
    QTimer::singleShot(3000, &loop, &QEventLoop::quit);
    poll.start();
    loop.exec();
    return done();
  }

  int argc = 1;
  char arg0[8] = "test";
  char* argv[1] = {arg0};
  QCoreApplication App{argc, argv};
  TQtRuntime Runtime;
};

TEST_F(QtRuntimeTest, TimersTickUntilDisabledAndIdleHandlersRunOnce) {
  int ticks = 0;
  std::unique_ptr<TTimer> timer;
  timer = Runtime.CreateTimer([&] {
    if (++ticks == 3) timer->SetEnabled(false);
  });
  timer->SetInterval(10);
  timer->SetEnabled(true);
  int idleRuns = 0;
  Runtime.SetIdleHandler([&] { ++idleRuns; });
  ASSERT_TRUE(RunUntil([&] { return ticks == 3 && idleRuns == 1; }));
  EXPECT_FALSE(timer->Enabled());
  RunUntil([] { return false; });  // nothing more happens
  EXPECT_EQ(ticks, 3);
  EXPECT_EQ(idleRuns, 1);

  Runtime.SetIdleHandler([&] { ++idleRuns; });
  Runtime.ClearIdleHandler();
  RunUntil([] { return false; });
  EXPECT_EQ(idleRuns, 1);
}

TEST_F(QtRuntimeTest, FdWatcherReportsReadableData) {
  int fds[2];
  ASSERT_EQ(::pipe(fds), 0);
  std::string received;
  TFdWatcher watcher(fds[0], [&] {
    char buf[16];
    const ssize_t n = ::read(fds[0], buf, sizeof buf);
    if (n > 0) received.append(buf, static_cast<size_t>(n));
  });
  ASSERT_EQ(::write(fds[1], "ping", 4), 4);
  EXPECT_TRUE(RunUntil([&] { return received == "ping"; }));
  ::close(fds[0]);
  ::close(fds[1]);
}

// Each client gets the descriptor number of the one before it, which the
// loop polls in between: no notifier may outlive its connection.
TEST_F(QtRuntimeTest, ClientsReusingAClosedOnesDescriptorAreAnsweredWithNoStaleNotifier) {
  test::TTempFolder temp;
  std::unique_ptr<TLocalSocketServer> server;
  server = std::make_unique<TLocalSocketServer>(
      temp / "player-1.sock", [&](TConnectionId id, std::string_view) { server->SendFrame(id, "pong"); });
  TQtSocketWatcher watcher(*server);
  static int stale = 0;
  qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
    stale += text.contains("Invalid socket");
  });
  for (int round = 0; round < 3; ++round) {
    TLocalSocketClient client;
    ASSERT_TRUE(client.Connect(server->SocketPath()) && ::write(client.Descriptor(), "ping", 5) == 5);
    pollfd readable{client.Descriptor(), POLLIN, 0};
    std::string reply;
    EXPECT_TRUE(RunUntil([&] { return ::poll(&readable, 1, 0) == 1; }) &&
                client.ReadFrame(reply, 0) == TLocalSocketClient::crDone && reply == "pong")
        << round;
    client.Close();
    ASSERT_TRUE(RunUntil([&] { return server->ConnectionCount() == 0; }));
  }
  qInstallMessageHandler(nullptr);
  EXPECT_EQ(stale, 0);
}

TEST_F(QtRuntimeTest, ClockAndDateMoveForward) {
  const int64_t before = Runtime.MonotonicMs();
  const double day = Runtime.Now();
  RunUntil([&] { return Runtime.MonotonicMs() - before >= 20; });
  EXPECT_GE(Runtime.MonotonicMs() - before, 20);
  EXPECT_GT(day, 45000.0);  // after 2023
  EXPECT_LT(day, 80000.0);
}

}  // namespace
}  // namespace tunevale
