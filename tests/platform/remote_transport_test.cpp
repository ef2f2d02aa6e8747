// The remote transport over real Unix sockets: a server on a thread of the
// test or in a forked "player" process, and real clients.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <filesystem>
#include <mutex>
#include <thread>

#include "app/instance.h"
#include "app/remote_control.h"
#include "platform/instance_lock.h"
#include "platform/local_socket_client.h"
#include "platform/local_socket_players.h"
#include "platform/local_socket_server.h"
#include "platform/runtime_folder.h"
#include "support/fake_remote_target.h"
#include "support/fake_runtime.h"
#include "support/run_program.h"
#include "support/temp_folder.h"
#include "util/text.h"

namespace tunevale {
namespace {

using Texts = std::vector<std::string>;

std::string Folder(const test::TTempFolder& temp) { return temp.Path() + "/"; }

// Runs a server's loop on its own thread until destroyed.
class TServerThread {
 public:
  explicit TServerThread(TLocalSocketServer& server)
      : Server(server), Thread([this] {
          while (!Stop) Server.ProcessEvents(10);
        }) {}
  ~TServerThread() { Join(); }
  // Ends the loop, so the test may look at the server.
  void Join() {
    Stop = true;
    if (Thread.joinable()) Thread.join();
  }

 private:
  TLocalSocketServer& Server;
  std::atomic<bool> Stop{false};
  std::thread Thread;
};

// Frames the server handled, and each answered with two replies.
struct TEchoServer {
  explicit TEchoServer(const std::string& path)
      : Server(path, [this](TConnectionId id, std::string_view text) {
          {
            std::lock_guard lock(Mutex);
            Handled.emplace_back(text);
          }
          Server.SendFrame(id, "echo:" + std::string(text));
          Server.SendFrame(id, "again:" + std::string(text));
        }) {}
  Texts HandledFrames() {
    std::lock_guard lock(Mutex);
    return Handled;
  }
  std::mutex Mutex;
  Texts Handled;
  TLocalSocketServer Server;
};

Texts SendAndCollect(TLocalSocketClient& client, std::string_view text,
                     TLocalSocketClient::TResult expected = TLocalSocketClient::crDone) {
  Texts replies;
  EXPECT_EQ(client.Send(
                text, [&](std::string_view r) { replies.emplace_back(r); }, 10000),
            expected)
      << text;
  return replies;
}

Texts ReadFrames(TLocalSocketClient& client, size_t count) {
  Texts frames;
  std::string frame;
  while (frames.size() < count && client.ReadFrame(frame, 10000) == TLocalSocketClient::crDone)
    frames.push_back(frame);
  return frames;
}

// An echo server in a folder of its own, and a client for it.
class EchoSocketTest : public ::testing::Test {
 protected:
  test::TTempFolder Temp;
  TEchoServer Echo{Temp / "player-1.sock"};
  TLocalSocketClient Client;
};

TEST_F(EchoSocketTest, EachFrameIsAnsweredAndEndedByAnEmptyFrame) {
  TServerThread loop(Echo.Server);
  ASSERT_TRUE(Client.Connect(Echo.Server.SocketPath()));
  EXPECT_EQ(SendAndCollect(Client, "hello"), (Texts{"echo:hello", "again:hello"}));
  EXPECT_EQ(SendAndCollect(Client, ""), (Texts{"echo:", "again:"}));

  // Frames written in one go are answered in order, each with its own end.
  const std::string two("stop\0next\0", 10);
  ASSERT_EQ(send(Client.Descriptor(), two.data(), two.size(), MSG_NOSIGNAL), ssize_t(two.size()));
  EXPECT_EQ(ReadFrames(Client, 6), (Texts{"echo:stop", "again:stop", "", "echo:next", "again:next", ""}));
  EXPECT_EQ(Echo.HandledFrames(), (Texts{"hello", "", "stop", "next"}));

  // Large frames travel both ways.
  const std::string big = "play=" + std::string(3 << 20, 'x');
  EXPECT_EQ(SendAndCollect(Client, big), (Texts{"echo:" + big, "again:" + big}));
}

TEST(LocalSocketTest, AHandlerThatPumpsLetsOthersInButKeepsItsOwnOrder) {
  test::TTempFolder temp;
  Texts handled;  // only touched on the server's thread
  std::unique_ptr<TLocalSocketServer> server;
  const auto onFrame = [&](TConnectionId id, std::string_view text) {
    handled.emplace_back(text);
    // A long operation pumping messages until the other client got through.
    if (text == "slow")
      for (int i = 0; i < 1000 && std::find(handled.begin(), handled.end(), "other") == handled.end(); ++i)
        server->ProcessEvents(10);
    server->SendFrame(id, "done:" + std::string(text));
  };
  server = std::make_unique<TLocalSocketServer>(temp / "player-1.sock", onFrame);
  TServerThread loop(*server);
  TLocalSocketClient first, second;
  ASSERT_TRUE(first.Connect(server->SocketPath()));
  ASSERT_TRUE(second.Connect(server->SocketPath()));
  const std::string two("slow\0after\0", 11);
  ASSERT_EQ(send(first.Descriptor(), two.data(), two.size(), MSG_NOSIGNAL), ssize_t(two.size()));
  EXPECT_EQ(SendAndCollect(second, "other"), Texts{"done:other"});
  EXPECT_EQ(ReadFrames(first, 4), (Texts{"done:slow", "", "done:after", ""}));
  loop.Join();
  EXPECT_EQ(handled, (Texts{"slow", "other", "after"}));
}

TEST_F(EchoSocketTest, ASendToAPlayerThatNeverAnswersTimesOut) {
  ASSERT_TRUE(Client.Connect(Echo.Server.SocketPath()));  // the server's loop never runs
  EXPECT_EQ(Client.Send("stop", nullptr, 200), TLocalSocketClient::crTimedOut);
}

TEST_F(EchoSocketTest, ClientsOfAnotherUserAreTurnedAway) {
  Echo.Server.AllowedUid = geteuid() + 1;
  TServerThread loop(Echo.Server);
  ASSERT_TRUE(Client.Connect(Echo.Server.SocketPath()));
  EXPECT_EQ(Client.Send("terminate", nullptr, 10000), TLocalSocketClient::crClosed);
  loop.Join();
  EXPECT_TRUE(Echo.HandledFrames().empty());
  EXPECT_EQ(Echo.Server.RejectedConnections(), 1);
}

TEST_F(EchoSocketTest, ARealOtherUserIsTurnedAwayByItsCredentials) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  chmod(Temp.Path().c_str(), 0755);
  chmod(Echo.Server.SocketPath().c_str(), 0666);  // let the other user reach the check
  TServerThread loop(Echo.Server);
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(3);
    if (!Client.Connect(Echo.Server.SocketPath())) _exit(4);
    _exit(Client.Send("terminate", nullptr, 10000) == TLocalSocketClient::crClosed ? 0 : 1);
  }
  int status = 0;
  waitpid(child, &status, 0);
  loop.Join();
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  EXPECT_TRUE(Echo.HandledFrames().empty());
  EXPECT_EQ(Echo.Server.RejectedConnections(), 1);
}

