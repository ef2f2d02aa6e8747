// The window's action table (names, captions, shortcuts and what each runs)
// and the menus built on it. Actions live on the window, so their shortcuts
// work wherever the focus is in it; each runs under the player's error guard.
#pragma once

#include <QKeySequence>
#include <QList>
#include <functional>

class QAction;
class QMenu;
class QString;

namespace tunevale {

class TMainForm;
class TPlayer;

class TMainActions final {
 public:
  // Builds the actions and menus on `form`, whose parts must exist already.
  TMainActions(TPlayer& player, TMainForm& form);

  // The Sort button's menu: one item per sort key.
  QMenu* SortPopupMenu() const { return SortMenu; }

 private:
  QAction* AddAction(const char* name, const QString& text, const QList<QKeySequence>& keys,
                     std::function<void()> run);
  void CreateControlsActions();
  void CreatePlaylistActions();
  void CreateApplicationActions();
  void CreateTabActions();
  void CreateSortPopupMenu();

  TPlayer& Player;
  TMainForm& Form;
  QMenu* SortMenu = nullptr;
};

}  // namespace tunevale
