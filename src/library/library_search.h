// The refill of the five library lists (artists, albums, tracks, videos,
// playlists) for the query in the search box, without any widget: the lists
// hold which library entries a view shows, in library order; sorting and
// drawing are the views' business.
//
// Re-entrancy: a refill processes pending messages between rows, so typing,
// remote commands, timers and even a crawl run in the middle of it. Only one
// refill runs at a time; requests arriving meanwhile are merged into at most
// one pending refill of all lists and one of the current list, run when the
// refill ends. A change of the library during a refill (ListsStale raised)
// stops the row loops at once, since rows may then point at destroyed
// entries: every list is emptied and a refill of all lists follows.
//
// Rows point into the library. Between a change of the library and the
// refill that its ListsStale flag brings, a row may point at an entry that no
// longer exists; whoever reads rows then must check ListsStale first.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "library/library.h"
#include "util/runtime.h"

namespace tunevale {

class TSearchMatcher;

enum TLibraryPage : int { lpArtists, lpAlbums, lpTracks, lpVideos, lpPlaylists };
inline constexpr int kLibraryPageCount = 5;
// The caption of a page's tab ("Artists", ...); "" for a number outside the pages.
std::string_view LibraryPageCaption(int page);

inline constexpr std::string_view kAllRowCaption = "<All>";
inline constexpr std::string_view kNoItemsRowCaption = "<No items match your search>";

enum class TRowKind : uint8_t {
  rkEntry,    // a library entry
  rkAll,      // "<All>", on top of the artists and albums lists while a query is active
  rkNoItems,  // "<No items match your search>", alone in a list a query left empty
};

struct TLibraryRow {
  // TArtist, TAlbum, TTrack or TLibraryItem, by the list's page; null for the special rows.
  void* Entry = nullptr;
  TRowKind Kind = TRowKind::rkEntry;
  bool Selected = false;
  uint32_t Ordinal = 0;  // place in library order; the sort's last tie-break
};

class TLibraryList {
 public:
  explicit TLibraryList(TLibraryPage page) : Page(page) {}

  const TLibraryPage Page;
  std::vector<TLibraryRow> Rows;
  std::string QueryText;  // the query text the list was last filled with
  int FocusedRow = -1;
  // +(k + 1) ascending or -(k + 1) descending on key k, 0 in library order
  // (see list_sorter.h); every refill sorts by it.
  int SortTag = 0;

  int RowCount() const { return static_cast<int>(Rows.size()); }
  // The entry of a row, or null for a special row (or a row of another kind of list).
  TArtist* ArtistAt(int row) const { return Page == lpArtists ? static_cast<TArtist*>(Rows[row].Entry) : nullptr; }
  TAlbum* AlbumAt(int row) const { return Page == lpAlbums ? static_cast<TAlbum*>(Rows[row].Entry) : nullptr; }
  TTrack* TrackAt(int row) const { return Page == lpTracks ? static_cast<TTrack*>(Rows[row].Entry) : nullptr; }
  TLibraryItem* ItemAt(int row) const {
    return Page == lpVideos || Page == lpPlaylists ? static_cast<TLibraryItem*>(Rows[row].Entry) : nullptr;
  }
  bool HasSelection() const;
};

// What the refill needs from the main window.
class TLibrarySearchHost {
 public:
  virtual ~TLibrarySearchHost() = default;
  // The main window shows its library page (refills of the current list run only then).
  virtual bool LibraryPageShown() const = 0;
  // The library page in front.
  virtual TLibraryPage CurrentPage() const = 0;
  // The search box's text; empty while it shows its placeholder.
  virtual std::string SearchText() const = 0;
  // The library busy indicator.
  virtual bool BusyVisible() const = 0;
  virtual std::string BusyText() const = 0;
  virtual void ShowBusy(std::string_view text) = 0;
  virtual void HideBusy() = 0;
  // A list got new rows (its FocusedRow is the row to select and focus, or -1).
  virtual void ListRefilled(TLibraryList& list) = 0;
};

class TLibrarySearch {
 public:
  TLibrarySearch(TLibrary& library, TLibrarySearchHost& host, TRuntime& runtime, TMessagePump& pump);
  TLibrarySearch(const TLibrarySearch&) = delete;
  TLibrarySearch& operator=(const TLibrarySearch&) = delete;

  // Refills the current list, or every list (the current one first).
  void RefreshLibraryLists(bool currentOnly);

  // Puts a list in the order of sort state `tag`. While the lists are stale
  // only the state is kept: the refill that follows sorts.
  void SortList(TLibraryPage page, int tag);

  const TLibraryList& List(TLibraryPage page) const { return Lists[page]; }
  TLibraryList& List(TLibraryPage page) { return Lists[page]; }
  bool Refilling() const { return Running; }

  // The main window's RefreshTimer; each refill tunes its interval to the
  // time the refill took. May stay null.
  TTimer* RefreshTimer = nullptr;

 private:
  void Refill(bool currentOnly);
  // Fills one list; false when a change of the library stopped it.
  bool FillList(TLibraryList& list, std::string_view queryText, const TSearchMatcher& matcher);
  bool KeepGoing();
  void SelectFirstResult(TLibraryList& list);
  void TuneRefreshTimer(int64_t tookMs);

  TLibrary& Library;
  TLibrarySearchHost& Host;
  TRuntime& Runtime;
  TMessagePump& Pump;
  std::array<TLibraryList, kLibraryPageCount> Lists{TLibraryList(lpArtists), TLibraryList(lpAlbums),
                                                    TLibraryList(lpTracks), TLibraryList(lpVideos),
                                                    TLibraryList(lpPlaylists)};
  bool Running = false;
  bool PendingAll = false;
  bool PendingCurrent = false;
};

}  // namespace tunevale