TEST_F(EchoSocketTest, AnOverlongFrameDropsTheConnection) {
  TServerThread loop(Echo.Server);
  ASSERT_TRUE(Client.Connect(Echo.Server.SocketPath()));
  // 65 MiB without a zero: more than any frame may hold.
  const std::string chunk(1 << 20, 'y');
  TLocalSocketClient::TResult result = TLocalSocketClient::crDone;
  std::string frame;
  for (int i = 0; i < 65 && result == TLocalSocketClient::crDone; ++i) {
    ssize_t n = send(Client.Descriptor(), chunk.data(), chunk.size(), MSG_NOSIGNAL);
    if (n < 0) result = TLocalSocketClient::crClosed;
  }
  if (result == TLocalSocketClient::crDone) result = Client.ReadFrame(frame, 10000);
  EXPECT_EQ(result, TLocalSocketClient::crClosed);
  EXPECT_TRUE(Echo.HandledFrames().empty());
}

// Clients pushing 3 MiB frames that never end and listeners that never read
// stay within the budget; the listeners are dropped, a reader gets its answers.
TEST(LocalSocketTest, ClientsTogetherStayWithinTheMemoryBudget) {
  test::TTempFolder temp;
  std::vector<TConnectionId> listeners;  // the server's thread only
  std::unique_ptr<TLocalSocketServer> server;
  const auto onFrame = [&](TConnectionId id, std::string_view text) {
    if (text == "listen") listeners.push_back(id);
    for (TConnectionId listener : listeners) server->SendFrame(listener, std::string(256 << 10, 'n'));
  };
  server = std::make_unique<TLocalSocketServer>(temp / "player-1.sock", onFrame);
  server->MemoryBudget = 8 << 20;
  server->MaxConnections = 12;
  TServerThread loop(*server);
  std::vector<TLocalSocketClient> idle(6);
  for (TLocalSocketClient& c : idle)
    ASSERT_TRUE(c.Connect(server->SocketPath()) && send(c.Descriptor(), "listen", 7, MSG_NOSIGNAL) == 7);
  std::vector<std::thread> senders;
  for (int i = 0; i < 20; ++i)
    senders.emplace_back([&] {
      TLocalSocketClient c;
      const std::string chunk(1 << 20, 'z');
      // Each send waits until the server has taken it all or dropped the client.
      if (c.Connect(server->SocketPath()) && fcntl(c.Descriptor(), F_SETFL, 0) == 0)
        for (int n = 0; n < 3 && send(c.Descriptor(), chunk.data(), chunk.size(), MSG_NOSIGNAL) > 0; ++n)
          continue;
    });
  for (std::thread& t : senders) t.join();
  TLocalSocketClient reader;
  ASSERT_TRUE(reader.Connect(server->SocketPath()));
  for (int i = 0; i < 50; ++i)
    ASSERT_EQ(reader.Send("notify", nullptr, 10000), TLocalSocketClient::crDone) << i;
  loop.Join();
  EXPECT_LE(server->PeakHeldBytes(), server->MemoryBudget);
  EXPECT_EQ(server->ConnectionCount(), 1u);
}

