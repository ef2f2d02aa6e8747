// The window's command vocabulary and views under offscreen Qt: the action
// table, the context menus in each view, the tabs, keys, mouse buttons, the
// base dialogs and the heartbeat.
#include <QAction>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "ui/add_url_form.h"
#include "ui/controls_panel.h"
#include "ui/main_actions.h"
#include "ui/main_form_fixture.h"
#include "ui/main_menus.h"
#include "ui/track_info_panel.h"
#include "ui/view_modes.h"

namespace tunevale::test {
namespace {

class MainWindowTest : public MainFormTest {
 protected:
  // Presses and releases a key QTest cannot spell (media and browser keys), held `ms`.
  void HoldKey(QWidget* to, int key, int ms = 0) {
    for (const QEvent::Type type : {QEvent::KeyPress, QEvent::KeyRelease}) {
      QKeyEvent event(type, key, Qt::NoModifier);
      QApplication::sendEvent(to, &event);
      if (type == QEvent::KeyPress && ms > 0) Runtime.Advance(ms);
    }
  }
};

struct TActionRow {
  const char* Name;
  const char* Category;
  const char* Caption;
  const char* Keys;
  bool Enabled, Checked, Visible;
};

// The table as a freshly started window with an empty playlist and no
// library selection shows it.
const TActionRow ActionTable[] = {
    {"PlayPauseAction", "Controls", "Play", "Ctrl+P", false, false, true},
    {"StopAction", "Controls", "", "Ctrl+S", false, false, true},
    {"PreviousAction", "Controls", "", "Ctrl+L", true, false, true},
    {"NextAction", "Controls", "", "Ctrl+N", true, false, true},
    {"MuteUnmuteAction", "Controls", "", "F8", true, false, true},
    {"VolumeDownAction", "Controls", "", "F9", true, false, true},
    {"VolumeUpAction", "Controls", "", "F10", true, false, true},
    {"FastForwardAction", "Controls", "Fast forward", "", true, false, true},
    {"FastBackwardAction", "Controls", "Fast backward", "", true, false, true},
    {"OpenAction", "Playlist", "", "Ctrl+O", true, false, true},
    {"AddTracksAction", "Playlist", "", "", true, false, true},
    {"AddURLAction", "Playlist", "Add URL", "Ctrl+Shift+U", true, false, true},
    {"AddFolderAction", "Playlist", "Add folder", "", true, false, true},
    {"RemoveTracksAction", "Playlist", "", "", false, false, true},
    {"UpAction", "Playlist", "Up", "Ctrl+U", false, false, true},
    {"DownAction", "Playlist", "Down", "Ctrl+D", false, false, true},
    {"ClearPlaylistAction", "Playlist", "", "Ctrl+Del", true, false, true},
    {"ShuffleAction", "Playlist", "", "Ctrl+R", true, false, true},
    {"PlaylistPlayAction", "Playlist", "Play", "", false, false, true},
    {"SavePlayListAction", "Playlist", "", "Ctrl+Shift+S", true, false, true},
    {"PlaylistOpenFileLocationAction", "Playlist", "Open file location", "", false, false, true},
    {"PlaylistPropertiesAction", "Playlist", "Properties", "", false, false, true},
    {"NowPlayingPropertiesAction", "Playlist", "Track properties", "", false, false, true},
    {"SearchInLibraryAction", "Playlist", "Search in library", "", false, false, true},
    {"CancelPlaylistActionAction", "Playlist", "Cancel action", "", true, false, true},
    {"LibraryPlayAllAction", "Library", "Play all", "", false, false, true},
    {"LibraryPlayAction", "Library", "Play", "", false, false, true},
    {"LibraryAddToPlaylistAction", "Library", "Add to playlist", "", false, false, true},
    {"LibraryOpenFileLocation", "Library", "Open file location", "", false, false, true},
    {"LibraryPropertiesAction", "Library", "Properties", "", false, false, true},
    {"HistoryBackAction", "Library", "", "", false, false, true},
    {"HistoryForwardAction", "Library", "", "", false, false, true},
    {"LibraryViewArtistAction", "Library", "View artist", "", false, false, true},
    {"LibraryViewAlbumAction", "Library", "View album", "", false, false, true},
    {"LibraryViewAlbumsAction", "Library", "View albums", "", false, false, true},
    {"LibraryViewTracksAction", "Library", "View tracks", "", false, false, true},
    {"LibraryViewFolderAction", "Library", "View folder", "", false, false, true},
    {"LibraryPlayArtistAction", "Library", "Play artist", "", false, false, true},
    {"LibraryAddArtistAction", "Library", "Add artist", "", false, false, true},
    {"LibraryPlayAlbumAction", "Library", "Play album", "", false, false, true},
    {"LibraryAddAlbumAction", "Library", "Add album", "", false, false, true},
    {"CancelCrawlAction", "Library", "CancelCrawlAction", "", true, false, true},
    {"ToggleFullScreenAction", "Video", "Full screen", "Alt+Return, Alt+Enter", true, false, true},
    {"NextFrameAction", "Video", "", "Ctrl+Shift+F", true, false, true},
    {"VideoSizeAction", "Video", "", "", true, false, true},
    {"ZoomModeAction", "Video", "ZoomModeAction", "", true, false, true},
    {"StartCaptureAction", "Video", "Capture", "", true, false, true},
    {"PlayDVDAction", "Video", "Play DVD", "", true, false, true},
    {"ShowHideAction", "Application", "", "Ctrl+H", true, false, true},
    {"ToggleMiniModeAction", "Application", "", "Ctrl+Return, Ctrl+Enter", true, false, true},
    {"ToggleMicroModeAction", "Application", "Slim mode", "Ctrl+M", true, false, true},
    {"TogglePanelsAction", "Application", "Show panels", "", true, true, true},
    {"ToggleSidePanelsAction", "Application", "", "", true, true, true},
    {"ToggleSmallTopPanelAction", "Application", "Small top panel", "", true, false, true},
    {"ShowMenuAction", "Application", "", "Alt+M", true, false, true},
    {"ShowSettingsAction", "Application", "Settings", "", true, false, true},
    {"CheckForUpdatesAction", "Application", "Check for updates", "", true, false, true},
    {"ShowAboutAction", "Application", "About", "", true, false, true},
    {"ShowHelpAction", "Application", "Help", "", true, false, true},
    {"ShowHomepageAction", "Application", "Homepage", "", true, false, true},
    {"ClearSearchBoxAction", "Application", "", "", false, false, true},
    {"ResetSkinAction", "Application", "Reset skin", "", true, false, true},
    {"ExitAction", "Application", "Exit", "", true, false, true},
    {"Tab1Action", "Tabs", "", "F1, Shift+F1", true, false, true},
    {"Tab2Action", "Tabs", "", "", true, false, true},
    {"Tab3Action", "Tabs", "", "F7, Shift+F7", true, false, true},
    {"Tab4Action", "Tabs", "", "F2, Shift+F2", true, false, true},
    {"Tab5Action", "Tabs", "", "F3, Shift+F3", true, false, true},
    {"Tab6Action", "Tabs", "", "F4, Shift+F4", true, false, true},
    {"Tab7Action", "Tabs", "", "F5, Shift+F5", true, false, true},
    {"Tab8Action", "Tabs", "", "F6, Shift+F6", true, false, true},
};

TEST_F(MainWindowTest, ActionTable) {
  TMainForm& form = Start({});
  QStringList names;
  for (const TActionRow& row : ActionTable) {
    names << row.Name;
    QAction* a = form.Actions().Find(row.Name);
    ASSERT_NE(a, nullptr) << row.Name;
    EXPECT_EQ(a->property("category").toString(), row.Category) << row.Name;
    EXPECT_EQ(a->text(), row.Caption) << row.Name;
    QStringList keys;
    for (const QKeySequence& key : a->shortcuts()) keys << key.toString(QKeySequence::PortableText);
    EXPECT_EQ(keys.join(", "), row.Keys) << row.Name;
    EXPECT_EQ(a->isEnabled(), row.Enabled) << row.Name;
    EXPECT_EQ(a->isChecked(), row.Checked) << row.Name;
    EXPECT_EQ(a->isVisible(), row.Visible) << row.Name;
  }
  QStringList all;
  for (QAction* a : form.findChildren<QAction*>(QString(), Qt::FindDirectChildrenOnly))
    all << a->objectName();
  EXPECT_EQ(all, names);

  EXPECT_EQ(form.MenuButton().toolTip(), "Show menu");

  // Selection, playback and the view switches move the states.
  Player->Playlist().AddPlaylistEntry(Files[0]);
  Player->Playlist().SelectOnly(0);
  EXPECT_TRUE(form.Actions().Find("RemoveTracksAction")->isEnabled());
  Player->PlayPause();
  EXPECT_EQ(form.Actions().Find("PlayPauseAction")->text(), "Pause");
  EXPECT_TRUE(form.Actions().Find("StopAction")->isEnabled());
  Player->ToggleView(TWindowSwitch::MicroMode);
  EXPECT_TRUE(form.Actions().Find("ToggleMicroModeAction")->isChecked());
  EXPECT_FALSE(form.Actions().Find("TogglePanelsAction")->isVisible());
}

// What a menu shows: captions, "-" for a separator, "name >" for a submenu;
// separators collapse as Qt draws them.
QStringList Shown(const QMenu* menu) {
  QStringList out;
  for (const QAction* a : menu->actions()) {
    if (!a->isVisible()) continue;
    if (!a->isSeparator())
      out << (a->menu() ? a->text() + " >" : a->text());
    else if (!out.isEmpty() && out.last() != "-")
      out << "-";
  }
  if (!out.isEmpty() && out.last() == "-") out.removeLast();
  return out;
}

TEST_F(MainWindowTest, ContextMenusShowWhatEachViewHides) {
  TMainForm& form = Start({});
  const TMainMenus& m = form.Menus();
  const QStringList entryItems{"Search in library", "Open file location", "Properties"};
  const QStringList normalPlaylist =
      QStringList{"Play", "-", "Add", "Add URL", "Add folder", "-", "Remove", "-"} + entryItems;
  const QStringList noPanelsPlaylist =
      QStringList{"Play", "-",           "Open",    "Add",    "Add URL", "Add folder", "Save playlist",
                  "-",    "Play mode >", "Shuffle", "Sort >", "-",       "Remove",     "Clear",
                  "-"} +
      entryItems;
  const QStringList normalOptions{"Settings", "-",    "Show panels",       "Slim mode",     "Small top panel",
                                  "-",        "Help", "Check for updates", "Beta feedback", "About"};
  const QStringList slimStrip{"Play", "Stop", "Previous track", "Next track", "-", "Track properties"};
  const QStringList miniStrip{"Open", "Add", "Add URL", "-", "Play mode >", "-", "Track properties"};

  EXPECT_EQ(Shown(m.PlaylistPopupMenu()), normalPlaylist);
  EXPECT_EQ(Shown(m.TopPanelPopupMenu()), QStringList{"Track properties"});
  EXPECT_EQ(Shown(m.OptionsPopupMenu()), normalOptions);
  EXPECT_EQ(Shown(m.SortPopupMenu()),
            (QStringList{"Title", "Album", "Artist", "#", "File name", "File date"}));
  EXPECT_EQ(Shown(m.TrayPopupMenu()),
            (QStringList{"Open", "Add tracks", "Add URL", "-", "Settings", "-", "Play mode >", "-", "Exit"}));
  EXPECT_EQ(Shown(m.VideoPopupMenu()), (QStringList{"Full screen", "-", "Video size >"}));  // windowed
  EXPECT_EQ(Shown(m.LibraryPlaylistsPopupMenu()),
            (QStringList{"Play this playlist", "-", "Delete playlist", "-", "View folder",
                         "Open file location", "-", "Properties"}));

  Player->ToggleView(TWindowSwitch::SidePanels);
  EXPECT_EQ(Shown(m.PlaylistPopupMenu()),
            (QStringList{"Play", "-", "Add", "Add URL", "Add folder", "Save playlist", "-", "Shuffle",
                         "Sort >", "-", "Remove", "Clear", "-"} +
             entryItems));
  Player->ToggleView(TWindowSwitch::SidePanels);
  Player->ToggleView(TWindowSwitch::Panels);  // the side panels follow
  EXPECT_EQ(Shown(m.PlaylistPopupMenu()), noPanelsPlaylist);
  EXPECT_FALSE(m.OptionsPopupMenu()->actions()[2]->isChecked());
  Player->ToggleView(TWindowSwitch::Panels);
  EXPECT_EQ(Shown(m.PlaylistPopupMenu()), normalPlaylist);

  Player->ToggleView(TWindowSwitch::MicroMode);  // hides the panels too
  EXPECT_EQ(Shown(m.TopPanelPopupMenu()), slimStrip);
  EXPECT_EQ(Shown(m.PlaylistPopupMenu()), noPanelsPlaylist);
  EXPECT_EQ(Shown(m.OptionsPopupMenu()), normalOptions.mid(0, 2) + normalOptions.mid(3));
  form.resize(form.width(), 0);
  EXPECT_EQ(Shown(m.TopPanelPopupMenu()), miniStrip.mid(0, 4) + slimStrip.mid(0, 5) + miniStrip.mid(4));
  Player->ToggleView(TWindowSwitch::MicroMode);  // and brings them back
  EXPECT_EQ(Shown(m.TopPanelPopupMenu()), miniStrip);
  EXPECT_EQ(Shown(m.PlaylistPopupMenu()), normalPlaylist);

  // The radio items follow the play mode and set it.
  Player->Playlist().SetPlayMode(pmRepeat);
  const QMenu* playModes = m.TrayPopupMenu()->actions()[6]->menu();
  EXPECT_TRUE(playModes->actions()[pmRepeat]->isChecked());
  playModes->actions()[pmRepeatAll]->trigger();
  EXPECT_EQ(Player->Playlist().PlayMode(), pmRepeatAll);
}

TEST_F(MainWindowTest, WithoutLibraryAndVideoTheTabsGoAndTheMenuButtonMovesUnderTheHideButton) {
  Folder.Write("prog/Tunevale.ini", "[Tunevale]\nUseLibrary=0\nFirstRun=0\n");
  TMainForm& form = Start({});
  QTabWidget& pages = form.PageControl();
  for (int page : {mpPlaylist, mpLibrary, mpVideo, mpHidden}) EXPECT_FALSE(pages.isTabVisible(page)) << page;
  EXPECT_TRUE(Child<QWidget>("TabSheet1")->isVisible());
  const QRect hide = Child<QWidget>("HideInTrayButton")->geometry();
  EXPECT_EQ(form.MenuButton().parentWidget(), &form.TrackInfoPanel());
  EXPECT_EQ(form.MenuButton().geometry(), QRect(hide.x(), hide.height(), hide.width(), hide.height()));
  form.SelectPage(mpLibrary);  // F2 and friends do not open a library that is off
  EXPECT_EQ(pages.currentIndex(), mpPlaylist);
  EXPECT_FALSE(form.Actions().Find("SearchInLibraryAction")->isVisible());

  Player->Controller().FilterGraphGraphVideoSizeChanged(640, 480);
  form.ShowMediaPage(true);
  EXPECT_TRUE(pages.isTabVisible(mpPlaylist));
  EXPECT_TRUE(pages.isTabVisible(mpVideo));
  EXPECT_EQ(form.MenuButton().parentWidget(), &pages);
  EXPECT_EQ(form.MenuButton().geometry().right(), form.width() - 1);
}

TEST_F(MainWindowTest, MiniViewKeepsAWindowDockedToTheBottomRightCorner) {
  TMainForm& form = Start({});
  const QRect work = form.screen()->availableGeometry();
  form.move(work.right() + 1 - form.frameGeometry().width(),
            work.bottom() + 1 - form.frameGeometry().height());
  for (int pass = 0; pass < 2; ++pass) {
    form.ViewModes().ToggleMiniModeActionExecute();
    EXPECT_EQ(form.frameGeometry().bottomRight(), work.bottomRight()) << pass;
  }
}

TEST_F(MainWindowTest, SlimViewAndSmallStripKeepThePageInFront) {
  TMainForm& form = Start({});
  form.SelectPage(mpLibrary);
  Player->ToggleView(TWindowSwitch::MicroMode);
  EXPECT_EQ(form.ControlsPanel().height(), 12);
  EXPECT_FALSE(form.PageControl().isTabVisible(mpLibrary));
  EXPECT_EQ(form.PageControl().currentIndex(), mpLibrary);
  EXPECT_TRUE(Child<QWidget>("TabSheet2")->isVisible());
  EXPECT_FALSE(Child<QWidget>("LibraryTopPanel")->isVisible());
  Player->ToggleView(TWindowSwitch::MicroMode);
  EXPECT_EQ(form.ControlsPanel().height(), 36);
  EXPECT_TRUE(Child<QWidget>("LibraryTopPanel")->isVisible());

  Player->ToggleView(TWindowSwitch::SmallTopPanel);
  EXPECT_EQ(form.TrackInfoPanel().height(), 41);
  EXPECT_FALSE(Child<QWidget>("SubtitleLabel")->isVisible());
  EXPECT_FALSE(Child<QWidget>("VersionLabel")->isVisible());
}

TEST_F(MainWindowTest, EscapeWithoutADragHidesTheWindow) {
  TMainForm& form = Start({});
  QTest::keyClick(Child<QListView>("PlaylistListView"), Qt::Key_Escape);
  EXPECT_TRUE(form.isMinimized());
}

TEST_F(MainWindowTest, MediaNextShortPressAdvancesLongPressSeeksAndKeepsTheEntry) {
  Start(Files);
  auto* list = Child<QListView>("PlaylistListView");
  list->setFocus();
  HoldKey(list, Qt::Key_MediaNext, 500);
  EXPECT_EQ(Player->Playlist().PlayingIndex(), 1);

  HoldKey(list, Qt::Key_MediaNext, 2000);
  EXPECT_EQ(Player->Playlist().PlayingIndex(), 1);
  EXPECT_GE(Player->Controller().PositionMs(), 30000);
  EXPECT_FALSE(Player->Controller().SeekTimerRunning());

  HoldKey(list, Qt::Key_MediaStop);
  EXPECT_FALSE(Graph.Loaded());
  HoldKey(list, Qt::Key_MediaTogglePlayPause);
  EXPECT_EQ(Graph.CurrentState, gsRunning);
}

TEST_F(MainWindowTest, CtrlASelectsAllAndExtraMouseButtonsWalkTheHistory) {
  TMainForm& form = Start(Files);
  auto* list = Child<QListView>("PlaylistListView");
  list->setFocus();
  QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
  EXPECT_EQ(Player->Playlist().SelectedIndices(), (std::vector<int>{0, 1, 2}));

  int back = 0, forward = 0;
  for (const auto& [name, count] :
       {std::pair{"HistoryBackAction", &back}, {"HistoryForwardAction", &forward}}) {
    QAction* action = form.Actions().Find(name);
    action->setEnabled(true);
    QObject::connect(action, &QAction::triggered, [count = count] { ++*count; });
  }
  for (Qt::MouseButton button : {Qt::BackButton, Qt::BackButton, Qt::ForwardButton})
    QTest::mouseClick(list->viewport(), button);
  EXPECT_EQ(back, 2);
  EXPECT_EQ(forward, 1);
  HoldKey(list, Qt::Key_Forward);
  EXPECT_EQ(forward, 2);
}

TEST_F(MainWindowTest, HiddenPageOnF11AndAddUrlDialogAddsTheTextAsTyped) {
  TMainForm& form = Start({});
  QTest::keyClick(&form, Qt::Key_F11);
  EXPECT_EQ(form.PageControl().currentIndex(), mpHidden);
  EXPECT_TRUE(Child<QWidget>("PlayDVDActionButton")->isVisible());
  EXPECT_TRUE(Child<QWidget>("StartCaptureActionButton")->isVisible());

  QTimer::singleShot(0, [] {
    auto* dialog = dynamic_cast<TAddURLForm*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    // Anchored to the bottom right corner of the band.
    EXPECT_EQ(dialog->OKButton().geometry(), QRect(dialog->width() - 152, dialog->height() - 32, 68, 23));
    EXPECT_TRUE(dialog->OKButton().isDefault());
    dialog->findChild<QLineEdit*>("URLEdit")->setText(" http://radio.example/live ");
    dialog->OKButton().click();
  });
  form.Actions().Run("AddURLAction");
  ASSERT_EQ(Player->Playlist().Count(), 1);
  EXPECT_EQ(Player->Playlist().Row(0).Data->FileName, " http://radio.example/live ");
}

TEST_F(MainWindowTest, ModalDialogTakesTheActivationAndTheHeartbeatFreesHiddenWindows) {
  TMainForm& form = Start({});
  auto* about = new TTesselDialogForm(&form);
  about->resize(300, 220);
  QPointer<TTesselDialogForm> kept(about);
  form.AdoptSecondaryWindow(*about);
  about->setWindowModality(Qt::ApplicationModal);
  about->show();
  form.activateWindow();
  QApplication::processEvents();
  EXPECT_EQ(QApplication::activeWindow(), about);

  Player->Scheduler().RefreshTimerTimer();
  EXPECT_FALSE(kept.isNull());
  about->hide();
  Player->HeartbeatSoon();
  EXPECT_EQ(Player->Scheduler().RefreshTimer().Interval(), 10);
  Runtime.Advance(10);
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(kept.isNull());
  EXPECT_EQ(Player->SecondaryWindows().Count(), 0);
  EXPECT_EQ(Player->Scheduler().RefreshTimer().Interval(), 4000);
}

}  // namespace
}  // namespace tunevale::test
