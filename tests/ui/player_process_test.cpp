// The built player as a real process: offscreen Qt, a private HOME and
// runtime folder, and a private PulseAudio server with a null sink so
// playback runs in real time without a sound card.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <random>
#include <thread>

#include "platform/local_socket_client.h"
#include "playlist/local_http_server.h"
#include "support/mp3_file.h"
#include "support/run_program.h"
#include "support/temp_folder.h"
#include "util/atomic_file.h"

namespace tunevale {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class PlayerProcessTest : public ::testing::Test {
 protected:
  PlayerProcessTest() {
    Folder.MakeFolder("home/.config");
    Folder.MakeFolder("home/.local/share");
    Run = Folder.MakeFolder("run");
    chmod(Run.c_str(), 0700);
    // A portable copy beside its own settings file, so every test has its own.
    Bin = Folder.MakeFolder("bin") + "/tunevale";
    fs::copy_file(TUNEVALE_PATH, Bin);
    Folder.Write("bin/Tunevale.ini");
    for (const char* name : {"a", "b", "c", "d"})
      Media.push_back(Folder.Write(std::string("media/") + name + ".mp3",
                                   test::MakeMp3({name, "Artist", "Artist", "Album", "1", "2000"}, 400)));
    Env = {"HOME=" + (Folder / "home"),
           "XDG_RUNTIME_DIR=" + Run,
           "XDG_CONFIG_HOME=" + (Folder / "home/.config"),
           "XDG_DATA_HOME=" + (Folder / "home/.local/share"),
           "QT_QPA_PLATFORM=offscreen",
           "PATH=/usr/bin:/bin",
           "TUNEVALE_STARTUP_TRACE=1"};
    // A sanitizer build's settings reach the children.
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS"})
      if (const char* value = getenv(name)) Env.push_back(std::string(name) + "=" + value);
    Pulse = Spawn("/usr/bin/pulseaudio", {"--daemonize=no", "--exit-idle-time=-1", "-n", "-L",
                                          "module-null-sink", "-L", "module-native-protocol-unix"});
  }

  ~PlayerProcessTest() override {
    for (pid_t pid : Started) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
  }

  // `out`: a file for the standard output (else it is the test's).
  pid_t Spawn(std::string program, std::vector<std::string> args, const std::string& out = {}) {
    if (!Wrapper.empty()) {
      args.insert(args.begin(), program);
      args.insert(args.begin(), Wrapper.begin() + 1, Wrapper.end());
      program = Wrapper[0];
    }
    const pid_t pid = fork();
    if (pid == 0) {
      if (chdir(Folder.Path().c_str()) != 0) _exit(126);
      if (!out.empty()) {
        FILE* o = fopen(out.c_str(), "w");
        if (o) dup2(fileno(o), 1);
      }
      const std::string log = Folder / "log.txt";
      FILE* f = fopen(log.c_str(), "a");
      if (f) dup2(fileno(f), 2);
      std::vector<char*> argv{const_cast<char*>(program.c_str())};
      for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      std::vector<char*> envp;
      for (const std::string& e : Env) envp.push_back(const_cast<char*>(e.c_str()));
      envp.push_back(nullptr);
      execve(program.c_str(), argv.data(), envp.data());
      _exit(127);
    }
    Started.push_back(pid);
    return pid;
  }

  // Waits for the process to end; its exit status, or -1 when it did not end in time.
  int Wait(pid_t pid) {
    int raw = 0;
    if (!test::WaitFor([&] { return waitpid(pid, &raw, WNOHANG) == pid; }, 120000)) return -1;
    std::erase(Started, pid);
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  }

  // The pids the player sockets in the runtime folder are named after.
  std::vector<pid_t> Players() const {
    std::vector<pid_t> pids;
    std::error_code ignored;
    for (const auto& e : fs::directory_iterator(RuntimeFolder, ignored))
      if (const std::string name = e.path().filename().string();
          name.starts_with("player-") && e.path().extension() == ".sock")
        pids.push_back(std::stoi(name.substr(7)));
    return pids;
  }