// Past the connection limit a client waits in the listen queue until a place is free.
TEST(LocalSocketTest, AClientPastTheConnectionLimitIsTakenOnceAPlaceIsFree) {
  test::TTempFolder temp;
  TLocalSocketServer server(temp / "player-1.sock", [](TConnectionId, std::string_view) {});
  server.MaxConnections = 2;
  std::vector<TLocalSocketClient> clients(3);
  for (TLocalSocketClient& c : clients) ASSERT_TRUE(c.Connect(server.SocketPath()));
  server.ProcessEvents(0);  // all three are pending: one round accepts what it may
  EXPECT_EQ(server.ConnectionCount(), 2u);
  clients[0].Close();
  TServerThread loop(server);
  EXPECT_EQ(clients[2].Send("ping", nullptr, 10000), TLocalSocketClient::crDone);
}

// A player's remote side: the interpreter over a fake target, reached through
// the real socket `listen` makes for the given frame handler.
struct TRemotePlayer {
  using TListen = std::function<std::unique_ptr<TLocalSocketServer>(TLocalSocketServer::TFrameHandler)>;
  explicit TRemotePlayer(const TListen& listen)
      : Server(listen([this](TConnectionId id, std::string_view text) {
          Runtime.Advance(1000);
          if (text == "|seamlessupgrade|" && EndOnUpgrade) _exit(0);
          Remote.HandleMessage(id, text);
        })) {
    Target.Remote = &Remote;
    Target.Logging = false;
  }
  bool EndOnUpgrade = false;  // as the player process does
  test::TFakeRuntime Runtime;
  test::TFakeRemoteTarget Target;
  std::unique_ptr<TLocalSocketServer> Server;
  TRemoteControl Remote{Target, *Server, Runtime};
};

