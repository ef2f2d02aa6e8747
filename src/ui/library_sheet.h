// The Library page: the search box, the busy picture and the five library
// lists (artists, albums, tracks, videos, playlists) over the player's
// search lists. Typing refreshes the lists after a short pause.
#pragma once

#include <QWidget>
#include <array>
#include <memory>
#include <string>

#include "library/library_search.h"

class QAction;
class QLineEdit;
class QMenu;
class QTabWidget;
class QTimer;
class QTreeView;

namespace tunevale {

class TBusyIndicator;
class TLibraryListModel;
class TPlayer;

class TLibrarySheet final : public QWidget {
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
  // The search box's text ("" while it shows its placeholder).
  std::string SearchText() const;
  void SetTopPanelShown(bool shown);
  // The lists' context menus, by TLibraryPage.
  void SetListMenus(const std::array<QMenu*, kLibraryPageCount>& menus);
  // `action` empties the search box and is enabled while the box holds text.
  void SetClearSearchBoxAction(QAction* action);

 private:
  QWidget* CreateTopPanel();
  void CreateLists();
  void ListChanged(int page);

  TPlayer& Player;
  std::array<std::unique_ptr<TLibraryListModel>, kLibraryPageCount> LibraryModels;
  QWidget* TopPanel = nullptr;
  QLineEdit* SearchEdit = nullptr;
  TBusyIndicator* LibraryBusyIndicator = nullptr;
  QTimer* SearchTimer = nullptr;
  QTabWidget* LibraryPageControl = nullptr;
  std::array<QTreeView*, kLibraryPageCount> LibraryViews{};
};

}  // namespace tunevale
