// The library views on a generated 100,000-track library, each from the
// input to the list filled: sorting the tracks list by each column (the
// header click), opening an artist with 200 albums (query, page change and
// refill of the albums list) and going back (page change and refill of the
// artists list). The library has one more artist with 200 albums of five
// tracks.
//
//   library_views_bench [google-benchmark flags]
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

#include "bench_runtime.h"
#include "bench_search_host.h"
#include "library/library.h"
#include "library/library_navigator.h"
#include "library/library_search.h"
#include "library/list_sorter.h"
#include "library/track_columns.h"
#include "library_generator.h"

namespace tunevale {
namespace {

class TBenchPage : public TLibraryNavigatorView, public TBenchHost {
 public:
  TBenchPage() { Page = lpArtists; }
  std::string SearchText() const override { return Text; }
  void SetSearchText(const std::string& text) override { Text = text; }
  void ShowLibraryPage(TLibraryPage page) override { Page = page; }
  bool LibraryPageShown() const override { return true; }
};

struct TBench {
  TLibrarySettings Settings;
  TLibrary Library{Settings, "/"};
  TBenchRuntime Runtime;
  TMessagePump Pump{Runtime};
  TBenchPage Page;
  TLibrarySearch Search{Library, Page, Runtime, Pump};
  TLibraryNavigator Navigator{Library, Search, Pump};
  TArtist* Prolific = nullptr;

  TBench() {
    FillLibrary(Library, GenerateLibrary("/srv/music", 100000));
    for (int b = 0; b < 200; ++b)
      for (int t = 1; t <= 5; ++t) {
        TMetaData meta;
        meta.AlbumArtist = meta.Artist = "The Prolific";
        meta.Album = "Album " + std::to_string(b);
        meta.Title = "Song " + std::to_string(t);
        meta.Track = t;
        Library.AddTrack(
            TTrack::Create("/srv/music/prolific/" + std::to_string(b) + "/" + std::to_string(t) + ".mp3", "",
                           meta, 0, false));
      }
    Prolific = Library.Artist(Library.FindArtist("The Prolific"));
    Navigator.SetView(&Page);
    Search.RefreshLibraryLists(false);
  }
};

TBench& Bench() {
  static TBench* bench = new TBench;
  return *bench;
}

void SortTracks(benchmark::State& state) {
  TBench& b = Bench();
  const int field = static_cast<int>(state.range(0));
  state.SetLabel(std::string(TrackFieldInfo(field).Caption));
  int tag = field + 1;
  for (auto _ : state) {
    b.Search.SortList(lpTracks, tag);
    tag = -tag;  // each run a real sort: the other direction
  }
  state.counters["rows"] = b.Search.List(lpTracks).RowCount();
}
BENCHMARK(SortTracks)
    ->DenseRange(0, kTrackFieldCount - 1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

void OpenArtistWith200Albums(benchmark::State& state) {
  TBench& b = Bench();
  for (auto _ : state) {
    state.PauseTiming();
    b.Page.Text.clear();
    b.Navigator.SelectPage(lpArtists, false);
    state.ResumeTiming();
    b.Navigator.OpenArtist(b.Prolific, TArtistOpen::aoAlbums);
  }
  state.counters["albums"] = b.Search.List(lpAlbums).RowCount() - 1;
}
BENCHMARK(OpenArtistWith200Albums)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

void Back(benchmark::State& state) {
  TBench& b = Bench();
  for (auto _ : state) {
    state.PauseTiming();
    b.Page.Text = "abba";
    b.Navigator.SelectPage(lpArtists, true);
    b.Navigator.OpenArtist(b.Prolific, TArtistOpen::aoAlbums);
    state.ResumeTiming();
    b.Navigator.HistoryBack();  // to the artists list for "abba"
  }
  state.counters["rows"] = b.Search.List(lpArtists).RowCount();
}
BENCHMARK(Back)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

}  // namespace
}  // namespace tunevale

BENCHMARK_MAIN();