// The notification of a volume change (the second field: not muted).
std::string VolumeFrame(int volume) { return "volume=" + std::to_string(volume) + "\x01" + "0"; }

// Registers `client` and returns the frames that answered the registration.
Texts Register(TLocalSocketClient& client, int number) {
  return SendAndCollect(client, "registerwindow=" + std::to_string(number));
}

// What the frames hold is the interpreter's business; here a closed socket must leave the listeners.
TEST(RemoteOverSocketTest, ListenersGetTheirNotificationsAndAClosedOneIsLeftOut) {
  test::TTempFolder temp;
  TRemotePlayer player([&](TLocalSocketServer::TFrameHandler onFrame) {
    return std::make_unique<TLocalSocketServer>(temp / "player-1.sock", std::move(onFrame));
  });
  TServerThread loop(*player.Server);
  TLocalSocketClient first, second, sender;
  for (TLocalSocketClient* c : {&first, &second, &sender})
    ASSERT_TRUE(c->Connect(player.Server->SocketPath()));
  const Texts registered = Register(first, 11);
  ASSERT_EQ(registered.size(), 3u);
  Register(second, 22);
  EXPECT_EQ(ReadFrames(first, 3), registered);  // the second registration is announced to the first
  // The sender is not registered: its send ends with the empty frame only.
  EXPECT_EQ(SendAndCollect(sender, "setvolume=7"), Texts{});
  for (TLocalSocketClient* c : {&first, &second}) EXPECT_EQ(ReadFrames(*c, 1), Texts{VolumeFrame(7)});
  first.Close();
  EXPECT_EQ(SendAndCollect(sender, "setvolume=8"), Texts{});
  EXPECT_EQ(ReadFrames(second, 1), Texts{VolumeFrame(8)});
  // 22 belongs to an open connection; 11's is closed, so that number is free again.
  EXPECT_EQ(Register(sender, 22), Texts{});
  EXPECT_EQ(Register(sender, 11).size(), 3u);
}

// Forks a player process: it holds the instance lock, listens on its socket,
// runs the interpreter and ends on "|seamlessupgrade|".
pid_t StartPlayerProcess(const std::string& folder) {
  int ready[2];
  if (pipe(ready) != 0) return -1;
  const pid_t pid = fork();
  if (pid != 0) {
    close(ready[1]);
    char c;
    const bool ok = read(ready[0], &c, 1) == 1;
    close(ready[0]);
    return ok ? pid : -1;
  }
  close(ready[0]);
  TLocalSocketPlayers players(folder);
  if (!players.AcquireInstance(true)) _exit(5);
  TRemotePlayer player(
      [&](TLocalSocketServer::TFrameHandler onFrame) { return players.Listen(std::move(onFrame)); });
  player.EndOnUpgrade = true;
  if (write(ready[1], "r", 1) != 1) _exit(6);
  for (;;) player.Server->ProcessEvents(100);
}

