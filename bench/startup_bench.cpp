// Start-up of the player: from process start to the main window shown and to
// the library lists filled, with a generated 100,000-track "Library.db" and a
// 1,000-entry saved playlist, against a bare Qt Widgets program showing an
// empty main window in the same run; and the player's resident memory then.
//
//   startup_bench [RUNS]
// Each run starts from the same files (a copy of the pristine ones), under
// offscreen Qt with a private HOME. Prints the median of the runs.
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
#include "util/atomic_file.h"

using namespace tunevale;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

struct TRun {
  double ShownMs = -1;
  double ReadyMs = -1;
  long RssKb = -1;
};

long ResidentKb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}

// Starts `program`, reads its standard error for the marks, ends it.
TRun Measure(const std::string& program, const std::vector<std::string>& env, const std::string& dir) {
  int err[2];
  if (pipe(err) != 0) return {};
  const Clock::time_point start = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    if (chdir(dir.c_str()) != 0) _exit(126);
    dup2(err[1], 2);
    close(err[0]);
    close(err[1]);
    std::vector<char*> envp;
    for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};
    execve(program.c_str(), argv, envp.data());
    _exit(127);
  }
  close(err[1]);
  TRun run;
  std::string pending;
  char buf[4096];
  for (ssize_t n; run.ReadyMs < 0 && (n = read(err[0], buf, sizeof buf)) > 0;) {
    pending.append(buf, static_cast<size_t>(n));
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    if (run.ShownMs < 0 && pending.find("tunevale-startup: shown") != std::string::npos) run.ShownMs = ms;
    if (pending.find("tunevale-startup: ready") != std::string::npos) {
      run.ReadyMs = ms;
      run.RssKb = ResidentKb(pid);
    }
    if (run.ShownMs >= 0 && program.find("bare") != std::string::npos) break;
  }
  kill(pid, SIGTERM);
  // Drain until the end so the player's save does not block on a full pipe.
  while (read(err[0], buf, sizeof buf) > 0) {
  }
  close(err[0]);
  waitpid(pid, nullptr, 0);
  return run;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? -1 : v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
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
    std::string ini = "[Tunevale]\nAppVersion=2.0.0.18\nFirstRun=0\nLibraryFolderCount=1\nLibraryFolder0=" + music +
                      "\nNowPlaying=-1\nPlaylistCount=1000\n";
    for (int i = 0; i < 1000; ++i)
      ini += "PlaylistItem" + std::to_string(i) + "=" + generated.Tracks[size_t(i) * 97].Path + "*" +
             generated.Tracks[size_t(i) * 97].Meta.Title + "\n";
    WriteFileAtomically(pristine + "/Tunevale.ini", ini);
  }
  const std::vector<std::string> env = {"HOME=" + root + "/home", "XDG_RUNTIME_DIR=" + root + "/run",
                                        "XDG_CONFIG_HOME=" + root + "/home/.config",
                                        "XDG_DATA_HOME=" + root + "/home/.local/share", "QT_QPA_PLATFORM=offscreen",
                                        "TUNEVALE_STARTUP_TRACE=1", "PATH=/usr/bin:/bin"};
  std::vector<double> shown, ready, bare;
  std::vector<long> rss;
  for (int i = 0; i < runs; ++i) {
    fs::remove_all(bin);
    fs::create_directories(bin);
    fs::copy_file(TUNEVALE_PATH, bin + "/tunevale");
    fs::copy_file(pristine + "/Library.db", bin + "/Library.db");
    fs::copy_file(pristine + "/Tunevale.ini", bin + "/Tunevale.ini");
    const TRun player = Measure(bin + "/tunevale", env, root);
    const TRun baseline = Measure(BARE_WINDOW_PATH, env, root);
    shown.push_back(player.ShownMs);
    ready.push_back(player.ReadyMs);
    rss.push_back(player.RssKb);
    bare.push_back(baseline.ShownMs);
    std::printf("run %d: window shown %.1f ms, lists filled %.1f ms, bare window %.1f ms, resident %ld KiB\n", i + 1,
                player.ShownMs, player.ReadyMs, baseline.ShownMs, player.RssKb);
  }
  std::sort(rss.begin(), rss.end());
  const double m = Median(shown), b = Median(bare);
  std::printf("median of %d: window shown %.1f ms, bare Qt window %.1f ms (ratio %.2f), lists filled %.1f ms, "
              "resident %.1f MiB\n",
              runs, m, b, b > 0 ? m / b : 0.0, Median(ready), rss[rss.size() / 2] / 1024.0);
  fs::remove_all(root);
  return 0;
}
