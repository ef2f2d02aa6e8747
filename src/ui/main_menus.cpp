#include "ui/main_menus.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <algorithm>

#include "app/player.h"
#include "playback/video_layout.h"
#include "ui/main_actions.h"

namespace tunevale {

namespace {

bool HasVisibleItem(const QMenu* menu) {
  const QList<QAction*> items = menu->actions();
  return std::any_of(items.begin(), items.end(),
                     [](QAction* a) { return a->isVisible() && !a->isSeparator(); });
}

}  // namespace

void PopupMenu(QMenu* menu, const QPoint& globalPos) {
  if (menu && HasVisibleItem(menu)) menu->popup(globalPos);
}

TMainMenus::TMainMenus(TPlayer& player, TMainActions& actions, QWidget& owner)
    : Player(player), Actions(actions), Owner(owner) {
  BuildPlaylistMenu();
  Sort = NewMenu("SortPopupMenu");
  SortItems(Sort, true);
  BuildTopPanelMenu();
  BuildTrayMenu();
  BuildOptionsMenu();
  BuildVideoMenu();
  BuildLibraryMenus();
  // Every action's state change reaches its items.
  std::vector<QAction*> commands;
  for (const TLink& link : Links)
    if (link.Command && std::find(commands.begin(), commands.end(), link.Command) == commands.end())
      commands.push_back(link.Command);
  for (QAction* command : commands) QObject::connect(command, &QAction::changed, &Owner, [this] { Sync(); });
  Player.Playlist().AddListener(this);
  PlayModeChanged(Player.Playlist().PlayMode());
  ApplyViewState(Player.Settings());
}

TMainMenus::~TMainMenus() { Player.Playlist().RemoveListener(this); }

QMenu* TMainMenus::NewMenu(const char* name) {
  auto* menu = new QMenu(&Owner);
  menu->setObjectName(name);
  return menu;
}

QAction* TMainMenus::Item(QMenu* menu, const char* action, const QString& caption, int tag) {
  QAction* command = Actions.Find(action);
  QAction* item = menu->addAction(caption.isEmpty() ? command->text() : caption);
  QObject::connect(item, &QAction::triggered, command, [command, tag] {
    if (tag >= 0) command->setData(tag);
    command->trigger();
  });
  Links.push_back({item, command, true, caption.isEmpty()});
  return item;
}

// An item with a handler of its own, not an action of the table.
QAction* TMainMenus::OwnItem(QMenu* menu, const QString& caption, std::function<void()> run) {
  QAction* item = menu->addAction(caption);
  QObject::connect(item, &QAction::triggered, &Owner, [this, run = std::move(run)] { Player.Guarded(run); });
  Links.push_back({item, nullptr, true, false});
  return item;
}

QMenu* TMainMenus::Submenu(QMenu* menu, const QString& caption) {
  QMenu* sub = menu->addMenu(caption);
  Submenus.push_back({sub, true});
  return sub;
}

QMenu* TMainMenus::PlayModeMenu(QMenu* menu) {
  QMenu* sub = Submenu(menu, "Play mode");
  auto* group = new QActionGroup(sub);
  const char* captions[] = {"Only this track", "Repeat", "Play all", "Repeat all"};
  for (int mode = 0; mode < 4; ++mode) {
    QAction* item = sub->addAction(captions[mode]);
    item->setCheckable(true);
    group->addAction(item);
    QObject::connect(item, &QAction::triggered, &Owner, [this, mode] {
      Player.Guarded([&] { Player.Playlist().SetPlayMode(static_cast<uint8_t>(mode)); });
    });
  }
  PlayModeGroups.push_back(group);
  return sub;
}

void TMainMenus::SortItems(QMenu* menu, bool withFileDate) {
  const std::pair<const char*, int> keys[] = {{"Title", skTitle},        {"Album", skAlbum},
                                              {"Artist", skArtist},      {"#", skTrack},
                                              {"File name", skFileName}, {"File date", skFileDate}};
  for (const auto& [caption, key] : keys) {
    if (key == skFileDate && !withFileDate) continue;
    menu->addAction(caption, &Owner, [this, sortKey = key] {
      Player.Guarded([&] { Player.Playlist().SortPlaylist(sortKey); });
    });
  }
}

void TMainMenus::BuildPlaylistMenu() {
  Playlist = NewMenu("PlaylistPopupMenu");
  Playlist->setDefaultAction(Item(Playlist, "PlayPauseAction"));
  Playlist->addSeparator();
  PlaylistOpen = Item(Playlist, "OpenAction", "Open");
  Item(Playlist, "AddTracksAction", "Add");
  Item(Playlist, "AddURLAction");
  Item(Playlist, "AddFolderAction");
  PlaylistSave = Item(Playlist, "SavePlayListAction", "Save playlist");
  Playlist->addSeparator();
  PlaylistPlayMode = PlayModeMenu(Playlist);
  PlaylistShuffle = Item(Playlist, "ShuffleAction", "Shuffle");
  PlaylistSort = Submenu(Playlist, "Sort");
  SortItems(PlaylistSort, false);
  Playlist->addSeparator();
  Item(Playlist, "RemoveTracksAction", "Remove");
  PlaylistClear = Item(Playlist, "ClearPlaylistAction", "Clear");
  Playlist->addSeparator();
  Item(Playlist, "SearchInLibraryAction");
  Item(Playlist, "PlaylistOpenFileLocationAction");
  Item(Playlist, "PlaylistPropertiesAction");
}

void TMainMenus::BuildTopPanelMenu() {
  TopPanel = NewMenu("TopPanelPopupMenu");
  TopPanelMiniItems = {Item(TopPanel, "OpenAction", "Open"), Item(TopPanel, "AddTracksAction", "Add"),
                       Item(TopPanel, "AddURLAction")};
  TopPanel->addSeparator();
  TopPanelSlimItems = {Item(TopPanel, "PlayPauseAction"), Item(TopPanel, "StopAction", "Stop"),
                       Item(TopPanel, "PreviousAction", "Previous track"),
                       Item(TopPanel, "NextAction", "Next track")};
  TopPanel->addSeparator();
  TopPanelPlayMode = PlayModeMenu(TopPanel);
  TopPanel->addSeparator();
  Item(TopPanel, "NowPlayingPropertiesAction");
}

void TMainMenus::BuildTrayMenu() {
  Tray = NewMenu("TrayPopupMenu");
  Item(Tray, "OpenAction", "Open");
  Item(Tray, "AddTracksAction", "Add tracks");
  Item(Tray, "AddURLAction");
  Tray->addSeparator();
  Item(Tray, "ShowSettingsAction");
  Tray->addSeparator();
  PlayModeMenu(Tray);
  Tray->addSeparator();
  Item(Tray, "ExitAction");
}

void TMainMenus::BuildOptionsMenu() {
  Options = NewMenu("OptionsPopupMenu");
  Item(Options, "ShowSettingsAction");
  Options->addSeparator();
  Item(Options, "TogglePanelsAction");
  Item(Options, "ToggleMicroModeAction");
  Item(Options, "ToggleSmallTopPanelAction");
  Options->addSeparator();
  Item(Options, "ShowHelpAction");
  Item(Options, "CheckForUpdatesAction");
  Options->addAction("Beta feedback", &Owner, [this] { Player.OpenWebPage("contact.html"); });
  Item(Options, "ShowAboutAction");
}

void TMainMenus::BuildVideoMenu() {
  Video = NewMenu("VideoPopupMenu");
  Item(Video, "ToggleFullScreenAction");
  Video->addSeparator();
  VideoSizes = Submenu(Video, "Video size");
  for (int percent : {50, 100, 200})
    Item(VideoSizes, "VideoSizeAction", QString("%1%").arg(percent), percent);
  ZoomModes = Submenu(Video, "Zoom mode");
  auto* group = new QActionGroup(ZoomModes);
  const char* modes[] = {"Fit to screen", "Crop", "Stretch", "Custom..."};
  for (int mode = 0; mode < 4; ++mode) {
    QAction* item = Item(ZoomModes, "ZoomModeAction", modes[mode], mode);
    item->setCheckable(true);
    group->addAction(item);
  }
  VideoStateChanged(false, ZoomModeOf(ClampZoom(Player.Settings().HZoom, Player.Settings().VZoom)));
}

void TMainMenus::VideoStateChanged(bool fullScreen, int zoomMode) {
  SetAllowed(VideoSizes, !fullScreen);
  SetAllowed(ZoomModes, fullScreen);
  const QList<QAction*> items = ZoomModes->actions();
  if (zoomMode >= 0 && zoomMode < items.size()) items[zoomMode]->setChecked(true);
  Sync();
}

void TMainMenus::BuildLibraryMenus() {
  LibraryArtists = NewMenu("LibraryArtistsPopupMenu");
  Item(LibraryArtists, "LibraryViewAlbumsAction");
  Item(LibraryArtists, "LibraryViewTracksAction");
  LibraryArtists->addSeparator();
  Item(LibraryArtists, "LibraryPlayArtistAction");
  Item(LibraryArtists, "LibraryAddArtistAction");
  LibraryArtists->addSeparator();
  Item(LibraryArtists, "LibraryPropertiesAction");

  LibraryAlbums = NewMenu("LibraryAlbumsPopupMenu");
  Item(LibraryAlbums, "LibraryViewTracksAction");
  LibraryAlbums->addSeparator();
  Item(LibraryAlbums, "LibraryPlayAlbumAction");
  Item(LibraryAlbums, "LibraryAddAlbumAction");
  LibraryAlbums->addSeparator();
  Item(LibraryAlbums, "LibraryPropertiesAction");

  LibraryTracks = NewMenu("LibraryTracksPopupMenu");
  QAction* playAll = Item(LibraryTracks, "LibraryPlayAllAction");
  QAction* playSelected = Item(LibraryTracks, "LibraryPlayAction", "Play selected");
  Item(LibraryTracks, "LibraryAddToPlaylistAction");
  LibraryTracks->addSeparator();
  QAction* viewArtist = Item(LibraryTracks, "LibraryViewArtistAction");
  QAction* viewAlbum = Item(LibraryTracks, "LibraryViewAlbumAction");
  Item(LibraryTracks, "LibraryViewFolderAction");
  LibraryTracks->addSeparator();
  Item(LibraryTracks, "LibraryOpenFileLocation");
  LibraryTracks->addSeparator();
  Item(LibraryTracks, "LibraryPropertiesAction");
  // Shared with the videos list, which has no artists or albums to view;
  // the default is what Enter would do.
  QObject::connect(LibraryTracks, &QMenu::aboutToShow, &Owner,
                   [this, playAll, playSelected, viewArtist, viewAlbum] {
                     const TLibraryPage page = Player.Navigator().Page();
                     SetAllowed(viewArtist, page == lpTracks);
                     SetAllowed(viewAlbum, page == lpTracks);
                     Sync();
                     int selected = 0;
                     for (const TLibraryRow& row : Player.Search().List(page).Rows)
                       selected += row.Selected ? 1 : 0;
                     LibraryTracks->setDefaultAction(selected < 2 ? playAll : playSelected);
                   });

  LibraryPlaylists = NewMenu("LibraryPlaylistsPopupMenu");
  const auto onPlaylist = [this](void (TLibraryCommands::*command)(const std::string&)) {
    return [this, command] {
      const TLibraryList& list = Player.Search().List(lpPlaylists);
      const TLibrarySelection s = TLibraryCommands::Selection(list);
      if (s.File && !Player.Library().Flags.ListsStale)
        (Player.LibraryCommands().*command)(std::string(s.File->Path()));
    };
  };
  QAction* play =
      OwnItem(LibraryPlaylists, "Play this playlist", onPlaylist(&TLibraryCommands::PlayPlaylist));
  LibraryPlaylists->setDefaultAction(play);
  LibraryPlaylists->addSeparator();
  QAction* remove =
      OwnItem(LibraryPlaylists, "Delete playlist", onPlaylist(&TLibraryCommands::DeletePlaylist));
  LibraryPlaylists->addSeparator();
  Item(LibraryPlaylists, "LibraryViewFolderAction");
  Item(LibraryPlaylists, "LibraryOpenFileLocation");
  LibraryPlaylists->addSeparator();
  Item(LibraryPlaylists, "LibraryPropertiesAction");
  QObject::connect(LibraryPlaylists, &QMenu::aboutToShow, &Owner, [this, play, remove] {
    const bool file = TLibraryCommands::Selection(Player.Search().List(lpPlaylists)).File;
    for (QAction* item : {play, remove}) item->setEnabled(file);
  });
  // What a menu offers follows the selection it was opened on.
  for (QMenu* menu : {LibraryArtists, LibraryAlbums, LibraryTracks, LibraryPlaylists})
    QObject::connect(menu, &QMenu::aboutToShow, &Owner, [this] { Actions.UpdateLibraryStates(); });
}

void TMainMenus::SetAllowed(QAction* item, bool allowed) {
  for (TLink& link : Links)
    if (link.Item == item) link.Allowed = allowed;
}

void TMainMenus::SetAllowed(QMenu* submenu, bool allowed) {
  for (TSubmenu& sub : Submenus)
    if (sub.Menu == submenu) sub.Allowed = allowed;
}

void TMainMenus::ApplyViewState(const TSettings& s) {
  SetAllowed(PlaylistOpen, s.HidePanels);
  SetAllowed(PlaylistPlayMode, s.HidePanels);
  for (QAction* item : {PlaylistSave, PlaylistShuffle, PlaylistClear}) SetAllowed(item, s.HideSidePanels);
  SetAllowed(PlaylistSort, s.HideSidePanels);
  for (QAction* item : TopPanelMiniItems) SetAllowed(item, s.MiniMode);
  SetAllowed(TopPanelPlayMode, s.MiniMode);
  for (QAction* item : TopPanelSlimItems) SetAllowed(item, s.MicroMode);
  Sync();
}

void TMainMenus::Sync() {
  for (const TLink& link : Links) {
    if (!link.Command) {
      link.Item->setVisible(link.Allowed);
      continue;
    }
    link.Item->setVisible(link.Allowed && link.Command->isVisible());
    link.Item->setEnabled(link.Command->isEnabled());
    if (link.Command->isCheckable()) {
      link.Item->setCheckable(true);
      link.Item->setChecked(link.Command->isChecked());
    }
    if (link.FollowText) link.Item->setText(link.Command->text());
  }
  // A submenu shows while the rules allow it and one of its items shows.
  for (const TSubmenu& sub : Submenus)
    sub.Menu->menuAction()->setVisible(sub.Allowed && HasVisibleItem(sub.Menu));
}

void TMainMenus::PlayModeChanged(uint8_t mode) {
  for (QActionGroup* group : PlayModeGroups) {
    const QList<QAction*> items = group->actions();
    if (mode < items.size()) items[mode]->setChecked(true);
  }
}

}  // namespace tunevale
