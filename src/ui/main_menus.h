// The window's context menus, built on the action table. Each item is its
// own menu entry linked to an action: it runs the action, is enabled and
// checked with it and shows only while the action does and the view rules
// let it (some items stand in for panels the current view hides). Items that
// pass a number to their action (sizes, zoom modes) put it in the action's
// data before triggering it.
#pragma once

#include <QPoint>
#include <QString>
#include <functional>
#include <vector>

#include "playlist/playlist_listener.h"

class QAction;
class QActionGroup;
class QMenu;
class QWidget;

namespace tunevale {

class TMainActions;
class TPlayer;
struct TSettings;

// Opens `menu` at `globalPos` unless none of its items shows.
void PopupMenu(QMenu* menu, const QPoint& globalPos);

class TMainMenus final : private TPlaylistListener {
 public:
  TMainMenus(TPlayer& player, TMainActions& actions, QWidget& owner);
  ~TMainMenus() override;

  QMenu* PlaylistPopupMenu() const { return Playlist; }
  QMenu* SortPopupMenu() const { return Sort; }
  QMenu* TopPanelPopupMenu() const { return TopPanel; }
  QMenu* TrayPopupMenu() const { return Tray; }
  QMenu* OptionsPopupMenu() const { return Options; }
  QMenu* VideoPopupMenu() const { return Video; }
  QMenu* LibraryArtistsPopupMenu() const { return LibraryArtists; }
  QMenu* LibraryAlbumsPopupMenu() const { return LibraryAlbums; }
  QMenu* LibraryTracksPopupMenu() const { return LibraryTracks; }
  QMenu* LibraryPlaylistsPopupMenu() const { return LibraryPlaylists; }

  // The items that stand in for hidden panels and pages follow the view:
  // the playlist menu's open, play mode, save, shuffle, sort and clear; the
  // strip menu's open, add and play mode (mini view) and transport (slim view).
  void ApplyViewState(const TSettings& settings);
  // "Video size" shows outside full screen, "Zoom mode" in it, with `zoomMode` checked.
  void VideoStateChanged(bool fullScreen, int zoomMode);

 private:
  struct TLink {
    QAction* Item;
    QAction* Command;  // null: an item with its own handler
    bool Allowed;      // what the view rules say
    bool FollowText;   // shows the action's caption as it changes
  };
  struct TSubmenu {
    QMenu* Menu;
    bool Allowed;
  };

  QMenu* NewMenu(const char* name);
  QAction* Item(QMenu* menu, const char* action, const QString& caption = {}, int tag = -1);
  QAction* OwnItem(QMenu* menu, const QString& caption, std::function<void()> run);
  QMenu* Submenu(QMenu* menu, const QString& caption);
  QMenu* PlayModeMenu(QMenu* menu);
  void SortItems(QMenu* menu, bool withFileDate);
  void BuildPlaylistMenu();
  void BuildTopPanelMenu();
  void BuildTrayMenu();
  void BuildOptionsMenu();
  void BuildVideoMenu();
  void BuildLibraryMenus();
  void SetAllowed(QAction* item, bool allowed);
  void SetAllowed(QMenu* submenu, bool allowed);
  void Sync();

  // TPlaylistListener.
  void PlayModeChanged(uint8_t mode) override;

  TPlayer& Player;
  TMainActions& Actions;
  QWidget& Owner;
  std::vector<TLink> Links;
  std::vector<TSubmenu> Submenus;
  std::vector<QActionGroup*> PlayModeGroups;
  QMenu* Playlist = nullptr;
  QMenu* Sort = nullptr;
  QMenu* TopPanel = nullptr;
  QMenu* Tray = nullptr;
  QMenu* Options = nullptr;
  QMenu* Video = nullptr;
  QMenu* VideoSizes = nullptr;
  QMenu* ZoomModes = nullptr;
  QMenu* LibraryArtists = nullptr;
  QMenu* LibraryAlbums = nullptr;
  QMenu* LibraryTracks = nullptr;
  QMenu* LibraryPlaylists = nullptr;
  // Items the view rules switch.
  QAction* PlaylistOpen = nullptr;
  QAction* PlaylistSave = nullptr;
  QAction* PlaylistShuffle = nullptr;
  QAction* PlaylistClear = nullptr;
  QMenu* PlaylistPlayMode = nullptr;
  QMenu* PlaylistSort = nullptr;
  std::vector<QAction*> TopPanelMiniItems;
  std::vector<QAction*> TopPanelSlimItems;
  QMenu* TopPanelPlayMode = nullptr;
};

}  // namespace tunevale
