#include "ui/main_actions.h"

#include <QAction>

#include "app/player.h"
#include "library/search_query.h"
#include "ui/library_sheet.h"
#include "ui/main_form.h"
#include "ui/main_menus.h"
#include "ui/playlist_sheet.h"
#include "ui/properties_windows.h"
#include "ui/settings_form.h"
#include "ui/video_display.h"
#include "ui/view_modes.h"

namespace tunevale {

namespace {

QList<QKeySequence> Keys(std::initializer_list<const char*> texts) {
  QList<QKeySequence> keys;
  for (const char* text : texts) keys << QKeySequence(text);
  return keys;
}

// The playlist entry at `index`, or null.
const TTrackData* EntryAt(const TPlaylist& playlist, int index) {
  return index >= 0 && index < playlist.Count() ? playlist.Row(index).Data.get() : nullptr;
}

}  // namespace

TMainActions::TMainActions(TPlayer& player, TMainForm& form) : Player(player), Form(form) {
  CreateControlsActions();
  CreatePlaylistActions();
  CreateLibraryActions();
  CreateVideoActions();
  CreateApplicationActions();
  CreateTabActions();
  Player.Playlist().AddListener(this);
  UpdateStates();
}

TMainActions::~TMainActions() { Player.Playlist().RemoveListener(this); }

QAction* TMainActions::AddAction(const char* name, const char* category, const QString& caption,
                                 const QList<QKeySequence>& keys, std::function<void()> run) {
  auto* action = new QAction(caption, &Form);
  action->setObjectName(name);
  action->setProperty("category", category);
  action->setShortcuts(keys);
  action->setShortcutContext(Qt::WindowShortcut);
  QObject::connect(action, &QAction::triggered, &Form, [this, run = std::move(run)] { Player.Guarded(run); });
  Form.addAction(action);
  return action;
}

QAction* TMainActions::Find(const std::string& name) const {
  return Form.findChild<QAction*>(QString::fromStdString(name), Qt::FindDirectChildrenOnly);
}

void TMainActions::Run(const std::string& name) {
  QAction* action = Find(name);
  if (action && action->isVisible() && action->isEnabled()) action->trigger();
}

void TMainActions::CreateControlsActions() {
  TPlaybackController& c = Player.Controller();
  const char* cat = "Controls";
  AddAction("PlayPauseAction", cat, "", Keys({"Ctrl+P"}), [this] { Player.PlayPause(); });
  AddAction("StopAction", cat, "", Keys({"Ctrl+S"}), [this] { Player.Stop(); });
  AddAction("PreviousAction", cat, "", Keys({"Ctrl+L"}), [this] { Player.Previous(); });
  AddAction("NextAction", cat, "", Keys({"Ctrl+N"}), [this] { Player.Next(); });
  AddAction("MuteUnmuteAction", cat, "", Keys({"F8"}), [&c] { c.MuteUnmuteActionExecute(); });
  AddAction("VolumeDownAction", cat, "", Keys({"F9"}), [&c] { c.VolumeDownActionExecute(); });
  AddAction("VolumeUpAction", cat, "", Keys({"F10"}), [&c] { c.VolumeUpActionExecute(); });
  AddAction("FastForwardAction", cat, "Fast forward", {}, [&c] { c.FastForwardActionExecute(); });
  AddAction("FastBackwardAction", cat, "Fast backward", {}, [&c] { c.FastBackwardActionExecute(); });
}

void TMainActions::CreatePlaylistActions() {
  TPlaylist& playlist = Player.Playlist();
  TPlaylistSheet& sheet = Form.PlaylistSheet();
  const char* cat = "Playlist";
  AddAction("OpenAction", cat, "", Keys({"Ctrl+O"}), [&sheet] { sheet.OpenActionExecute(); });
  AddAction("AddTracksAction", cat, "", {}, [&sheet] { sheet.AddTracksActionExecute(); });
  AddAction("AddURLAction", cat, "Add URL", Keys({"Ctrl+Shift+U"}),
            [&sheet] { sheet.AddURLActionExecute(); });
  AddAction("AddFolderAction", cat, "Add folder", {}, [&sheet] { sheet.AddFolderActionExecute(); });
  AddAction("RemoveTracksAction", cat, "", {}, [&playlist] { playlist.RemoveTracksActionExecute(); });
  AddAction("UpAction", cat, "Up", Keys({"Ctrl+U"}), [&playlist] { playlist.UpActionExecute(); });
  AddAction("DownAction", cat, "Down", Keys({"Ctrl+D"}), [&playlist] { playlist.DownActionExecute(); });
  AddAction("ClearPlaylistAction", cat, "", Keys({"Ctrl+Del"}), [this] { Player.ClearPlaylist(); });
  AddAction("ShuffleAction", cat, "", Keys({"Ctrl+R"}), [&playlist] { playlist.ShuffleActionExecute(); });
  AddAction("PlaylistPlayAction", cat, "Play", {}, [&playlist] { playlist.PlaylistPlayActionExecute(); });
  AddAction("SavePlayListAction", cat, "", Keys({"Ctrl+Shift+S"}),
            [&sheet] { sheet.SavePlaylistActionExecute(); });
  AddAction("PlaylistOpenFileLocationAction", cat, "Open file location", {},
            [this] { Player.PlaylistOpenFileLocation(); });
  AddAction("PlaylistPropertiesAction", cat, "Properties", {}, [this, &playlist] {
    if (const TTrackData* entry = EntryAt(playlist, playlist.ItemIndex()))
      Form.PropertiesWindows().ShowFileProperties(entry->FileName, entry->PlayResult.Code,
                                                  entry->PlayResult.Message);
  });
  AddAction("NowPlayingPropertiesAction", cat, "Track properties", {}, [this, &playlist] {
    if (const TTrackData* entry = EntryAt(playlist, playlist.PlayingIndex()))
      Form.PropertiesWindows().ShowFileProperties(entry->FileName, 0, {});
  });
  AddAction("SearchInLibraryAction", cat, "Search in library", {}, [this, &playlist] {
    const TTrackData* entry = EntryAt(playlist, playlist.ItemIndex());
    if (!entry || Form.ViewModes().PageHidden(mpLibrary)) return;
    const TMetaData& m = entry->MetaData;
    Form.SelectPage(mpLibrary);
    Player.Navigator().ShowQuery(EntryQuery(m.AlbumArtist, m.Album, m.Title), lpTracks);
  });
  AddAction("CancelPlaylistActionAction", cat, "Cancel action", {},
            [this] { Player.MediaAdder().CancelPlaylistActionActionExecute(); });
}

void TMainActions::CreateLibraryActions() {
  const char* cat = "Library";
  TLibraryCommands& commands = Player.LibraryCommands();
  TLibraryNavigator& navigator = Player.Navigator();
  TPropertiesWindows& properties = Form.PropertiesWindows();
  using TSelection = TLibrarySelection;
  using TList = TLibraryList;
  OnLibrary("LibraryPlayAllAction", "Play all",
            [&](const TList& l, const TSelection&) { commands.PlayAll(l); });
  OnLibrary("LibraryPlayAction", "Play",
            [&](const TList& l, const TSelection&) { commands.PlaySelected(l); });
  OnLibrary("LibraryAddToPlaylistAction", "Add to playlist",
            [&](const TList& l, const TSelection&) { commands.AddToPlaylist(l); });
  OnLibrary("LibraryOpenFileLocation", "Open file location", [&](const TList&, const TSelection& s) {
    if (s.File) commands.OpenFileLocation(std::string(s.File->Path()));
  });
  OnLibrary("LibraryPropertiesAction", "Properties", [&](const TList&, const TSelection& s) {
    if (s.Artist)
      properties.ShowArtistAlbumProperties(TPropertiesKey::Of(*s.Artist));
    else if (s.Album)
      properties.ShowArtistAlbumProperties(TPropertiesKey::Of(*s.Album));
    else if (s.File)
      properties.ShowFileProperties(std::string(s.File->Path()), 0, {});
  });
  // The extra mouse buttons and the browser keys run these anywhere in the window.
  AddAction("HistoryBackAction", cat, "", {}, [] {});
  AddAction("HistoryForwardAction", cat, "", {}, [] {});
  Form.LibrarySheet().SetHistoryActions(Find("HistoryBackAction"), Find("HistoryForwardAction"));
  OnLibrary("LibraryViewArtistAction", "View artist", [&](const TList&, const TSelection& s) {
    if (s.Track) navigator.ViewArtist(*s.Track);
  });
  OnLibrary("LibraryViewAlbumAction", "View album", [&](const TList&, const TSelection& s) {
    if (s.Track) navigator.ViewAlbum(*s.Track);
  });
  OnLibrary("LibraryViewAlbumsAction", "View albums", [&](const TList& l, const TSelection& s) {
    if (l.Page == lpArtists && s.Row) navigator.OpenArtist(s.Artist, TArtistOpen::aoAlbums);
  });
  OnLibrary("LibraryViewTracksAction", "View tracks", [&](const TList& l, const TSelection& s) {
    if (l.Page == lpArtists && s.Row) navigator.OpenArtist(s.Artist, TArtistOpen::aoTracks);
    if (l.Page == lpAlbums && s.Row) navigator.OpenAlbum(s.Album);
  });
  OnLibrary("LibraryViewFolderAction", "View folder", [&](const TList&, const TSelection& s) {
    if (s.File) navigator.ViewFolder(s.File->Path());
  });
  OnLibrary("LibraryPlayArtistAction", "Play artist", [&](const TList&, const TSelection& s) {
    if (s.Artist) commands.PlayArtist(*s.Artist);
  });
  OnLibrary("LibraryAddArtistAction", "Add artist", [&](const TList&, const TSelection& s) {
    if (s.Artist) commands.AddArtist(*s.Artist);
  });
  OnLibrary("LibraryPlayAlbumAction", "Play album", [&](const TList&, const TSelection& s) {
    if (s.Album) commands.PlayAlbum(*s.Album);
  });
  OnLibrary("LibraryAddAlbumAction", "Add album", [&](const TList&, const TSelection& s) {
    if (s.Album) commands.AddAlbum(*s.Album);
  });
  AddAction("CancelCrawlAction", cat, "CancelCrawlAction", {},
            [this] { Player.Library().Flags.CancelCrawl = true; });
  Form.LibrarySheet().OnSelectionChanged([this] { UpdateLibraryStates(); });
}

void TMainActions::OnLibrary(const char* name, const char* caption, TLibraryCommand command) {
  AddAction(name, "Library", caption, {}, [this, command = std::move(command)] {
    const TLibraryList* list = CurrentLibraryList();
    if (list) command(*list, TLibraryCommands::Selection(*list));
  });
}

const TLibraryList* TMainActions::CurrentLibraryList() const {
  // Rows waiting for a refill may point at entries that are gone.
  if (Player.Library().Flags.ListsStale) return nullptr;
  return &Player.Search().List(Player.Navigator().Page());
}

void TMainActions::UpdateLibraryStates() {
  const TLibraryList* list = CurrentLibraryList();
  const TLibrarySelection s = list ? TLibraryCommands::Selection(*list) : TLibrarySelection();
  const TLibraryPage page = Player.Navigator().Page();
  const bool file = s.File != nullptr, track = s.Track != nullptr;
  const bool artist = s.Artist != nullptr, album = s.Album != nullptr;
  const bool media = file && (page == lpTracks || page == lpVideos);
  const std::pair<const char*, bool> states[] = {
      {"LibraryPlayAllAction", media},
      {"LibraryPlayAction", media},
      {"LibraryAddToPlaylistAction", media},
      {"LibraryOpenFileLocation", file},
      {"LibraryPropertiesAction", artist || album || file},
      {"LibraryViewArtistAction", track},
      {"LibraryViewAlbumAction", track},
      {"LibraryViewAlbumsAction", page == lpArtists && s.Row},
      {"LibraryViewTracksAction", (page == lpArtists || page == lpAlbums) && s.Row},
      {"LibraryViewFolderAction", file},
      {"LibraryPlayArtistAction", artist},
      {"LibraryAddArtistAction", artist},
      {"LibraryPlayAlbumAction", album},
      {"LibraryAddAlbumAction", album},
  };
  for (const auto& [name, enabled] : states) Find(name)->setEnabled(enabled);
}

void TMainActions::CreateVideoActions() {
  const char* cat = "Video";
  AddAction("ToggleFullScreenAction", cat, "Full screen", Keys({"Alt+Return", "Alt+Enter"}),
            [this] { Form.VideoDisplay().ToggleFullScreenActionExecute(); });
  AddAction("NextFrameAction", cat, "", Keys({"Ctrl+Shift+F"}),
            [this] { Player.Controller().NextFrameActionExecute(); });
  // The menu items put their percentage or mode into the action's data.
  AddAction("VideoSizeAction", cat, "", {}, [this] {
    Form.VideoDisplay().VideoSizeActionExecute(Find("VideoSizeAction")->data().toInt(), Form);
  });
  AddAction("ZoomModeAction", cat, "ZoomModeAction", {}, [this] {
    Form.VideoDisplay().ZoomModeActionExecute(Find("ZoomModeAction")->data().toInt());
    Form.Menus().VideoStateChanged(Form.VideoDisplay().FullScreen(), Form.VideoDisplay().ZoomMode());
  });
  AddAction("StartCaptureAction", cat, "Capture", {}, [this] { Form.StartCaptureActionExecute(); });
  AddAction("PlayDVDAction", cat, "Play DVD", {}, [this] { Player.Controller().PlayDVD(""); });
}

void TMainActions::CreateApplicationActions() {
  const char* cat = "Application";
  TViewModes& views = Form.ViewModes();
  AddAction("ShowHideAction", cat, "", Keys({"Ctrl+H"}), [this] { Form.ShowHideActionExecute(); });
  AddAction("ToggleMiniModeAction", cat, "", Keys({"Ctrl+Return", "Ctrl+Enter"}),
            [&views] { views.ToggleMiniModeActionExecute(); });
  const std::tuple<const char*, const char*, const char*, TWindowSwitch> switches[] = {
      {"ToggleMicroModeAction", "Slim mode", "Ctrl+M", TWindowSwitch::MicroMode},
      {"TogglePanelsAction", "Show panels", "", TWindowSwitch::Panels},
      {"ToggleSidePanelsAction", "", "", TWindowSwitch::SidePanels},
      {"ToggleSmallTopPanelAction", "Small top panel", "", TWindowSwitch::SmallTopPanel},
  };
  for (const auto& [name, caption, key, which] : switches) {
    QAction* action = AddAction(name, cat, caption, *key ? Keys({key}) : QList<QKeySequence>(),
                                [this, which = which] { Player.ToggleView(which); });
    action->setCheckable(true);
  }
  AddAction("ShowMenuAction", cat, "", Keys({"Alt+M"}), [&views] { views.ShowOptionsMenu(); });
  AddAction("ShowSettingsAction", cat, "Settings", {}, [this] { Form.ShowSettings(spPlayer); });
  AddAction("CheckForUpdatesAction", cat, "Check for updates", {},
            [this] { Form.CheckForUpdatesActionExecute(); });
  AddAction("ShowAboutAction", cat, "About", {}, [this] { Form.ShowAboutActionExecute(); });
  AddAction("ShowHelpAction", cat, "Help", {}, [this] { Player.OpenWebPage("help.html"); });
  AddAction("ShowHomepageAction", cat, "Homepage", {}, [this] { Player.OpenWebPage("index.html"); });
  QAction* clearSearch = AddAction("ClearSearchBoxAction", cat, "", {}, [] {});
  Form.LibrarySheet().SetClearSearchBoxAction(clearSearch);
  AddAction("ResetSkinAction", cat, "Reset skin", {}, [this] { Player.ResetSkinActionExecute(); });
  AddAction("ExitAction", cat, "Exit", {}, [this] { Player.ExitActionExecute(); });
}

void TMainActions::CreateTabActions() {
  const char* cat = "Tabs";
  const std::tuple<const char*, const char*, int> pages[] = {
      {"Tab1Action", "F1", mpPlaylist}, {"Tab2Action", "", mpLibrary}, {"Tab3Action", "F7", mpVideo}};
  for (const auto& [name, key, page] : pages) {
    const QList<QKeySequence> keys =
        *key ? Keys({key, (std::string("Shift+") + key).c_str()}) : QList<QKeySequence>();
    AddAction(name, cat, "", keys, [this, page = page] { Form.SelectPage(page); })->setProperty("tag", page);
  }
  const char* libraryTabs[kLibraryPageCount] = {"Tab4Action", "Tab5Action", "Tab6Action", "Tab7Action",
                                                "Tab8Action"};
  TLibrarySheet& library = Form.LibrarySheet();
  for (int i = 0; i < kLibraryPageCount; ++i) {
    const QString key = QString("F%1").arg(i + 2);
    QAction* action = AddAction(libraryTabs[i], cat, "", {QKeySequence(key), QKeySequence("Shift+" + key)},
                                [this, &library, i] {
                                  Form.SelectPage(mpLibrary);
                                  library.ShowList(i);
                                });
    action->setProperty("tag", i);
  }
}

void TMainActions::UpdateStates() {
  const TPlaybackController& c = Player.Controller();
  QAction* playPause = Find("PlayPauseAction");
  playPause->setText(QString::fromStdString(c.PlayPauseCaption()));
  playPause->setEnabled(c.PlayPauseActionEnabled());
  Find("StopAction")->setEnabled(c.StopActionEnabled());
  Find("NowPlayingPropertiesAction")->setEnabled(c.NowPlayingPropertiesActionEnabled());
  SelectionActionsChanged(Player.Playlist().SelectionActionsEnabled());
  UpdateLibraryStates();
  const TSettings& s = Player.Settings();
  Find("ToggleMicroModeAction")->setChecked(s.MicroMode);
  Find("TogglePanelsAction")->setChecked(!s.HidePanels);
  Find("TogglePanelsAction")->setVisible(!s.MicroMode);
  Find("ToggleSidePanelsAction")->setChecked(!s.HideSidePanels);
  Find("ToggleSmallTopPanelAction")->setChecked(s.SmallTopPanel);
}

void TMainActions::SelectionActionsChanged(bool enabled) {
  for (const char* name :
       {"RemoveTracksAction", "UpAction", "DownAction", "PlaylistPlayAction", "PlaylistPropertiesAction",
        "PlaylistOpenFileLocationAction", "SearchInLibraryAction"})
    Find(name)->setEnabled(enabled);
}

}  // namespace tunevale