  // Starts a player and waits until it listens.
  pid_t StartPlayer(const std::vector<std::string>& args, const std::string& program = {}) {
    const size_t before = Players().size();
    const pid_t pid = Spawn(program.empty() ? Bin : program, args);
    EXPECT_TRUE(test::WaitFor([&] { return Players().size() > before; }, 30000)) << Log();
    return pid;
  }

  // Closes a player as the session end does; the settings file it wrote.
  std::string Terminate(pid_t pid) {
    kill(pid, SIGTERM);
    EXPECT_EQ(Wait(pid), 0) << Log();
    return Text(fs::path(Bin).parent_path() / "Tunevale.ini");
  }

  // The pid of a player socket other than `other`'s, waiting for one to appear; -1 when none does.
  pid_t WaitForOtherPlayer(pid_t other) const {
    pid_t found = -1;
    test::WaitFor(
        [&] {
          for (pid_t pid : Players()) found = pid != other ? pid : found;
          return found > 0;
        },
        30000);
    return found;
  }
  // Whether a process that is not our child still runs (a zombie does not).
  static bool Alive(pid_t pid) {
    const std::string stat = Text("/proc/" + std::to_string(pid) + "/stat");
    const size_t close = stat.rfind(')');
    return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] != 'Z';
  }

  static std::string Text(const std::string& path) { return test::ReadBytes(path); }
  // Reads until the text holds `wanted` (the player acts in its own time), at most a minute.
  static std::string Until(const std::function<std::string()>& read, const std::string& wanted) {
    std::string text;
    test::WaitFor([&] { return (text = read()).find(wanted) != std::string::npos; }, 60000);
    return text;
  }

  std::string Log() const { return Text(Folder / "log.txt"); }

  // Waits for a start-up mark of the player, then `settle`
  // ("ready" and a second: the playlist is in place, past the 500 ms in which a "play" only appends).
  void WaitFor(const std::string& mark = "ready", std::chrono::milliseconds settle = 1000ms) {
    test::WaitFor([&] { return Log().find("tunevale-startup: " + mark) != std::string::npos; }, 120000);
    ASSERT_NE(Log().find("tunevale-startup: " + mark), std::string::npos) << Log();
    std::this_thread::sleep_for(settle);
  }

  static std::string Item(int index, const std::string& path) {
    return "PlaylistItem" + std::to_string(index) + "=" + path + "*";
  }

  test::TTempFolder Folder;
  std::string Run, Bin, RuntimeFolder = Folder / "run/Tunevale";
  std::vector<std::string> Media, Env, Wrapper;  // Wrapper: a program that runs the spawned one
  std::vector<pid_t> Started;
  pid_t Pulse = -1;
};

TEST_F(PlayerProcessTest, StartsInQuickSuccessionBuildOnePlaylist) {
  const pid_t player = StartPlayer({Media[3]});
  WaitFor();  // so the first hand-over replaces
  std::vector<pid_t> starts;
  for (int i = 0; i < 3; ++i) starts.push_back(Spawn(Bin, {Media[i]}));
  for (pid_t pid : starts) EXPECT_EQ(Wait(pid), 0);
  const std::string ini = Terminate(player);
  EXPECT_NE(ini.find("PlaylistCount=3"), std::string::npos) << ini;
  for (int i = 0; i < 3; ++i)
    EXPECT_NE(ini.find(Media[static_cast<size_t>(i)] + "*"), std::string::npos) << ini;
  // The first hand-over replaced the player's own playlist, the others appended.
  EXPECT_EQ(ini.find(Media[3] + "*"), std::string::npos) << ini;
}

