// The Library page: the search box with the back, forward, folders and
// list/details buttons, the busy picture and the five library lists
// (artists, albums, tracks, videos, playlists) over the player's search
// lists. Browsing is the navigator's: the page shows the box and the lists
// and forwards what the user does. Typing searches after a short pause.
#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <string>

#include "library/library_navigator.h"
#include "library/library_search.h"

class QAction;
class QLineEdit;
class QMenu;
class QTabWidget;
class QTimer;
class QToolButton;
class QTreeView;

namespace tunevale {

class TBusyIndicator;
class TLibraryListModel;
class TPlayer;
struct TSettings;

class TLibrarySheet final : public QWidget, private TLibraryNavigatorView {
 public:
  TLibrarySheet(TPlayer& player, QWidget* parent);
  ~TLibrarySheet() override;

  // The busy picture shows `text` while `busy`.
  void BusyChanged(bool busy, const std::string& text);
  // List `page` (TLibraryPage) got new rows: show them and select its FocusedRow.
  void ListRefilled(int page);
  // The list in front (TLibraryPage), bringing one to the front, its tab's caption.
  int CurrentList() const;
  void ShowList(int page);
  QString ListCaption(int page) const;
  // The list in front takes the keyboard focus.
  void FocusCurrentList();
  void SetTopPanelShown(bool shown);
  // The lists' context menus, by TLibraryPage.
  void SetListMenus(const std::array<QMenu*, kLibraryPageCount>& menus);
  // `action` empties the search box and is enabled while the box holds text.
  void SetClearSearchBoxAction(QAction* action);
  // The history actions walk back and forward, enabled while there is a step.
  void SetHistoryActions(QAction* back, QAction* forward);
  // `observer` runs when the list in front or what is selected in it changes.
  void OnSelectionChanged(std::function<void()> observer) { SelectionObserver = std::move(observer); }

  // The search box's text ("" while it shows its placeholder).
  std::string SearchText() const override;

  // The lists' sort states, widths and column order, and the list/details
  // mode, from the settings record; and back into it.
  void ApplySettings(const TSettings& settings);
  void StoreSettings(TSettings& settings) const;
  // The list/details switch (ToggleListButton).
  void ToggleListMode();
  // The tracks header's column chooser ("Title" checked and disabled).
  QMenu* ColumnMenu();
  // Rows (indices of list `page`) the user acts on: Enter or a double-click.
  void ActivateRow(int page, int row);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // TLibraryNavigatorView.
  void SetSearchText(const std::string& text) override;
  void ShowLibraryPage(TLibraryPage page) override;
  void LibraryPageShown(TLibraryPage page) override;
  void FocusList() override { FocusCurrentList(); }
  void HistoryChanged() override;
  void PageChangeDone() override;

  QWidget* CreateTopPanel();
  void CreateLists();
  void ListChanged(int page);
  void HeaderClicked(int page, int column);
  void ShowSortIndicator(int page);
  void TrackColumnToggled(int field, bool shown);
  void SelectionChanged(int page);
  void NoteSelection();
  void ShowFolderMenu();
  void ApplyViewMode();
  // A key in a list: Enter, Backspace or a printable character.
  bool ListKey(int page, QKeyEvent* event);
  void TypeToSearch(const QString& text);
  int SelectedCount(int page) const;

  TPlayer& Player;
  TLibraryNavigator& Navigator;
  std::array<std::unique_ptr<TLibraryListModel>, kLibraryPageCount> LibraryModels;
  QWidget* TopPanel = nullptr;
  QLineEdit* SearchEdit = nullptr;
  QAction* BackAction = nullptr;
  QAction* ForwardAction = nullptr;
  QToolButton* BackButton = nullptr;
  QToolButton* ForwardButton = nullptr;
  QToolButton* SearchFoldersButton = nullptr;
  QToolButton* ToggleListButton = nullptr;
  TBusyIndicator* LibraryBusyIndicator = nullptr;
  QTimer* SearchTimer = nullptr;
  QTabWidget* LibraryPageControl = nullptr;
  std::array<QTreeView*, kLibraryPageCount> LibraryViews{};
  QMenu* HeaderMenu = nullptr;
  std::function<void()> SelectionObserver;
  bool Filling = false;  // the view's selection follows the list's, not the other way
};

}  // namespace tunevale
