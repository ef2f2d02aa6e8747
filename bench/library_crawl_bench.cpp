// The crawl of a generated tree of tagged MP3 files (5,000 by default), in
// one run against the ways to look at the same tree without the crawler:
//   FullCrawl        a fresh library, one full-crawl task through ProcessCrawlTasks
//   WalkAndTagLib    walking the tree and reading every file with TagLib (tags and length)
//   UnchangedCrawl   a full crawl of a library that already knows every file
//   PlainWalk        walking the tree with one stat per entry
// UnchangedCrawl reports its ReadTags calls per crawl (expected: none).
//
//   library_crawl_bench [--files N] [google-benchmark flags, e.g. --benchmark_repetitions=7]
//   library_crawl_bench [--files N] --runs N --ctl PATH...
// The second form measures wall times, paired in every run: the walk with TagLib
// and the bare walk in this process, `find` listing every time stamp, and for each
// `tunevalectl` the first `library scan` (no Library.db) and the unchanged one;
// the programs are started directly.
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <taglib/fileref.h>
#include <taglib/tag.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "bench_process.h"
#include "library/crawler.h"
#include "library/library.h"
#include "support/loop_runtime.h"
#include "support/mp3_file.h"
#include "support/temp_folder.h"

namespace tunevale {
namespace {

struct TBenchState {
  std::unique_ptr<test::TTempFolder> Dir;
  std::string Music;
  int Files = 5000;
  TLibrarySettings Settings;
  TFileExtensions Extensions;
  // Nothing is pending in a benchmark: the crawl's pump costs what it costs between messages.
  test::TLoopRuntime Runtime;
};

TBenchState* State = nullptr;

// Artists of 2 albums of 10 tracks, with realistic tag lengths.
void GenerateTree(TBenchState& state) {
  for (int i = 0; i < state.Files; ++i) {
    const int artist = i / 20, album = i / 10 % 2, track = i % 10 + 1;
    const std::string artistName = "Artist Number " + std::to_string(artist);
    const std::string albumName = "The Album Called " + std::to_string(artist) + "-" + std::to_string(album);
    const std::string title = "A Song Title Of Some Length " + std::to_string(i);
    char relative[256];
    std::snprintf(relative, sizeof relative, "Music/%s/%s/%02d %s.mp3", artistName.c_str(), albumName.c_str(),
                  track, title.c_str());
    state.Dir->Write(relative,
                     test::MakeMp3({title, artistName, "", albumName, std::to_string(track), "1999"}));
  }
}

uint64_t Crawl(TLibrary& library) {
  TMessagePump pump(State->Runtime);
  TCrawler crawler(library, State->Extensions, pump);
  library.CrawlTasks.QueueFullCrawl();
  crawler.ProcessCrawlTasks();
  return crawler.TagReads();
}

template <typename OnFile>
void Walk(const std::string& folder, OnFile&& onFile) {
  DIR* dir = opendir(folder.c_str());
  if (!dir) return;
  struct stat st;
  while (const dirent* d = readdir(dir)) {
    if (!std::strcmp(d->d_name, ".") || !std::strcmp(d->d_name, "..")) continue;
    const std::string path = folder + "/" + d->d_name;
    if (d->d_type == DT_DIR) {
      Walk(path, onFile);
    } else if (fstatat(dirfd(dir), d->d_name, &st, 0) == 0) {
      onFile(path, st);
    }
  }
  closedir(dir);
}

void FullCrawl(benchmark::State& bs) {
  size_t tracks = 0;
  for (auto _ : bs) {
    bs.PauseTiming();
    auto library = std::make_unique<TLibrary>(State->Settings, "/");
    bs.ResumeTiming();
    Crawl(*library);
    bs.PauseTiming();
    tracks = library->TrackCount();
    library.reset();
    bs.ResumeTiming();
  }
  bs.counters["tracks"] = static_cast<double>(tracks);
}

size_t WalkWithTagLib() {
  size_t read = 0;
  Walk(State->Music, [&](const std::string& path, const struct stat&) {
    TagLib::FileRef file(path.c_str());
    if (!file.isNull() && file.tag()) {
      benchmark::DoNotOptimize(file.tag()->title());
      benchmark::DoNotOptimize(file.tag()->artist());
      benchmark::DoNotOptimize(file.tag()->album());
      if (file.audioProperties()) benchmark::DoNotOptimize(file.audioProperties()->lengthInMilliseconds());
      ++read;
    }
  });
  return read;
}

size_t BareWalk() {
  size_t files = 0;
  Walk(State->Music, [&](const std::string&, const struct stat& st) { files += S_ISREG(st.st_mode); });
  return files;
}

void WalkAndTagLib(benchmark::State& bs) {
  size_t read = 0;
  for (auto _ : bs) read = WalkWithTagLib();
  bs.counters["tracks"] = static_cast<double>(read);
}

void UnchangedCrawl(benchmark::State& bs) {
  TLibrary library(State->Settings, "/");
  Crawl(library);
  uint64_t reads = 0;
  for (auto _ : bs) reads += Crawl(library);
  bs.counters["ReadTags_per_crawl"] =
      benchmark::Counter(static_cast<double>(reads), benchmark::Counter::kAvgIterations);
  bs.counters["tracks"] = static_cast<double>(library.TrackCount());
}

void PlainWalk(benchmark::State& bs) {
  size_t files = 0;
  for (auto _ : bs) files = BareWalk();
  bs.counters["files"] = static_cast<double>(files);
}

template <class F>
double WallMs(F&& step) {
  const Clock::time_point start = Clock::now();
  step();
  return Since(start);
}

void MeasureProcesses(int runs, const std::vector<std::string>& ctls) {
  const std::string db = *State->Dir / "Library.db";
  // A walk that looks up every file's time stamp, as a program of its own.
  const std::vector<std::string> find = {"find", State->Music, "-type", "f", "-printf", "%T@ %p\n"};
  std::vector<double> tagLib, walk, found;
  std::vector<std::vector<double>> first(ctls.size()), unchanged(ctls.size());
  for (int i = 0; i < runs; ++i) {
    tagLib.push_back(WallMs(WalkWithTagLib));
    walk.push_back(WallMs(BareWalk));
    found.push_back(RunProcessWallMs(find));
    for (size_t c = 0; c < ctls.size(); ++c) {
      const std::vector<std::string> scan = {ctls[c], "library",  "scan",      "--db",
                                             db,      "--folder", State->Music};
      std::filesystem::remove(db);
      first[c].push_back(RunProcessWallMs(scan));
      unchanged[c].push_back(RunProcessWallMs(scan));
    }
  }
  std::printf(
      "%d files, median of %d paired runs (wall time): walk + TagLib %.1f ms, bare walk %.1f ms in this "
      "process, %.1f ms as `find`\n",
      State->Files, runs, Median(tagLib), Median(walk), Median(found));
  for (size_t c = 0; c < ctls.size(); ++c)
    std::printf(
        "  %s: first scan %.1f ms (TagLib / scan %.2fx), unchanged scan %.1f ms (%.2fx the bare walk, %.2fx "
        "`find`)\n",
        ctls[c].c_str(), Median(first[c]), Median(tagLib) / Median(first[c]), Median(unchanged[c]),
        Median(unchanged[c]) / Median(walk), Median(unchanged[c]) / Median(found));
}

}  // namespace
}  // namespace tunevale