TEST_F(PlayerProcessTest, RemoteListenersSeeRegistrationAndVolumeNotifications) {
  const pid_t player = StartPlayer({});
  const std::string heard = Folder / "listen.txt";
  Spawn(TUNEVALECTL_PATH, {"listen"}, heard);
  std::string text = Until([&] { return Text(heard); }, "volume=");
  // Registration: the playlist, the state, then the volume.
  const size_t playlist = text.find("playlistnames="), state = text.find("state="),
               volume = text.find("volume=");
  ASSERT_NE(volume, std::string::npos) << text << Log();
  EXPECT_LT(playlist, state);
  EXPECT_LT(state, volume);

  // A command word in mixed case is still the command.
  const std::string replies = Folder / "send.txt";
  EXPECT_EQ(Wait(Spawn(TUNEVALECTL_PATH, {"send", "SetVolume=2500"}, replies)), 0);
  EXPECT_NE(Text(replies).find(std::string("volume=2500\x01") + "0"), std::string::npos) << Text(replies);
  EXPECT_NE(Until([&] { return Text(heard); }, "volume=2500").find("volume=2500"), std::string::npos);
  EXPECT_NE(Terminate(player).find("Volume=2500"), std::string::npos);
}

TEST_F(PlayerProcessTest, SendPlayActsAsASecondStart) {
  const pid_t player = StartPlayer({Media[0]});
  WaitFor();
  EXPECT_EQ(Wait(Spawn(TUNEVALECTL_PATH, {"send", "play=", "media/b.mp3"})), 0);
  const std::string ini = Terminate(player);
  EXPECT_NE(ini.find("PlaylistCount=1\n" + Item(0, Media[1])), std::string::npos) << ini;  // replaced
}

TEST_F(PlayerProcessTest, TermWhileRestoringALongPlaylistKeepsEveryRow) {
  std::string items;
  for (int i = 0; i < 100000; ++i)
    items += "PlaylistItem" + std::to_string(i) + "=/m/" + std::to_string(i) + ".mp3*T\n";
  ASSERT_TRUE(WriteFileAtomically(fs::path(Bin).parent_path() / "Tunevale.ini",
                                  "[Tunevale]\nFirstRun=0\nPlaylistCount=100000\n" + items));
  const pid_t player = StartPlayer({});
  WaitFor("shown", 0ms);  // the restore starts now
  const std::string ini = Terminate(player);
  EXPECT_NE(ini.find("AppVersion="), std::string::npos) << Log();  // written by the close
  EXPECT_NE(ini.find("PlaylistCount=100000\n" + items), std::string::npos);
}

// The library is read beside the loop: the player answers with its restored
// playlist while the load still waits for its file (a pipe, written only later).
TEST_F(PlayerProcessTest, RemoteCommandsAreAnsweredWhileTheLibraryLoads) {
  std::string ini =
      "[Tunevale]\nAppVersion=2.0.0.18\nFirstRun=0\nLibraryFolderCount=1\nLibraryFolder0=/m\n"
      "PlaylistCount=3\n";
  for (int i = 0; i < 3; ++i)
    ini += Item(i, "/m/" + std::to_string(i) + ".mp3") + "T" + std::to_string(i) + "\n";
  const fs::path bin = fs::path(Bin).parent_path();
  ASSERT_TRUE(WriteFileAtomically(bin / "Tunevale.ini", ini));
  ASSERT_EQ(mkfifo((bin / "Library.db").c_str(), 0600), 0);
  const pid_t player = StartPlayer({});
  WaitFor("ready", 0ms);
  TLocalSocketClient client;
  ASSERT_TRUE(client.Connect(RuntimeFolder + "/player-" + std::to_string(player) + ".sock"));
  const auto ask = [&](const std::string& text) {
    std::string replies;
    EXPECT_EQ(client.Send(
                  text, [&](std::string_view reply) { replies += std::string(reply) + "|"; }, 10000),
              TLocalSocketClient::crDone);
    return replies;
  };
  EXPECT_NE(ask("registerwindow=5").find("playlistnames=T0\x01T1\x01T2\x01|"), std::string::npos);
  EXPECT_EQ(ask("getartists="), "artists=|");
  EXPECT_EQ(Log().find("tunevale-startup: library"), std::string::npos);

  const auto b16 = [](size_t n) {
    return std::string{static_cast<char>(n >> 8), static_cast<char>(n & 0xFF)};
  };
  const std::string body = "PTH" + b16(8) + "/m/0.mp3" + "AR2" + b16(4) + "Band";
  const std::string db = "TunevaleMediaLibrary v1.00MUS" + b16(body.size()) + body;
  int fd = -1;  // the player opens its end when its load starts
  test::WaitFor([&] { return (fd = open((bin / "Library.db").c_str(), O_WRONLY | O_NONBLOCK)) >= 0; }, 30000);
  ASSERT_GE(fd, 0);
  fcntl(fd, F_SETFL, 0);
  EXPECT_EQ(write(fd, db.data(), db.size()), static_cast<ssize_t>(db.size()));
  close(fd);
  WaitFor("library", 0ms);
  // The captions came from reading track info, which waits for the library.
  const std::string after = ask("getartists=");
  EXPECT_NE(after.find("playlistnames=0\x01"), std::string::npos) << after;
  EXPECT_NE(after.find(std::string("artists=0\x02") + "Band\x01|"), std::string::npos) << after;
  Terminate(player);
}

