// The library as it grows: for each size (100,000, 300,000 and 1,000,000
// generated tracks by default; made here, never stored) the whole process
// `tunevalectl library search` of one query (wall time and peak resident
// memory), and in process the load, the refill of all five lists (from
// nothing with the empty query; then to "abba waterloo") and the save. Each figure is the median of the
// runs; the per-track cost shows what grows faster than the track count.
//
//   library_scale_bench [--runs N] [--sizes 100000,300000] [--ctl PATH]...
// Several --ctl programs (say, before and after a change) are measured in
// turn within each run, so they meet the same machine load.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_runtime.h"
#include "library/library.h"
#include "library/library_database.h"
#include "library/library_search.h"
#include "library_generator.h"

namespace tunevale {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr const char* kRoot = "/srv/music";
constexpr const char* kQuery = "abba waterloo";

class TBenchHost : public TLibrarySearchHost {
 public:
  bool LibraryPageShown() const override { return true; }
  TLibraryPage CurrentPage() const override { return lpTracks; }
  std::string SearchText() const override { return Text; }
  bool BusyVisible() const override { return false; }
  std::string BusyText() const override { return {}; }
  void ShowBusy(std::string_view) override {}
  void HideBusy() override {}
  void ListRefilled(TLibraryList&) override {}
  std::string Text;
};

double Since(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? -1 : v[v.size() / 2];
}

struct TProcessRun {
  double Ms = -1;
  double CpuMs = -1;  // user and system time: less at the mercy of a shared machine
  double PeakMiB = -1;
};

// Runs `argv` with its output thrown away; wall time and peak resident memory.
TProcessRun RunProcess(const std::vector<std::string>& argv) {
  std::fflush(stdout);  // the child would print what is buffered again
  const Clock::time_point start = Clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    if (!freopen("/dev/null", "w", stdout)) _exit(126);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  struct rusage usage {};
  if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return {};
  const auto ms = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1e3 + t.tv_usec / 1e3; };
  return {Since(start), ms(usage.ru_utime) + ms(usage.ru_stime),
          static_cast<double>(usage.ru_maxrss) / 1024.0};
}

struct TSizeFigures {
  int Tracks = 0;
  double FileMiB = 0;
  std::vector<TProcessRun> Searches;  // per --ctl
  double LoadMs = 0, RefillAllMs = 0, RefillQueryMs = 0, SaveMs = 0;
};

template <class F>
double MedianMs(int runs, F&& step) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const Clock::time_point start = Clock::now();
    step();
    times.push_back(Since(start));
  }
  return Median(times);
}

TSizeFigures Measure(int tracks, int runs, const std::vector<std::string>& ctls, const std::string& folder) {
  TSizeFigures f;
  f.Tracks = tracks;
  TLibrarySettings settings;
  settings.LibraryFolders = {kRoot};
  settings.LibraryDbPath = folder + "/Library.db";
  {
    TLibrary library(settings, "/");
    FillLibrary(library, GenerateLibrary(kRoot, tracks));
    f.SaveMs = MedianMs(runs, [&] {
      library.Flags.LibraryDirty = true;
      if (!SaveLibrary(library)) std::fputs("save failed\n", stderr);
    });
  }
  f.FileMiB = static_cast<double>(fs::file_size(settings.LibraryDbPath)) / (1024.0 * 1024.0);

  std::vector<std::vector<TProcessRun>> searches(ctls.size());
  for (int i = 0; i < runs; ++i)
    for (size_t c = 0; c < ctls.size(); ++c)
      searches[c].push_back(RunProcess(
          {ctls[c], "library", "search", "--db", settings.LibraryDbPath, "--folder", kRoot, kQuery}));
  for (const auto& runsOfCtl : searches) {
    std::vector<double> ms, cpu, mib;
    for (const TProcessRun& r : runsOfCtl)
      ms.push_back(r.Ms), cpu.push_back(r.CpuMs), mib.push_back(r.PeakMiB);
    f.Searches.push_back({Median(ms), Median(cpu), Median(mib)});
  }

  TLoadOptions options;
  f.LoadMs = MedianMs(runs, [&] {
    TLibrary library(settings, "/");
    LoadLibrary(library, settings.LibraryDbPath, options);
  });
  TLibrary library(settings, "/");
  LoadLibrary(library, settings.LibraryDbPath, options);
  TBenchRuntime runtime;
  TMessagePump pump(runtime);
  TBenchHost host;
  // All five lists filled from nothing, as after the load.
  f.RefillAllMs =
      MedianMs(runs, [&] { TLibrarySearch(library, host, runtime, pump).RefreshLibraryLists(false); });
  TLibrarySearch search(library, host, runtime, pump);
  search.RefreshLibraryLists(false);
  host.Text = kQuery;
  search.RefreshLibraryLists(false);
  f.RefillQueryMs = MedianMs(runs, [&] { search.RefreshLibraryLists(false); });
  return f;
}

}  // namespace
}  // namespace tunevale

int main(int argc, char** argv) {
  using namespace tunevale;
  int runs = 5;
  std::vector<int> sizes = {100000, 300000, 1000000};
  std::vector<std::string> ctls;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--runs") == 0) {
      runs = std::max(1, std::atoi(argv[i + 1]));
    } else if (std::strcmp(argv[i], "--ctl") == 0) {
      ctls.emplace_back(argv[i + 1]);
    } else if (std::strcmp(argv[i], "--sizes") == 0) {
      sizes.clear();
      for (const char* p = argv[i + 1]; *p;
           p = std::strchr(p, ',') ? std::strchr(p, ',') + 1 : p + std::strlen(p))
        sizes.push_back(std::atoi(p));
    }
  }
  if (ctls.empty()) ctls.emplace_back(TUNEVALECTL_PATH);
  char folder[] = "/tmp/tunevale-scale-bench-XXXXXX";
  if (!mkdtemp(folder)) return 1;
  std::printf("median of %d runs; search: `tunevalectl library search --db DB --folder %s \"%s\"`\n", runs,
              kRoot, kQuery);
  for (const int tracks : sizes) {
    const TSizeFigures f = Measure(tracks, runs, ctls, folder);
    const double per = 1e6 / tracks;  // per million tracks
    std::printf(
        "%8d tracks, file %.1f MiB: load %.0f ms, refill all five %.0f ms (query %.0f ms), save %.0f ms"
        " | per 1M tracks: load %.0f, refill %.0f, save %.0f ms\n",
        tracks, f.FileMiB, f.LoadMs, f.RefillAllMs, f.RefillQueryMs, f.SaveMs, f.LoadMs * per,
        f.RefillAllMs * per, f.SaveMs * per);
    for (size_t c = 0; c < ctls.size(); ++c)
      std::printf("    search process %s: %.0f ms (cpu %.0f ms), peak resident %.0f MiB (%.2f x the file)\n",
                  ctls[c].c_str(), f.Searches[c].Ms, f.Searches[c].CpuMs, f.Searches[c].PeakMiB,
                  f.Searches[c].PeakMiB / f.FileMiB);
    std::fflush(stdout);
  }
  fs::remove_all(folder);
  return 0;
}
