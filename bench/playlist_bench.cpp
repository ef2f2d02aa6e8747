// Adding 10,000 entries with AddPlaylistEntry and reading their tags with
// ReadTrackInfo while a loaded 100,000-track library answers the
// from-library reads. Two inputs: 10,000 of the library's own tracks, and
// 10,000 real files on disk the library does not know (each costs a read of
// the file for its tags). Every entry costs the one folder test when added.
//
// The counter "tag_reads_while_adding" must stay 0: adding reads no tags.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "library/crawler.h"
#include "library/library.h"
#include "library/track.h"
#include "library_generator.h"
#include "playlist/playlist.h"
#include "support/fake_runtime.h"

namespace tunevale {
namespace {

constexpr int LibraryTracks = 100000;
constexpr int Entries = 10000;

struct TWorld {
  TWorld() {
    const TGeneratedLibrary generated = GenerateLibrary("/srv/music", LibraryTracks);
    for (const TGeneratedTrack& t : generated.Tracks) Library.AddTrack(TTrack::Create(t.Path, "", t.Meta, 0, false));
    Library.Loaded = true;
    for (int i = 0; i < Entries; ++i)
      LibraryPaths.push_back(generated.Tracks[static_cast<size_t>(i) * (LibraryTracks / Entries)].Path);

    Folder = (std::filesystem::temp_directory_path() / "tunevale-playlist-bench").string();
    std::filesystem::remove_all(Folder);
    for (int i = 0; i < Entries; ++i) {
      const std::string dir = Folder + "/d" + std::to_string(i / 500);
      if (i % 500 == 0) std::filesystem::create_directories(dir);
      DiskPaths.push_back(dir + "/track " + std::to_string(i) + ".mp3");
      std::ofstream(DiskPaths.back()) << "not really audio";
    }
  }
  ~TWorld() { std::filesystem::remove_all(Folder); }

  TLibrarySettings LibrarySettings;
  TLibrary Library{LibrarySettings, "/"};
  TFileExtensions Extensions;
  // Nothing else runs meanwhile: the pump has no messages to process.
  test::TFakeRuntime Runtime;
  TMessagePump Pump{Runtime};
  TCrawler Crawler{Library, Extensions, Pump};
  TPlaylistSettings Settings;
  std::vector<std::string> LibraryPaths;
  std::vector<std::string> DiskPaths;
  std::string Folder;
};

TWorld& World() {
  static TWorld world;
  return world;
}

std::unique_ptr<TPlaylist> MakePlaylist(TWorld& w) {
  auto playlist = std::make_unique<TPlaylist>(w.Settings, w.Extensions, w.Pump);
  playlist->SetTagReader([&w](const std::string& path, TMetaData& meta) { w.Crawler.NoticeFile(path, meta, true); });
  return playlist;
}

const std::vector<std::string>& Paths(TWorld& w, int64_t input) { return input == 0 ? w.LibraryPaths : w.DiskPaths; }

void BM_AddPlaylistEntry(benchmark::State& state) {
  TWorld& w = World();
  const std::vector<std::string>& paths = Paths(w, state.range(0));
  uint64_t reads = 0;
  for (auto _ : state) {
    state.PauseTiming();
    auto playlist = MakePlaylist(w);
    const uint64_t before = w.Crawler.TagReads();
    state.ResumeTiming();
    for (const std::string& path : paths) playlist->AddPlaylistEntry(path);
    state.PauseTiming();
    reads += w.Crawler.TagReads() - before;
    playlist.reset();
    state.ResumeTiming();
  }
  state.counters["tag_reads_while_adding"] = static_cast<double>(reads);
  state.SetLabel(state.range(0) == 0 ? "library tracks" : "files unknown to the library");
}

void BM_ReadTrackInfo(benchmark::State& state) {
  TWorld& w = World();
  const std::vector<std::string>& paths = Paths(w, state.range(0));
  for (auto _ : state) {
    state.PauseTiming();
    auto playlist = MakePlaylist(w);
    for (const std::string& path : paths) playlist->AddPlaylistEntry(path);
    w.Library.CrawlTasks.Clear();
    state.ResumeTiming();
    playlist->ReadTrackInfo(false);
    state.PauseTiming();
    if (!playlist->Row(Entries - 1).Data->InfoRead) state.SkipWithError("not every entry was read");
    playlist.reset();
    state.ResumeTiming();
  }
  state.SetLabel(state.range(0) == 0 ? "library tracks" : "files unknown to the library");
}

BENCHMARK(BM_AddPlaylistEntry)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_ReadTrackInfo)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Repetitions(5);

}  // namespace
}  // namespace tunevale

BENCHMARK_MAIN();