int main(int argc, char** argv) {
  using namespace tunevale;
  if (argc > 2 && std::strcmp(argv[1], "--spawn") == 0) return Spawn(argv + 2);
  TBenchState state;
  int runs = 7;
  std::vector<std::string> ctls;
  for (int i = 1; i + 1 < argc;) {
    const std::string option = argv[i];
    if (option == "--files")
      state.Files = std::atoi(argv[i + 1]);
    else if (option == "--runs")
      runs = std::max(1, std::atoi(argv[i + 1]));
    else if (option == "--ctl")
      ctls.emplace_back(argv[i + 1]);
    else {
      ++i;
      continue;
    }
    std::memmove(argv + i, argv + i + 2, static_cast<size_t>(argc - i - 2) * sizeof(char*));
    argc -= 2;
  }
  state.Dir = std::make_unique<test::TTempFolder>();
  state.Music = *state.Dir / "Music";
  state.Settings.LibraryFolders = {state.Music};
  State = &state;
  GenerateTree(state);
  if (!ctls.empty()) {
    MeasureProcesses(runs, ctls);
    return 0;
  }

  benchmark::RegisterBenchmark("FullCrawl", FullCrawl)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("WalkAndTagLib", WalkAndTagLib)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("UnchangedCrawl", UnchangedCrawl)->Unit(benchmark::kMillisecond);
  benchmark::RegisterBenchmark("PlainWalk", PlainWalk)->Unit(benchmark::kMillisecond);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
