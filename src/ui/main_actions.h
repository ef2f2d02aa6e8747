// The window's action table: every command by name, with its category,
// caption, shortcuts and what it runs. Buttons, menus, keys and hot
// keys all run these. Actions live on the window, so their shortcuts work
// wherever the focus is in it; each runs under the player's error guard.
//
// Enabled, checked and caption states are the player's (controller,
// playlist, settings record); UpdateStates copies them onto the actions.
// Commands that a later part of the program brings are here already but
// hidden, so nothing shows that does nothing (a hidden action's shortcut is
// inactive too).
#pragma once

#include <QKeySequence>
#include <QList>
#include <functional>
#include <string>

#include "playlist/playlist_listener.h"

class QAction;
class QString;

namespace tunevale {

class TLibraryList;
struct TLibrarySelection;
class TMainForm;
class TPlayer;

class TMainActions final : private TPlaylistListener {
 public:
  // Builds the actions on `form`, whose parts must exist already.
  TMainActions(TPlayer& player, TMainForm& form);
  ~TMainActions() override;

  // The action named `name`, or null.
  QAction* Find(const std::string& name) const;
  // Runs `name` as its shortcut would: nothing while it is hidden or disabled.
  void Run(const std::string& name);
  // Copies the player's enabled, checked and caption states onto the actions.
  void UpdateStates();
  // The library commands follow the selection of the list in front.
  void UpdateLibraryStates();

 private:
  QAction* AddAction(const char* name, const char* category, const QString& caption,
                     const QList<QKeySequence>& keys, std::function<void()> run);
  void CreateControlsActions();
  void CreatePlaylistActions();
  void CreateLibraryActions();
  // A library command runs on the list in front and what is selected in it.
  using TLibraryCommand = std::function<void(const TLibraryList&, const TLibrarySelection&)>;
  void OnLibrary(const char* name, const char* caption, TLibraryCommand command);
  // The list in front; null while its rows wait for a refill.
  const TLibraryList* CurrentLibraryList() const;
  void CreateVideoActions();
  void CreateApplicationActions();
  void CreateTabActions();

  // TPlaylistListener.
  void SelectionActionsChanged(bool enabled) override;

  TPlayer& Player;
  TMainForm& Form;
};

}  // namespace tunevale
