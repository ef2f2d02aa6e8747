// The Playlist page: play mode list, open button, busy picture, the playlist
// list and the side buttons. Shows the playlist's rows, selection, play mode
// and busy state, and hands the list's selection back to the playlist.
#pragma once

#include <QWidget>
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
  // The save dialog; the playlist is written to the chosen file.
  void SavePlaylistActionExecute();
  // The Sort button opens `menu`.
  void SetSortMenu(QMenu* menu);

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

  TPlayer& Player;
  std::unique_ptr<TPlaylistModel> PlaylistModel;
  QComboBox* PlayModeComboBox = nullptr;
  TBusyIndicator* PlaylistBusyIndicator = nullptr;
  QListView* PlaylistListView = nullptr;
  QToolButton* SortButton = nullptr;
  bool SyncingSelection = false;
};

}  // namespace tunevale
