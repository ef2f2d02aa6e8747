// The library as it grows: for each size (100,000, 300,000 and 1,000,000
// generated tracks by default; made here, never stored) the whole process
// `tunevalectl library search` of one query (wall and processor time, peak
// resident memory), and in process the load (wall and processor time of all
// its threads) and (processor time) the refill of all five lists (from
// nothing with the empty query; then to "abba waterloo") and the save. Each figure is the median of the
// runs; the per-track cost shows what grows faster than the track count.
//
//   library_scale_bench [--runs N] [--sizes 100000,300000] [--ctl PATH]... [--keep FOLDER]
// Several --ctl programs (say, before and after a change) are measured in
// turn within each run, so they meet the same machine load.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_process.h"
#include "bench_runtime.h"
#include "bench_search_host.h"
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

struct TSizeFigures {
  int Tracks = 0;
  double FileMiB = 0;
  std::vector<TProcessRun> Searches;  // per --ctl
  double LoadMs = 0, LoadCpuMs = 0, RefillAllMs = 0, RefillQueryMs = 0, SaveMs = 0;
};

double CpuMs(clockid_t clock) {
  timespec t{};
  clock_gettime(clock, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}
double ThreadCpuMs() { return CpuMs(CLOCK_THREAD_CPUTIME_ID); }

// The median processor time of `step` (single-threaded work): on a machine
// shared with other builds wall time mostly measures the others.
template <class F>
double MedianMs(int runs, F&& step) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const double start = ThreadCpuMs();
    step();
    times.push_back(ThreadCpuMs() - start);
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

  // The load runs on several threads: wall time and the whole process's processor time.
  TLoadOptions options;
  std::vector<double> loadMs, loadCpuMs;
  for (int i = 0; i < runs; ++i) {
    TLibrary loaded(settings, "/");
    const double cpu = CpuMs(CLOCK_PROCESS_CPUTIME_ID);
    const Clock::time_point start = Clock::now();
    LoadLibrary(loaded, settings.LibraryDbPath, options);
    loadMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    loadCpuMs.push_back(CpuMs(CLOCK_PROCESS_CPUTIME_ID) - cpu);
  }
  f.LoadMs = Median(loadMs);
  f.LoadCpuMs = Median(loadCpuMs);
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
  if (argc > 2 && std::strcmp(argv[1], "--spawn") == 0) return Spawn(argv + 2);
  int runs = 5;
  std::vector<int> sizes = {100000, 300000, 1000000};
  std::vector<std::string> ctls;
  std::string keep;  // a folder for the last size's Library.db, kept for a profiler
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--runs") == 0) {
      runs = std::max(1, std::atoi(argv[i + 1]));
    } else if (std::strcmp(argv[i], "--keep") == 0) {
      keep = argv[i + 1];
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
  char temporary[] = "/tmp/tunevale-scale-bench-XXXXXX";
  if (keep.empty() && !mkdtemp(temporary)) return 1;
  const std::string folder = keep.empty() ? std::string(temporary) : keep;
  std::printf(
      "median of %d runs (in process: processor time); search: `tunevalectl library search --db DB --folder "
      "%s \"%s\"`\n",
      runs, kRoot, kQuery);
  for (const int tracks : sizes) {
    const TSizeFigures f = Measure(tracks, runs, ctls, folder);
    const double per = 1e6 / tracks;  // per million tracks
    std::printf(
        "%8d tracks, file %.1f MiB: load %.0f ms (cpu %.0f ms), refill all five %.0f ms (query %.0f ms), "
        "save %.0f ms"
        " | per 1M tracks: load %.0f, refill %.0f, save %.0f ms\n",
        tracks, f.FileMiB, f.LoadMs, f.LoadCpuMs, f.RefillAllMs, f.RefillQueryMs, f.SaveMs, f.LoadMs * per,
        f.RefillAllMs * per, f.SaveMs * per);
    for (size_t c = 0; c < ctls.size(); ++c)
      std::printf("    search process %s: %.0f ms (cpu %.0f ms), peak resident %.0f MiB (%.2f x the file)\n",
                  ctls[c].c_str(), f.Searches[c].Ms, f.Searches[c].CpuMs, f.Searches[c].PeakMiB,
                  f.Searches[c].PeakMiB / f.FileMiB);
    std::fflush(stdout);
  }
  if (keep.empty()) fs::remove_all(folder);
  return 0;
}