void StopProcess(pid_t pid) {
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

TEST(RemoteOverSocketTest, ASecondStartHandsItsFilesToEveryRunningPlayer) {
  test::TTempFolder temp;
  const std::string folder = Folder(temp);
  const pid_t a = StartPlayerProcess(folder);
  const pid_t b = StartPlayerProcess(folder);
  ASSERT_GT(a, 0);
  ASSERT_GT(b, 0);
  TLocalSocketPlayers players(folder);
  EXPECT_TRUE(players.PlayerRunning());
  const Texts args = {"song.mp3", "/abs/other.ogg"};
  EXPECT_EQ(ClaimInstance(players, DecideStart(args), args, "/home/me"), ioHandedOver);
  EXPECT_FALSE(players.Lock().Held());

  // Each player now lists both files; registering shows its playlist.
  Texts playlists;
  players.SendToPlayers("registerwindow=1", 10000, [&](std::string_view r) {
    if (r.starts_with("playlistnames=")) playlists.emplace_back(r);
  });
  EXPECT_EQ(playlists, Texts(2, "playlistnames=/home/me/song.mp3\x01/abs/other.ogg\x01"));
  StopProcess(a);
  StopProcess(b);
}

TEST(RemoteOverSocketTest, SocketsOfEndedPlayersAreRemoved) {
  test::TTempFolder temp;
  const std::string folder = Folder(temp);
  // A player killed outright leaves its socket file behind.
  const pid_t gone = StartPlayerProcess(folder);
  ASSERT_GT(gone, 0);
  StopProcess(gone);
  const std::string stale = TLocalSocketServer::PlayerSocketPath(folder, gone);
  ASSERT_TRUE(std::filesystem::exists(stale));
  // A socket nobody listens on, named after a process that still runs, stays.
  const test::TChild alive("/bin/sleep", {"60"});
  const std::string refused = TLocalSocketServer::PlayerSocketPath(folder, alive.ProcessId());
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, refused.c_str());
  ASSERT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);

  TLocalSocketPlayers players(folder);
  EXPECT_EQ(players.SendToPlayers("stop", 10000, nullptr), 0);
  EXPECT_FALSE(std::filesystem::exists(stale));
  EXPECT_TRUE(std::filesystem::exists(refused));
  close(fd);
}

TEST(InstanceLockTest, HeldByAnotherProcessUntilItEnds) {
  test::TTempFolder temp;
  const std::string folder = Folder(temp);
  const pid_t player = StartPlayerProcess(folder);
  ASSERT_GT(player, 0);
  TInstanceLock lock(folder);
  EXPECT_TRUE(lock.HeldByOthers());
  EXPECT_FALSE(lock.Acquire(false));
  EXPECT_FALSE(lock.Held());
  EXPECT_TRUE(lock.Acquire(true));  // "/forcestart" runs beside it
  EXPECT_TRUE(lock.HeldByOthers());
  StopProcess(player);  // the system frees a killed player's hold
  EXPECT_FALSE(lock.HeldByOthers());
  EXPECT_TRUE(lock.Held());
  lock.Release();
  TInstanceLock next(folder);
  EXPECT_TRUE(next.Acquire(false));
  TInstanceLock third(folder);
  EXPECT_TRUE(third.HeldByOthers());
  EXPECT_FALSE(third.Acquire(false));
}