// 1,000 failing and malformed commands, every hundredth with a number of
// 5,000 digits: each is answered and the player runs on.
TEST_F(PlayerProcessTest, FailingAndMalformedCommandsAreEachAnsweredAndThePlayerRuns) {
  const pid_t player = StartPlayer({});
  TLocalSocketClient client;
  ASSERT_TRUE(client.Connect(RuntimeFolder + "/player-" + std::to_string(player) + ".sock"));
  const char* words[] = {
      "setvolume=", "playalbum=", "playartist=", "playfromplaylist=", "registerwindow=", ""};
  std::mt19937 random(9);
  for (int i = 0; i < 1000; ++i) {
    std::string text = i == 0 ? "setvolume=abc" : words[random() % 6];
    for (size_t n = i % 100 == 1 ? 5000 : random() % 40; n > 0; --n)
      text += static_cast<char>(i % 100 == 1 ? '0' + random() % 10 : 1 + random() % 255);
    ASSERT_EQ(client.Send(text, nullptr, 10000), TLocalSocketClient::crDone) << i;
  }
  EXPECT_EQ(waitpid(player, nullptr, WNOHANG), 0) << Log();
  Terminate(player);
}

// Another user took the shared /tmp name first (seen through a private /tmp
// of these processes): both starts meet in the folder under the cache.
TEST_F(PlayerProcessTest, ATakenSharedRuntimeFolderSendsEveryStartToThePrivateOne) {
  int status = -1;
  if (geteuid() != 0 || (test::RunProgram("/usr/bin/unshare", {"-m", "true"}, status), status != 0))
    GTEST_SKIP() << "needs root and mount namespaces";
  const std::string taken = Folder.MakeFolder("tmp/Tunevale-0");
  ASSERT_EQ(chown(taken.c_str(), 65534, 65534), 0);
  Folder.MakeFolder("tmp/" + fs::path(Folder.Path()).filename().string());  // keeps the test's folder in view
  Wrapper = {"/usr/bin/unshare",
             "-m",
             "sh",
             "-c",
             R"(mount --bind "$0" "$0/tmp/${0##*/}" && mount --rbind "$0/tmp" /tmp && exec "$@")",
             Folder.Path()};
  Env[1] = "PULSE_SERVER=unix:" + Run + "/pulse/native";  // in place of XDG_RUNTIME_DIR
  RuntimeFolder = Folder / "home/.cache/Tunevale/run";
  const pid_t player = StartPlayer({});
  EXPECT_EQ(Wait(Spawn(Bin, {Media[1]})), 0) << Log();
  EXPECT_NE(Terminate(player).find(Media[1] + "*"), std::string::npos) << Log();
  EXPECT_NE(Log().find("Using " + RuntimeFolder + "/ instead."), std::string::npos) << Log();
}

// The desktop media controls on a private session bus: playerctl drives and
// reads the player, dbus-monitor hears what it announces.
class MprisProcessTest : public PlayerProcessTest {
 protected:
  MprisProcessTest() {
    const std::string printed = Folder / "bus.txt";
    Spawn("/usr/bin/dbus-daemon",
          {"--session", "--nofork", "--address=unix:path=" + (Folder / "bus"), "--print-address=1"}, printed);
    Address = Until([&] { return Text(printed); }, "\n");
    Address.pop_back();
    Env.push_back("DBUS_SESSION_BUS_ADDRESS=" + Address);
  }

  // Runs a program on the bus; its output without the last line end.
  std::string Bus(const std::vector<std::string>& args) {
    int status = 0;
    const test::TRunOptions options{{{"DBUS_SESSION_BUS_ADDRESS", Address}}, nullptr};
    auto out = test::RunProgram("/usr/bin/" + args[0], {args.begin() + 1, args.end()}, status, options);
    if (out.ends_with('\n')) out.pop_back();
    return out;
  }
  // playerctl for this player, asked again until its answer holds `wanted`.
  std::string Ctl(std::vector<std::string> args, const std::string& wanted = {}) {
    args.insert(args.begin(), {"playerctl", "-p", "tunevale"});
    return Until([&] { return Bus(args); }, wanted);
  }
  // A method call; true when it was answered without an error.
  bool Call(const std::string& method, std::vector<std::string> args = {}) {
    args.insert(args.begin(),
                {"dbus-send", "--session", "--print-reply", "--dest=org.mpris.MediaPlayer2.tunevale",
                 "/org/mpris/MediaPlayer2", "org.mpris.MediaPlayer2." + method});
    return Bus(args).starts_with("method return");
  }

  std::string Address;
};

TEST_F(MprisProcessTest, PlayerctlDrivesAndReadsThePlayerAndAListenerHearsTheChanges) {
  const std::string heard = Folder / "signals.txt";
  Spawn("/usr/bin/dbus-monitor", {"--address", Address, "type='signal',path='/org/mpris/MediaPlayer2'"},
        heard);
  for (const char* name : {"x one", "y two", "z three"})
    Folder.Write(std::string("media/") + name + ".mp3",
                 test::MakeMp3({name, "Ann", "Band", "First", "3", "2001"}, 1000));
  const pid_t player = StartPlayer({Folder / "media/x one.mp3", Folder / "media/y two.mp3"});
  WaitFor();
  ASSERT_EQ(Ctl({"status"}, "Playing"), "Playing") << Log();
  EXPECT_EQ(Ctl({"metadata", "--format",
                 "{{title}}|{{artist}}|{{album}}|{{xesam:albumArtist}}|{{xesam:trackNumber}}|"
                 "{{duration(mpris:length)}}|{{xesam:url}}"}),
            "x one|Ann|First|Band|3|0:26|file://" + Folder.Path() + "/media/x%20one.mp3");
  Ctl({"pause"});
  EXPECT_EQ(Ctl({"status"}, "Paused"), "Paused");
  Ctl({"play"});
  EXPECT_EQ(Ctl({"status"}, "Playing"), "Playing");
  Ctl({"position", "10"});
  EXPECT_GE(std::stod(Ctl({"position"})), 10.0);
  Ctl({"volume", "0.5"});
  EXPECT_NEAR(std::stod(Ctl({"volume"})), 0.5, 0.01);
  Ctl({"loop", "Track"});

  std::string firstId = Ctl({"metadata", "mpris:trackid"});
  std::erase(firstId, '\'');  // shown quoted
  Ctl({"next"});
  EXPECT_EQ(Ctl({"metadata", "title"}, "y two"), "y two");
  // A position for the entry that played before is stale: ignored.
  EXPECT_TRUE(Call("Player.SetPosition", {"objpath:" + firstId, "int64:20000000"}));
  EXPECT_LT(std::stod(Ctl({"position"})), 20.0);
  const std::string signals = Until([&] { return Text(heard); }, "\"y two\"");
  for (const char* text : {"\"PlaybackStatus\"", "\"Paused\"", "member=Seeked", "\"y two\""})
    EXPECT_NE(signals.find(text), std::string::npos) << text << "\n" << signals;

  // A URI plays as "play=" with its file; a second player takes another name.
  Ctl({"open", "file://" + Folder.Path() + "/media/z%20three.mp3"});
  EXPECT_EQ(Ctl({"metadata", "title"}, "z three"), "z three");
  const pid_t second = StartPlayer({"/forcestart"});
  const auto list = [&] { return Bus({"playerctl", "-l"}); };
  const std::string names = Until(list, "tunevale.instance" + std::to_string(second));
  EXPECT_NE(names.find("tunevale\n"), std::string::npos) << names;

  // Quit closes the first player as its close button does: the settings are saved.
  EXPECT_TRUE(Call("Quit"));
  EXPECT_EQ(Wait(player), 0) << Log();
  const std::string ini = Text(fs::path(Bin).parent_path() / "Tunevale.ini");
  for (const char* text : {"PlayMode=1", "PlaylistCount=1\n"})
    EXPECT_NE(ini.find(text), std::string::npos) << ini;
}

TEST_F(PlayerProcessTest, RemotePlaylistThatNeverEndsLeavesThePlayerAnsweringAndClosable) {
  test::TLocalHttpServer server;
  server.ServeTrickle("/endless.m3u", 200);
  const std::string url = server.Url("/endless.m3u");
  const pid_t player = StartPlayer({url});
  test::WaitFor([&] { return server.Requests() > 0; }, 120000);
  ASSERT_EQ(server.Requests(), 1) << Log();
  EXPECT_EQ(Wait(Spawn(TUNEVALECTL_PATH, {"send", "setvolume=2500"})), 0);
  const std::string ini = Terminate(player);
  EXPECT_NE(ini.find(Item(0, url)), std::string::npos) << ini;
}

TEST_F(PlayerProcessTest, InstallUpgradeAndUninstallWithRealProcesses) {
  fs::remove(Folder / "bin/Tunevale.ini");
  Env.push_back("TMPDIR=" + Folder.MakeFolder("tmp"));
  ASSERT_EQ(Wait(Spawn(Bin, {"/install"})), 0) << Log();
  const std::string installed = Folder / "home/.local/opt/Tunevale/tunevale";
  EXPECT_TRUE(Text(installed) == Text(Bin)) << "the installed program is this one";

  // The installed copy keeps its settings in the key store.
  pid_t player = StartPlayer({}, installed);
  Terminate(player);
  const std::string keys = Text(Folder / "home/.config/Tunevale/Tunevale.conf");
  EXPECT_NE(keys.find("FirstRun=0"), std::string::npos) << keys << Log();
  EXPECT_FALSE(fs::exists(Folder / "home/.local/opt/Tunevale/Tunevale.ini"));

  // A downloaded copy run with "/upgrade" replaces the running installed one and restarts it.
  player = StartPlayer({}, installed);
  struct stat before {};
  stat(installed.c_str(), &before);
  const std::string downloaded = Folder.MakeFolder("tmp/tunevale-update-test") + "/tunevale";
  fs::copy_file(Bin, downloaded);
  ASSERT_EQ(Wait(Spawn(downloaded, {"/upgrade"})), 0) << Log();
  EXPECT_EQ(Wait(player), 0) << "the running copy saved and ended: " << Log();
  const pid_t restarted = WaitForOtherPlayer(player);
  ASSERT_GT(restarted, 0) << "the upgraded copy runs: " << Log();
  struct stat after {};
  stat(installed.c_str(), &after);
  EXPECT_NE(before.st_ino, after.st_ino);
  EXPECT_FALSE(fs::exists(fs::path(downloaded).parent_path())) << "the download is cleaned up";

  // Uninstalling closes the running copy and removes the installation.
  EXPECT_EQ(Wait(Spawn(installed, {"/uninstall"})), 0) << Log();
  EXPECT_FALSE(Alive(restarted)) << Log();
  if (Alive(restarted)) kill(restarted, SIGKILL);
  for (const char* gone : {"home/.local/opt/Tunevale", "home/.config/Tunevale", "home/.local/share/Tunevale",
                           "home/.local/share/applications/tunevale.desktop", "home/.local/bin/tunevale"})
    EXPECT_FALSE(fs::exists(fs::symlink_status(Folder / gone))) << gone;
}

}  // namespace
}  // namespace tunevale
