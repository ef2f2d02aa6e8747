#include "library/library_search.h"

#include <algorithm>
#include <unordered_set>

#include "library/list_sorter.h"
#include "library/search_results.h"

namespace tunevale {

namespace {

constexpr std::string_view kSearchingText = "Searching...";
constexpr int kRefreshIntervalMs = 4000;
constexpr int kMaxRefreshIntervalMs = 10000;
constexpr int64_t kSlowRefillMs = 400;

}  // namespace

std::string_view LibraryPageCaption(int page) {
  static constexpr std::string_view kCaptions[kLibraryPageCount] = {"Artists", "Albums", "Tracks", "Videos",
                                                                    "Playlists"};
  return page >= 0 && page < kLibraryPageCount ? kCaptions[page] : std::string_view();
}

bool TLibraryList::HasSelection() const {
  return std::any_of(Rows.begin(), Rows.end(), [](const TLibraryRow& r) { return r.Selected; });
}

TLibrarySearch::TLibrarySearch(TLibrary& library, TLibrarySearchHost& host, TRuntime& runtime,
                               TMessagePump& pump)
    : Library(library), Host(host), Runtime(runtime), Pump(pump) {}

void TLibrarySearch::RefreshLibraryLists(bool currentOnly) {
  if (Running) {
    (currentOnly ? PendingCurrent : PendingAll) = true;
    return;
  }
  // Requests noted meanwhile run afterwards, all lists before the current one;
  // a loop rather than recursion, so a stream of requests cannot deepen the stack.
  for (;;) {
    Refill(currentOnly);
    if (PendingAll) {
      PendingAll = false;
      currentOnly = false;
    } else if (PendingCurrent) {
      PendingCurrent = false;
      currentOnly = true;
    } else {
      break;
    }
  }
}

void TLibrarySearch::SortList(TLibraryPage page, int tag) {
  Lists[page].SortTag = tag;
  if (!Library.Flags.ListsStale) SortLibraryList(Lists[page]);
}

bool TLibrarySearch::KeepGoing() {
  Pump.PumpMessages();
  // ListsStale was lowered when the refill began: raised again, the library changed.
  return !Library.Flags.ListsStale;
}

void TLibrarySearch::Refill(bool currentOnly) {
  if (currentOnly && !Host.LibraryPageShown()) return;

  const int64_t startMs = Runtime.MonotonicMs();
  (currentOnly ? PendingCurrent : PendingAll) = false;
  Running = true;
  // Lowered for the refill so that a change during it shows; a refill of the
  // current list only leaves the others stale, so their flag comes back.
  const bool wasStale = Library.Flags.ListsStale;
  Library.Flags.ListsStale = false;

  struct TFinish {
    TLibrarySearch& Search;
    bool RestoreStale;
    ~TFinish() {
      if (RestoreStale) Search.Library.Flags.ListsStale = true;
      Search.Running = false;
    }
  } finish{*this, wasStale && currentOnly};

  const std::string queryText = Host.SearchText();
  const TSearchMatcher matcher = MatcherFor(Library, queryText);

  Pump.PumpMessages();
  if (Library.Flags.ListsStale) {  // changed before any row was taken: nothing to throw away
    Library.Flags.ListsStale = false;
    finish.RestoreStale = currentOnly;
  }
  const bool busyWasVisible = Host.BusyVisible();
  const std::string busyText = busyWasVisible ? Host.BusyText() : std::string();
  Host.ShowBusy(kSearchingText);

  const TLibraryPage current = Host.CurrentPage();
  bool complete = FillList(Lists[current], queryText, matcher);
  if (complete) {
    if (!queryText.empty() && !Lists[current].HasSelection()) SelectFirstResult(Lists[current]);
    Host.ListRefilled(Lists[current]);
  }
  for (int page = 0; complete && !currentOnly && page < kLibraryPageCount; ++page) {
    if (page == current) continue;
    complete = FillList(Lists[page], queryText, matcher);
    if (complete) Host.ListRefilled(Lists[page]);
  }
  if (!complete) {
    // Rows filled before the change may point at entries that are gone.
    for (TLibraryList& list : Lists) {
      list.Rows.clear();
      list.FocusedRow = -1;
      list.QueryText.clear();
      Host.ListRefilled(list);
    }
    PendingAll = true;
  }

  if (busyWasVisible)
    Host.ShowBusy(busyText);
  else
    Host.HideBusy();
  TuneRefreshTimer(Runtime.MonotonicMs() - startMs);
}

bool TLibrarySearch::FillList(TLibraryList& list, std::string_view queryText, const TSearchMatcher& matcher) {
  // Rows that stay keep their selection and focus, as they would in a view.
  std::unordered_set<const void*> selected;
  for (const TLibraryRow& row : list.Rows)
    if (row.Selected && row.Entry) selected.insert(row.Entry);
  const void* focused = list.FocusedRow >= 0 && list.FocusedRow < list.RowCount() ? list.Rows[list.FocusedRow].Entry
                                                                                  : nullptr;
  list.Rows.clear();
  list.FocusedRow = -1;
  list.QueryText = queryText;

  const bool active = !queryText.empty();
  const bool withAll = active && (list.Page == lpArtists || list.Page == lpAlbums);
  if (withAll) list.Rows.push_back(TLibraryRow{nullptr, TRowKind::rkAll, false, 0});
  const auto add = [&](void* entry) {
    if (entry == focused) list.FocusedRow = list.RowCount();
    list.Rows.push_back(TLibraryRow{entry, TRowKind::rkEntry, !selected.empty() && selected.count(entry) > 0,
                                    static_cast<uint32_t>(list.Rows.size())});
  };
  const auto keepGoing = [this] { return KeepGoing(); };
  bool complete = true;
  switch (list.Page) {
    case lpArtists:
      complete = WalkMatchingArtists(Library, matcher, [&](const TArtistResult& r) { add(r.Artist); }, keepGoing);
      break;
    case lpAlbums:
      complete = WalkMatchingAlbums(Library, matcher, [&](const TAlbumResult& r) { add(r.Album); }, keepGoing);
      break;
    case lpTracks:
      complete = WalkMatchingTracks(Library, matcher, add, keepGoing);
      break;
    case lpVideos:
      complete = WalkMatchingItems(Library.Videos, matcher, add, keepGoing);
      break;
    case lpPlaylists:
      complete = WalkMatchingItems(Library.Playlists, matcher, add, keepGoing);
      break;
  }
  if (!complete) return false;
  if (active && list.RowCount() == (withAll ? 1 : 0)) {
    list.Rows.assign(1, TLibraryRow{nullptr, TRowKind::rkNoItems, false, 0});
    list.FocusedRow = -1;
  }
  SortLibraryList(list);
  return true;
}

void TLibrarySearch::SelectFirstResult(TLibraryList& list) {
  // The first row that is a result: "<All>" and "<No items...>" are none.
  for (int row = 0; row < list.RowCount(); ++row) {
    if (list.Rows[row].Kind != TRowKind::rkEntry) continue;
    list.Rows[row].Selected = true;
    list.FocusedRow = row;
    return;
  }
}

void TLibrarySearch::TuneRefreshTimer(int64_t tookMs) {
  if (!RefreshTimer) return;
  const int64_t interval = tookMs > kSlowRefillMs ? 10 * tookMs : kRefreshIntervalMs;
  RefreshTimer->SetInterval(static_cast<int>(std::min<int64_t>(interval, kMaxRefreshIntervalMs)));
}

}  // namespace tunevale