TEST(CloseRunningInstanceTest, TrueWhenNoneRunsOrThePlayerEnds) {
  test::TTempFolder temp;
  const std::string folder = Folder(temp);
  TLocalSocketPlayers players(folder);
  EXPECT_TRUE(CloseRunningInstance(players));
  const pid_t player = StartPlayerProcess(folder);
  ASSERT_GT(player, 0);
  EXPECT_TRUE(CloseRunningInstance(players));
  int status = 0;
  ASSERT_EQ(waitpid(player, &status, 0), player);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// Runs tunevalectl with XDG_RUNTIME_DIR set; returns its output, and its
// exit status in `status`. With `whileRunning` each line of the tool's output
// is handed over as it comes until it returns false.
std::string RunTunevalectl(const std::string& runtimeDir, const Texts& args, int& status,
                           std::function<bool(const std::string&)> whileRunning = nullptr) {
  return test::RunProgram(TUNEVALECTL_PATH, args, status,
                          {{{"XDG_RUNTIME_DIR", runtimeDir}}, std::move(whileRunning)});
}

TEST(TunevalectlRemoteTest, SendPrintsRepliesAndListenFollowsNotifications) {
  test::TTempFolder temp;
  const std::string folder = RuntimeFolderPath(temp.Path(), geteuid());
  PrepareRuntimeFolder(folder);
  int status = -1;
  RunTunevalectl(temp.Path(), {"send", "stop"}, status);
  EXPECT_EQ(status, 1);  // no player

  const pid_t player = StartPlayerProcess(folder);
  ASSERT_GT(player, 0);
  EXPECT_EQ(RunTunevalectl(temp.Path(), {"send", "play=", "/a.mp3", "/b c.mp3"}, status), "");
  EXPECT_EQ(status, 0);
  EXPECT_EQ(RunTunevalectl(temp.Path(), {"send", "getplaylistnames"}, status),
            "playlistnames=/a.mp3\x01/b c.mp3\x01\n");
  EXPECT_EQ(RunTunevalectl(temp.Path(), {"send", "--no-register", "getplaylistnames"}, status), "");
  EXPECT_EQ(RunTunevalectl(temp.Path(), {"send", "getartists="}, status), "artists=\n");

  // listen: the registration frames, then what a later command causes; it
  // ends when the player ends.
  int lines = 0;
  const std::string heard = RunTunevalectl(temp.Path(), {"listen"}, status, [&](const std::string&) {
    if (++lines == 3) {
      int ignored;
      RunTunevalectl(temp.Path(), {"send", "--no-register", "setvolume=3"}, ignored);
    } else if (lines == 4) {
      StopProcess(player);
      return false;
    }
    return true;
  });
  EXPECT_EQ(status, 0);
  const Texts frames = Split(heard, '\n');
  ASSERT_EQ(frames.size(), 5u) << heard;
  EXPECT_TRUE(frames[0].starts_with("playlistnames=/a.mp3"));
  EXPECT_TRUE(frames[1].starts_with("state=graphstate="));
  EXPECT_EQ(frames[2], VolumeFrame(5000));
  EXPECT_EQ(frames[3], VolumeFrame(3));
}

TEST(RuntimeFolderTest, PathFromTheEnvironment) {
  EXPECT_EQ(RuntimeFolderPath("/run/user/1000", 1000), "/run/user/1000/Tunevale/");
  EXPECT_EQ(RuntimeFolderPath("/run/user/1000/", 1000), "/run/user/1000/Tunevale/");
  EXPECT_EQ(RuntimeFolderPath("", 1000), "/tmp/Tunevale-1000/");
  EXPECT_EQ(RuntimeFolderPath("relative", 42), "/tmp/Tunevale-42/");
}

TEST(RuntimeFolderTest, CreatedPrivateAndRefusedWhenNotOurs) {
  test::TTempFolder temp;
  const std::string fresh = temp / "fresh/", open = temp.MakeFolder("open");
  chmod(open.c_str(), 0755);
  for (const std::string& folder : {fresh, open}) {
    PrepareRuntimeFolder(folder);
    struct stat st;
    ASSERT_EQ(stat(folder.c_str(), &st), 0) << folder;
    EXPECT_EQ(st.st_mode & 0777, 0700u) << folder;
  }

  ASSERT_EQ(symlink(fresh.c_str(), (temp / "link").c_str()), 0);
  EXPECT_THROW(PrepareRuntimeFolder(temp / "link"), ERuntimeFolderError);
  EXPECT_THROW(PrepareRuntimeFolder(temp.Write("file")), ERuntimeFolderError);

  if (geteuid() == 0) {
    const std::string foreign = temp.MakeFolder("foreign");
    ASSERT_EQ(chown(foreign.c_str(), 65534, 65534), 0);
    EXPECT_THROW(PrepareRuntimeFolder(foreign), ERuntimeFolderError);
  }
}

}  // namespace
}  // namespace tunevale
