#include "library/library_navigator.h"

#include "library/search_query.h"
#include "util/path.h"

namespace tunevale {

TLibraryNavigator::TLibraryNavigator(TLibrary& library, TLibrarySearch& search, TMessagePump& pump)
    : Library(library), Search(search), Pump(pump) {}

// ---- The search box -------------------------------------------------------------------

void TLibraryNavigator::SearchTyped() {
  if (SettingTextFlag) return;
  QueryDirtyFlag = true;
  SearchPending = true;
}

void TLibraryNavigator::RunTypedSearch() {
  if (!SearchPending) return;
  SearchPending = false;
  Search.RefreshLibraryLists(true);
}

void TLibraryNavigator::SearchEditExit() {
  if (!QueryDirtyFlag) return;
  PushHistory();
  QueryDirtyFlag = false;
}

void TLibraryNavigator::ClearSearchBox() {
  if (!View) return;
  SetQuery(std::string());
  QueryDirtyFlag = false;
  PushHistory();
  Search.RefreshLibraryLists(true);
  View->FocusList();
}

void TLibraryNavigator::SetQuery(const std::string& text) {
  TRaise setting(SettingTextFlag);
  SearchPending = false;
  View->SetSearchText(text);
}

// ---- Pages ----------------------------------------------------------------------------

void TLibraryNavigator::PageChanged(TLibraryPage page, bool shiftHeld) {
  if (SelectingPage || !View) return;
  LeavePage();
  CurrentPage = page;
  PageChange(shiftHeld);
}

void TLibraryNavigator::SelectPage(TLibraryPage page, bool shiftHeld) {
  if (!View) return;
  if (page != CurrentPage) LeavePage();
  ShowPage(page);
  PageChange(shiftHeld);
}

void TLibraryNavigator::ShowPage(TLibraryPage page) {
  TRaise selecting(SelectingPage);
  View->ShowLibraryPage(page);
  CurrentPage = page;
}

void TLibraryNavigator::LeavePage() {
  // The leaving list shows the box's query, unless a typed search has not run yet.
  if (!SearchPending) Search.List(CurrentPage).QueryText = View->SearchText();
  SearchEditExit();
}

void TLibraryNavigator::PageChange(bool shiftHeld) {
  View->LibraryPageShown(CurrentPage);
  // A page the user turns to starts without a query; Shift carries it over.
  if (!SettingTextFlag && !shiftHeld) {
    TRaise navigating(NavigatingFlag);
    SetQuery(std::string());
  }
  const bool stale = View->SearchText() != Search.List(CurrentPage).QueryText;
  PushHistory();
  if (stale) {
    Pump.PumpMessages();
    Search.RefreshLibraryLists(true);
  }
  View->PageChangeDone();
}

// ---- Navigation -----------------------------------------------------------------------

void TLibraryNavigator::OpenArtist(const TArtist* artist, TArtistOpen how) {
  if (!View) return;
  TLibraryPage target = lpAlbums;
  if (how == TArtistOpen::aoTracks ||
      (how == TArtistOpen::aoDefault && Library.Settings().ArtistDoubleclickTab == 1))
    target = lpTracks;
  // One album: its tracks straight away.
  if (target == lpAlbums && how == TArtistOpen::aoDefault && artist && artist->AlbumCount() == 1)
    target = lpTracks;
  TRaise setting(SettingTextFlag);
  if (artist)
    SetQuery(ArtistQuery(artist->Name()));
  else
    target = lpTracks;
  if (target != CurrentPage) LeavePage();
  ShowPage(target);
  PageChange(false);
}

void TLibraryNavigator::OpenAlbum(const TAlbum* album) {
  if (!View) return;
  TRaise setting(SettingTextFlag);
  if (album) SetQuery(AlbumQuery(album->Artist()->Name(), album->Name()));
  if (CurrentPage != lpTracks) LeavePage();
  ShowPage(lpTracks);
  PageChange(false);
}

void TLibraryNavigator::ShowQueryNow() {
  PushHistory();
  Search.RefreshLibraryLists(true);
}

void TLibraryNavigator::ViewArtist(const TTrack& track) {
  if (!View || !track.Album()) return;
  SetQuery(ArtistQuery(track.Album()->Artist()->Name()));
  ShowQueryNow();
}

void TLibraryNavigator::ViewAlbum(const TTrack& track) {
  if (!View || !track.Album()) return;
  SetQuery(AlbumQuery(track.Album()->Artist()->Name(), track.Album()->Name()));
  ShowQueryNow();
}

void TLibraryNavigator::ViewFolder(std::string_view fileName) {
  if (!View) return;
  SetQuery(FolderQuery(ExtractFilePath(fileName)));
  ShowQueryNow();
}

void TLibraryNavigator::ShowQuery(const std::string& query, TLibraryPage page) {
  if (!View) return;
  TRaise setting(SettingTextFlag);
  SetQuery(query);
  if (page != CurrentPage) LeavePage();
  ShowPage(page);
  PageChange(false);
}

// ---- Folder browser -------------------------------------------------------------------

std::string TLibraryNavigator::CurrentFolder() const {
  // Typing or navigating replaces the folder's query; the browser then starts over.
  return View && !Folder.empty() && View->SearchText() == FolderQuery(Folder) ? Folder : std::string();
}

std::vector<TFolderMenuItem> TLibraryNavigator::FolderMenu() const {
  std::vector<std::string> folders;
  for (const std::string& entry : Library.Settings().LibraryFolders)
    folders.push_back(Library.ResolveFolder(entry));
  return FolderMenuItems(CurrentFolder(), folders);
}

void TLibraryNavigator::ChooseFolder(const TFolderMenuItem& item) {
  if (!View || !item.Enabled) return;
  Folder = CurrentFolder() + item.Name;
  SetQuery(FolderQuery(Folder));
  Search.RefreshLibraryLists(true);
  PushHistory();
  View->FocusList();
}

// ---- History --------------------------------------------------------------------------

void TLibraryNavigator::PushHistory() {
  if (NavigatingFlag || !View) return;
  HistoryObject.Push({CurrentPage, View->SearchText(), CurrentFolder()});
  View->HistoryChanged();
}

void TLibraryNavigator::Go(int step) {
  if (!View || (step < 0 ? !HistoryObject.CanGoBack() : !HistoryObject.CanGoForward())) return;
  LeavePage();
  const int index = HistoryObject.MoveTo(HistoryObject.Current() + step);
  const TViewHistoryEntry entry = HistoryObject.Entry(index);
  TRaise navigating(NavigatingFlag);
  TRaise setting(SettingTextFlag);
  ShowPage(static_cast<TLibraryPage>(entry.Page));
  SetQuery(entry.Query);
  Folder = entry.Folder;
  View->HistoryChanged();
  PageChange(false);
}

}  // namespace tunevale
