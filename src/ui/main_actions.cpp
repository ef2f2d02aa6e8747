#include "ui/main_actions.h"

#include <QAction>
#include <QMenu>

#include "app/player.h"
#include "ui/library_sheet.h"
#include "ui/main_form.h"
#include "ui/playlist_sheet.h"
#include "ui/view_modes.h"

namespace tunevale {

TMainActions::TMainActions(TPlayer& player, TMainForm& form) : Player(player), Form(form) {
  CreateControlsActions();
  CreatePlaylistActions();
  CreateApplicationActions();
  CreateTabActions();
  CreateSortPopupMenu();
}

QAction* TMainActions::AddAction(const char* name, const QString& text, const QList<QKeySequence>& keys,
                                 std::function<void()> run) {
  auto* action = new QAction(text, &Form);
  action->setObjectName(name);
  action->setShortcuts(keys);
  action->setShortcutContext(Qt::WindowShortcut);
  QObject::connect(action, &QAction::triggered, &Form, [this, run = std::move(run)] { Player.Guarded(run); });
  Form.addAction(action);
  return action;
}

void TMainActions::CreateControlsActions() {
  TPlaybackController& c = Player.Controller();
  AddAction("PlayPauseAction", "Play", {QKeySequence("Ctrl+P")}, [this] { Player.PlayPause(); });
  AddAction("StopAction", "Stop", {QKeySequence("Ctrl+S")}, [this] { Player.Stop(); });
  AddAction("PreviousAction", "Previous track", {QKeySequence("Ctrl+L")}, [this] { Player.Previous(); });
  AddAction("NextAction", "Next track", {QKeySequence("Ctrl+N")}, [this] { Player.Next(); });
  AddAction("MuteUnmuteAction", "Mute", {QKeySequence("F8")}, [&c] { c.MuteUnmuteActionExecute(); });
  AddAction("VolumeDownAction", "Volume down", {QKeySequence("F9")}, [&c] { c.VolumeDownActionExecute(); });
  AddAction("VolumeUpAction", "Volume up", {QKeySequence("F10")}, [&c] { c.VolumeUpActionExecute(); });
}

void TMainActions::CreatePlaylistActions() {
  TPlaylist& playlist = Player.Playlist();
  TPlaylistSheet& sheet = Form.PlaylistSheet();
  AddAction("OpenAction", "Open", {QKeySequence("Ctrl+O")}, [&sheet] { sheet.OpenActionExecute(); });
  AddAction("UpAction", "Up", {QKeySequence("Ctrl+U")}, [&playlist] { playlist.UpActionExecute(); });
  AddAction("DownAction", "Down", {QKeySequence("Ctrl+D")}, [&playlist] { playlist.DownActionExecute(); });
  AddAction("ClearPlaylistAction", "Clear", {QKeySequence("Ctrl+Delete")},
            [this] { Player.ClearPlaylist(); });
  AddAction("ShuffleAction", "Shuffle", {QKeySequence("Ctrl+R")},
            [&playlist] { playlist.ShuffleActionExecute(); });
  AddAction("SavePlayListAction", "Save playlist", {QKeySequence("Ctrl+Shift+S")},
            [&sheet] { sheet.SavePlaylistActionExecute(); });
}

void TMainActions::CreateApplicationActions() {
  AddAction("ExitAction", "Exit", {}, [this] { Player.ExitActionExecute(); });
  AddAction("CheckForUpdatesAction", "Check for updates", {},
            [this] { Form.CheckForUpdatesActionExecute(); });
  AddAction("ToggleMiniModeAction", "Mini mode", {QKeySequence("Ctrl+Return"), QKeySequence("Ctrl+Enter")},
            [this] { Form.ViewModes().ToggleMiniModeActionExecute(); });
}

void TMainActions::CreateTabActions() {
  AddAction("Tab1Action", "Playlist", {QKeySequence("F1"), QKeySequence("Shift+F1")},
            [this] { Form.SelectPage(mpPlaylist); });
  AddAction("Tab2Action", "Library", {}, [this] { Form.SelectPage(mpLibrary); });
  AddAction("Tab3Action", "Video", {QKeySequence("F7"), QKeySequence("Shift+F7")},
            [this] { Form.SelectPage(mpVideo); });
  const char* libraryTabs[kLibraryPageCount] = {"Tab4Action", "Tab5Action", "Tab6Action", "Tab7Action",
                                                "Tab8Action"};
  TLibrarySheet& library = Form.LibrarySheet();
  for (int i = 0; i < kLibraryPageCount; ++i) {
    const QString key = QString("F%1").arg(i + 2);
    AddAction(libraryTabs[i], library.ListCaption(i), {QKeySequence(key), QKeySequence("Shift+" + key)},
              [this, &library, i] {
                Form.SelectPage(mpLibrary);
                library.ShowList(i);
              });
  }
}

void TMainActions::CreateSortPopupMenu() {
  SortMenu = new QMenu(&Form);
  SortMenu->setObjectName("SortPopupMenu");
  for (const auto& [caption, key] : {std::pair{"Title", skTitle},
                                     {"Album", skAlbum},
                                     {"Artist", skArtist},
                                     {"#", skTrack},
                                     {"File name", skFileName}})
    SortMenu->addAction(caption, &Form, [this, sortKey = key] {
      Player.Guarded([&] { Player.Playlist().SortPlaylist(sortKey); });
    });
}

}  // namespace tunevale
