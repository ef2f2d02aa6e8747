// The Playlist page: play mode list, open button, busy picture, the playlist
// list and the side buttons. Shows the playlist's rows, selection, play mode
// and busy state, and hands the list's selection back to the playlist. The
// dialogs of the open and add commands are here.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <string>

#include "playlist/playlist.h"

class QComboBox;
class QListView;
class QMenu;
class QToolButton;

namespace tunevale {

class TBusyIndicator;
class TPlayer;
class TPlaylistModel;

// The open dialog's filter: "desc|patterns|desc|patterns" pairs become Qt's
// "desc (patterns)" entries, the patterns separated by spaces.
QString QtOpenFilter(const std::string& filter);

class TPlaylistSheet final : public QWidget, private TPlaylistListener {
 public:
  TPlaylistSheet(TPlayer& player, QWidget* parent);
  ~TPlaylistSheet() override;

  // The open dialog; the chosen files go to the player's Open.
  void OpenActionExecute();
  // The same dialog; the chosen files are added.
  void AddTracksActionExecute();
  // The "Add URL" dialog; an address confirmed is added (and played when nothing plays).
  void AddURLActionExecute();
  // The folder chooser; the folder chosen is searched.
  void AddFolderActionExecute();
  // The save dialog; the playlist is written to the chosen file.
  void SavePlaylistActionExecute();
  // The Sort button opens `menu`.
  void SetSortMenu(QMenu* menu);
  // The list's context menu.
  void SetContextMenu(QMenu* menu);
  // What the small show-side-panels button and a double-click on the side panel run.
  void OnSidePanelsToggle(std::function<void()> toggle);
  // The top panel and the side panel (its small button shows while it does not).
  void SetPanelsShown(bool topPanel, bool sidePanel);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // TPlaylistListener.
  void PlaylistRowsChanged(const TPlaylistChange& change) override;
  void PlaylistBusyChanged(bool busy, const std::string& text) override;
  void PlayModeChanged(uint8_t mode) override;

  QWidget* CreateTopPanel();
  QWidget* CreateBody();
  QWidget* CreateSidePanel(QWidget* parent);
  void SyncPlaylistSelection(int first, int last);
  void PlaylistViewSelectionChanged();
  bool OpenDialog(const char* caption, std::vector<std::string>& files);

  TPlayer& Player;
  std::unique_ptr<TPlaylistModel> PlaylistModel;
  QComboBox* PlayModeComboBox = nullptr;
  TBusyIndicator* PlaylistBusyIndicator = nullptr;
  QListView* PlaylistListView = nullptr;
  QToolButton* SortButton = nullptr;
  QWidget* TopPanel = nullptr;
  QWidget* SidePanel = nullptr;
  QToolButton* ShowSidePanelsButton = nullptr;
  std::function<void()> SidePanelsToggle;
  bool SyncingSelection = false;
};

}  // namespace tunevale
