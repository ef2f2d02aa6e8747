// The player headless: start-up with a generated 100,000-track "Library.db"
// and a saved 1,000-entry playlist, to the point where the window would show
// (Create) and to the library lists filled (AfterShow); and the player's own
// cost of "setvolume" commands with one registered listener (no socket; the
// transport has its own benchmark).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "app/player.h"
#include "library/library_database.h"
#include "library_generator.h"
#include "playback/fake_filter_graph.h"
#include "support/canned_http.h"
#include "support/fake_runtime.h"
#include "support/temp_folder.h"
#include "util/atomic_file.h"

namespace tunevale {
namespace {

constexpr const char* kRoot = "/srv/music";
constexpr int kTracks = 100000;
constexpr int kPlaylistEntries = 1000;

class TCountingServer : public TRemoteServer {
 public:
  void Listen(TFrameHandler handler) override { Handler = std::move(handler); }
  void SendFrame(TConnectionId, std::string_view) override { ++Frames; }
  TFrameHandler Handler;
  long Frames = 0;
};

struct TBenchFolder {
  TBenchFolder() {
    Paths.ProgramDir = Folder.MakeFolder("prog") + "/";
    Paths.AppDataDir = Folder.MakeFolder("data") + "/";
    Paths.IniFilePath = Paths.ProgramDir + "Tunevale.ini";
    Paths.LibraryDbPath = Paths.ProgramDir + "Library.db";
    TLibrarySettings settings;
    settings.LibraryFolders = {kRoot};
    settings.LibraryDbPath = Paths.LibraryDbPath;
    TLibrary library(settings, Paths.ProgramDir);
    const TGeneratedLibrary generated = GenerateLibrary(kRoot, kTracks);
    FillLibrary(library, generated);
    std::string error;
    if (!SaveLibrary(library, &error)) std::fprintf(stderr, "library not saved: %s\n", error.c_str());
    // Every 100th library track, so the tags come from the library as in use.
    std::string ini =
        "[Tunevale]\r\nAppVersion=2.0.0.18\r\nFirstRun=0\r\nLibraryFolderCount=1\r\nLibraryFolder0=" +
        std::string(kRoot) + "\r\nPlaylistCount=" + std::to_string(kPlaylistEntries) + "\r\n";
    for (int i = 0; i < kPlaylistEntries; ++i)
      ini += "PlaylistItem" + std::to_string(i) + "=" + generated.Tracks[static_cast<size_t>(i) * 100].Path +
             "*\r\n";
    ini += "NowPlaying=10\r\n";
    WriteFileAtomically(Paths.IniFilePath, ini, &error);
  }
  test::TTempFolder Folder;
  TAppPaths Paths;
};

TBenchFolder& Shared() {
  static TBenchFolder folder;
  return folder;
}

void Startup(benchmark::State& state, bool toListsFilled) {
  TBenchFolder& folder = Shared();
  for (auto _ : state) {
    test::TFakeRuntime runtime;
    test::TFakeFilterGraph graph;
    test::TCannedHttp http;
    auto player =
        std::make_unique<TPlayer>(TPlayerPorts{runtime, graph, http, nullptr, nullptr}, folder.Paths);
    player->Create({});
    if (toListsFilled) {
      player->AfterShow();
      player->WaitForLibrary();
      if (player->Search().List(lpTracks).RowCount() != kTracks)
        state.SkipWithError("the lists were not filled");
      if (player->Playlist().Count() != kPlaylistEntries)
        state.SkipWithError("the playlist was not restored");
    }
    state.PauseTiming();
    player.reset();
    state.ResumeTiming();
  }
}

void BM_StartupToWindowShown(benchmark::State& state) { Startup(state, false); }
void BM_StartupToListsFilled(benchmark::State& state) { Startup(state, true); }

void BM_SetVolumeCommands(benchmark::State& state) {
  test::TTempFolder temp;
  TAppPaths paths;
  paths.ProgramDir = temp.MakeFolder("prog") + "/";
  paths.IniFilePath = paths.ProgramDir + "Tunevale.ini";
  test::TFakeRuntime runtime;
  test::TFakeFilterGraph graph;
  test::TCannedHttp http;
  TCountingServer server;
  TPlayer player(TPlayerPorts{runtime, graph, http, nullptr, &server}, paths);
  player.Create({});
  player.AfterShow();
  server.Handler(1, "registerwindow=1");
  for (auto _ : state)
    for (int i = 0; i < 10000; ++i) server.Handler(2, "setvolume=" + std::to_string(i % 10001));
  state.SetItemsProcessed(state.iterations() * 10000);
  if (server.Frames < state.iterations() * 10000) state.SkipWithError("notifications missing");
}

BENCHMARK(BM_StartupToWindowShown)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
BENCHMARK(BM_StartupToListsFilled)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5);
BENCHMARK(BM_SetVolumeCommands)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tunevale

BENCHMARK_MAIN();
