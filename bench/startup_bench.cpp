// Start-up of the player as a user meets it: from process start to the main
// window shown, to the first answer of its socket that holds the whole
// restored 1,000-entry playlist, and to the library loaded and listed; with
// no library and with a generated 100,000-track "Library.db", paired with a
// bare Qt Widgets program showing an empty main window in the same run; and
// the player's resident memory once the library is listed.
//
//   startup_bench [RUNS] [PLAYER...]
// Several players (say, before and after a change) are measured in turn
// within each run. Each run starts from the same files (a copy of the
// pristine ones), under offscreen Qt with a private HOME. Prints medians.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/library_generator.h"
#include "library/library.h"
#include "library/library_database.h"
#include "library/track.h"
#include "platform/local_socket_client.h"
#include "util/atomic_file.h"

using namespace tunevale;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

struct TRun {
  double ShownMs = -1;
  double AnswerMs = -1;   // a remote query answered with the whole restored playlist
  double LibraryMs = -1;  // the library loaded and listed
  long RssKb = -1;
};

long ResidentKb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

// Rows in the "playlistnames=" reply to a registration; -1 when the player
// does not answer (yet).
int PlaylistRows(TLocalSocketClient& client, const std::string& socket, int attempt) {
  if (!client.Connected() && !client.Connect(socket, 100)) return -1;
  int rows = -1;
  const auto result = client.Send(
      "registerwindow=" + std::to_string(attempt),
      [&](std::string_view reply) {
        if (reply.rfind("playlistnames=", 0) == 0)
          rows = static_cast<int>(std::count(reply.begin(), reply.end(), '\x01'));
      },
      10000);
  if (result != TLocalSocketClient::crDone) client.Close();
  return rows;
}

// Starts `program` with its standard error in a file, watches the marks and
// (for the player) asks its socket until the whole playlist is there; ends it.
TRun Measure(const std::string& program, const std::vector<std::string>& env, const std::string& dir,
             int playlistRows, const std::string& libraryMark) {
  const std::string log = dir + "/stderr.txt";
  unlink(log.c_str());  // the last run's marks
  const Clock::time_point start = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0) _exit(126);
    const int fd = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(fd, 2);
    std::vector<char*> envp;
    for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    execve(program.c_str(), argv, envp.data());
    _exit(127);
  }
  const auto ms = [&] { return std::chrono::duration<double, std::milli>(Clock::now() - start).count(); };
  const bool bare = program.find("bare") != std::string::npos;
  const std::string socket = dir + "/run/Tunevale/player-" + std::to_string(pid) + ".sock";
  TLocalSocketClient client;
  TRun run;
  for (int attempt = 1; ms() < 60000; ++attempt) {
    std::string text;
    ReadWholeFile(log, text);
    if (run.ShownMs < 0 && text.find("tunevale-startup: shown") != std::string::npos) run.ShownMs = ms();
    if (bare && run.ShownMs >= 0) break;
    if (!bare && run.AnswerMs < 0 && PlaylistRows(client, socket, attempt) == playlistRows)
      run.AnswerMs = ms();
    if (!bare && run.LibraryMs < 0 && text.find(libraryMark) != std::string::npos) {
      run.LibraryMs = ms();
      run.RssKb = ResidentKb(pid);
    }
    if (run.AnswerMs >= 0 && run.LibraryMs >= 0) break;
    usleep(500);
  }
  client.Close();
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
  return run;
}

constexpr int kPlaylistRows = 1000;

