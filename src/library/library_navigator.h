// Browsing the library: page changes, opening artists and albums, viewing a
// track's artist, album or folder, the folder browser and the view history.
// Every view is a query in the search box; the search fills the lists. The
// box and the pages are widgets, reached through TLibraryNavigatorView.
//
// Three flags keep the moves apart: *navigating* (the history itself moves,
// so nothing is pushed), *setting text* (the program writes the box, so no
// search runs for the edit and a page change keeps the text) and *query
// dirty* (the user typed since the last push; leaving the box pushes).
//
// Re-entrancy: a refill processes pending messages, so another navigation
// may run inside one; each flag is restored by scope, never just lowered.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "library/folder_browser.h"
#include "library/library.h"
#include "library/library_search.h"
#include "library/view_history.h"
#include "util/runtime.h"

namespace tunevale {

// What the navigator asks of the Library page. Called on the main thread.
class TLibraryNavigatorView {
 public:
  virtual ~TLibraryNavigatorView() = default;
  // The search box's text; "" while it shows its placeholder.
  virtual std::string SearchText() const = 0;
  // The program writes the box: "" empties it (the placeholder shows unless
  // the box has the focus). A pending typed search is dropped.
  virtual void SetSearchText(const std::string& text) = 0;
  // Brings a page to the front without reporting it back as the user's change.
  virtual void ShowLibraryPage(TLibraryPage page) = 0;
  // The page is in front: its own controls show, its list takes the focus.
  virtual void LibraryPageShown(TLibraryPage page) { (void)page; }
  // The current list takes the focus.
  virtual void FocusList() {}
  // The history moved: the back and forward buttons' states and hints.
  virtual void HistoryChanged() {}
  // A page change ended (the library save timer starts again).
  virtual void PageChangeDone() {}
};

// Where opening an artist goes.
enum class TArtistOpen { aoDefault, aoAlbums, aoTracks };

class TLibraryNavigator {
 public:
  TLibraryNavigator(TLibrary& library, TLibrarySearch& search, TMessagePump& pump);
  TLibraryNavigator(const TLibraryNavigator&) = delete;
  TLibraryNavigator& operator=(const TLibraryNavigator&) = delete;

  void SetView(TLibraryNavigatorView* view) { View = view; }

  // --- The search box ---------------------------------------------------------------
  // The user edited the text (ignored while the program sets it).
  void SearchTyped();
  // The search for what the user typed runs (the view may wait for a pause first).
  void RunTypedSearch();
  // The box lost the focus: a typed query becomes a history entry.
  void SearchEditExit();
  // Enter in the box: the typed query is taken as it is (the view then acts
  // as Enter in the current list).
  void SearchEditReturn() { QueryDirtyFlag = false; }
  void ClearSearchBox();

  // --- Pages -------------------------------------------------------------------------
  // The user brought `page` to the front; Shift carries the query over.
  void PageChanged(TLibraryPage page, bool shiftHeld);
  // A tab command: brings `page` to the front and runs the page change even
  // when it was in front already.
  void SelectPage(TLibraryPage page, bool shiftHeld);
  TLibraryPage Page() const { return CurrentPage; }

  // --- Navigation --------------------------------------------------------------------
  // `artist` null for the "<All>" row, which shows every track of the query.
  void OpenArtist(const TArtist* artist, TArtistOpen how);
  void OpenAlbum(const TAlbum* album);
  void ViewArtist(const TTrack& track);
  void ViewAlbum(const TTrack& track);
  void ViewFolder(std::string_view fileName);
  // Shows the lists of `page` for `query` (search in library).
  void ShowQuery(const std::string& query, TLibraryPage page);

  // --- Folder browser ----------------------------------------------------------------
  // The folder the box's query shows, "" when it shows no browsed folder.
  std::string CurrentFolder() const;
  std::vector<TFolderMenuItem> FolderMenu() const;
  void ChooseFolder(const TFolderMenuItem& item);

  // --- History -----------------------------------------------------------------------
  void PushHistory();
  void HistoryBack() { Go(-1); }
  void HistoryForward() { Go(+1); }
  const TViewHistory& History() const { return HistoryObject; }

  bool Navigating() const { return NavigatingFlag; }
  bool SettingText() const { return SettingTextFlag; }
  bool QueryDirty() const { return QueryDirtyFlag; }

 private:
  // Raises a flag for a scope and puts back what it was.
  class TRaise {
   public:
    explicit TRaise(bool& flag) : Flag(flag), Old(flag) { Flag = true; }
    ~TRaise() { Flag = Old; }
    TRaise(const TRaise&) = delete;
    TRaise& operator=(const TRaise&) = delete;

   private:
    bool& Flag;
    bool Old;
  };

  void SetQuery(const std::string& text);
  void ShowPage(TLibraryPage page);
  void LeavePage();
  void PageChange(bool shiftHeld);
  void ShowQueryNow();
  void Go(int step);

  TLibrary& Library;
  TLibrarySearch& Search;
  TMessagePump& Pump;
  TLibraryNavigatorView* View = nullptr;
  TViewHistory HistoryObject;
  TLibraryPage CurrentPage = lpArtists;
  std::string Folder;
  bool NavigatingFlag = false;
  bool SettingTextFlag = false;
  bool QueryDirtyFlag = false;
  bool SearchPending = false;  // typed, but the lists do not show it yet
  bool SelectingPage = false;  // the view's page change is ours
};

}  // namespace tunevale