// The mark of the library loaded: players that load it before their "ready" have no mark of their own.
std::string LibraryMark(const std::string& player) {
  std::string bytes;
  ReadWholeFile(player, bytes);
  return bytes.find("tunevale-startup: library") != std::string::npos ? "tunevale-startup: library"
                                                                      : "tunevale-startup: ready";
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? -1 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
  std::vector<std::string> players(argv + std::min(argc, 2), argv + argc);
  if (players.empty()) players.emplace_back(TUNEVALE_PATH);
  char folder[] = "/tmp/tunevale-startup-bench-XXXXXX";
  if (!mkdtemp(folder)) return 1;
  const std::string root = folder;
  const std::string pristine = root + "/pristine", bin = root + "/bin";
  fs::create_directories(pristine);
  fs::create_directories(root + "/home/.config");
  fs::create_directories(root + "/run");
  fs::permissions(root + "/run", fs::perms::owner_all, fs::perm_options::replace);
  const std::string music = "/srv/music";
  {
    TLibrarySettings settings;
    settings.LibraryFolders = {music};
    settings.LibraryDbPath = pristine + "/Library.db";
    const TGeneratedLibrary generated = GenerateLibrary(music, 100000);
    TLibrary library(settings, pristine + "/");
    FillLibrary(library, generated);
    std::string error;
    if (!SaveLibrary(library, &error)) {
      std::fprintf(stderr, "save failed: %s\n", error.c_str());
      return 1;
    }
    std::string ini =
        "[Tunevale]\nAppVersion=2.0.0.18\nFirstRun=0\nLibraryFolderCount=1\nLibraryFolder0=" + music +
        "\nNowPlaying=-1\nPlaylistCount=" + std::to_string(kPlaylistRows) + "\n";
    for (int i = 0; i < kPlaylistRows; ++i)
      ini += "PlaylistItem" + std::to_string(i) + "=" + generated.Tracks[size_t(i) * 97].Path + "*" +
             generated.Tracks[size_t(i) * 97].Meta.Title + "\n";
    WriteFileAtomically(pristine + "/Tunevale.ini", ini);
  }
  const std::vector<std::string> env = {"HOME=" + root + "/home",
                                        "XDG_RUNTIME_DIR=" + root + "/run",
                                        "XDG_CONFIG_HOME=" + root + "/home/.config",
                                        "XDG_DATA_HOME=" + root + "/home/.local/share",
                                        "QT_QPA_PLATFORM=offscreen",
                                        "TUNEVALE_STARTUP_TRACE=1",
                                        "PATH=/usr/bin:/bin"};
  struct TCase {
    std::string Player;
    bool WithLibrary;
    std::vector<double> Shown, Answer, Library, RssMiB;
  };
  std::vector<TCase> cases;
  for (const std::string& player : players)
    for (const bool withLibrary : {false, true}) cases.push_back({player, withLibrary, {}, {}, {}, {}});
  std::vector<double> bare;
  for (int i = 0; i < runs; ++i) {
    for (TCase& c : cases) {
      fs::remove_all(bin);
      fs::create_directories(bin);
      fs::copy_file(c.Player, bin + "/tunevale");
      if (c.WithLibrary) fs::copy_file(pristine + "/Library.db", bin + "/Library.db");
      fs::copy_file(pristine + "/Tunevale.ini", bin + "/Tunevale.ini");
      const TRun run = Measure(bin + "/tunevale", env, root, kPlaylistRows, LibraryMark(c.Player));
      c.Shown.push_back(run.ShownMs);
      c.Answer.push_back(run.AnswerMs);
      c.Library.push_back(run.LibraryMs);
      c.RssMiB.push_back(static_cast<double>(run.RssKb) / 1024.0);
    }
    bare.push_back(Measure(BARE_WINDOW_PATH, env, root, 0, "").ShownMs);
  }
  std::printf("median of %d runs (bare Qt window shown: %.1f ms)\n", runs, Median(bare));
  for (size_t i = 0; i < cases.size(); ++i) {
    const TCase& c = cases[i];
    std::printf(
        "%s, %s: window shown %.1f ms, answers with the %d-row playlist %.1f ms, library listed %.1f ms, "
        "resident %.1f MiB",
        c.Player.c_str(), c.WithLibrary ? "100,000 tracks" : "no library", Median(c.Shown), kPlaylistRows,
        Median(c.Answer), Median(c.Library), Median(c.RssMiB));
    if (c.WithLibrary)
      std::printf(" (answer %.2f x the empty library's)", Median(c.Answer) / Median(cases[i - 1].Answer));
    std::printf("\n");
  }
  fs::remove_all(root);
  return 0;
}
