#include "ui/main_form.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QCursor>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPointer>
#include <QSystemTrayIcon>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>
#include <optional>

#include "app/capture_command.h"
#include "app/tray_icon_rules.h"
#include "library/library_statistics.h"
#include "ui/about_form.h"
#include "ui/controls_panel.h"
#include "ui/glyphs.h"
#include "ui/hidden_sheet.h"
#include "ui/library_sheet.h"
#include "ui/library_statistics_form.h"
#include "ui/main_actions.h"
#include "ui/main_menus.h"
#include "ui/message_box.h"
#include "ui/playlist_sheet.h"
#include "ui/properties_windows.h"
#include "ui/settings_form.h"
#include "ui/start_capture_form.h"
#include "ui/tessel_form.h"
#include "ui/tool_button.h"
#include "ui/track_info_panel.h"
#include "ui/tray_form.h"
#include "ui/tray_icon.h"
#include "ui/update_form.h"
#include "ui/video_display.h"
#include "ui/video_form.h"
#include "ui/video_sheet.h"
#include "ui/view_modes.h"
#include "ui/window_drag.h"

namespace tunevale {

namespace {

std::optional<TWindowKey> WindowKeyOf(int key) {
  switch (key) {
    case Qt::Key_F11:
      return TWindowKey::F11;
    case Qt::Key_F:
      return TWindowKey::F;
    case Qt::Key_B:
      return TWindowKey::B;
    case Qt::Key_MediaNext:
      return TWindowKey::MediaNext;
    case Qt::Key_MediaPrevious:
      return TWindowKey::MediaPrevious;
    case Qt::Key_MediaStop:
      return TWindowKey::MediaStop;
    case Qt::Key_MediaPlay:
    case Qt::Key_MediaPause:
    case Qt::Key_MediaTogglePlayPause:
      return TWindowKey::MediaPlayPause;
    case Qt::Key_Back:
      return TWindowKey::BrowserBack;
    case Qt::Key_Forward:
      return TWindowKey::BrowserForward;
    case Qt::Key_Escape:
      return TWindowKey::Escape;
    default:
      return std::nullopt;
  }
}

bool IsTextBox(const QWidget* w) {
  if (const auto* combo = qobject_cast<const QComboBox*>(w)) return combo->isEditable();
  return qobject_cast<const QLineEdit*>(w) || qobject_cast<const QTextEdit*>(w) ||
         qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QAbstractSpinBox*>(w);
}

}  // namespace

TMainForm::TMainForm(TPlayer& player, std::function<void(uintptr_t)> setVideoWindow)
    : Player(player),
      SetVideoWindow(std::move(setVideoWindow)),
      ViewModesObject(std::make_unique<TViewModes>(player, *this)),
      PropertiesWindowsObject(std::make_unique<TPropertiesWindows>(player, *this)) {
  SetUpTesselForm(*this);
  setWindowTitle(ApplicationTitle);
  setAcceptDrops(true);

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  CentralLayout = layout;
  TrackInfoPanelObject = new TTrackInfoPanel(Player, this);
  CreatePages();
  ControlsPanelObject = new TControlsPanel(Player, this);
  layout->addWidget(TrackInfoPanelObject);
  layout->addWidget(PageControlObject, 1);
  layout->addWidget(ControlsPanelObject);
  setCentralWidget(central);
  CreateMenuButton();
  ActionsObject = std::make_unique<TMainActions>(Player, *this);
  MenusObject = std::make_unique<TMainMenus>(Player, *ActionsObject, *this);
  ConnectParts();
  CreateVideoAndTray();

  Player.Controller().SetView(this);
  Player.SetView(this);
  ViewModesObject->WindowSwitched(TWindowSwitch::Panels);
  ViewModesObject->UpdateGlass();
  resize(ViewModesObject->NormalSize());
  NowPlayingChanged();
  qApp->installEventFilter(this);
}

void TMainForm::CreateVideoAndTray() {
  TPlaybackController& c = Player.Controller();
  TVideoDisplay::THost video;
  video.VideoSize = [&c] { return TVideoSize{c.VideoWidth(), c.VideoHeight()}; };
  // A hand-edited file may hold any numbers: only sane zooms reach the layout.
  video.Zoom = [this] { return ClampZoom(Player.Settings().HZoom, Player.Settings().VZoom); };
  video.SetZoom = [this](TZoom zoom) {
    Player.Settings().HZoom = zoom.H;
    Player.Settings().VZoom = zoom.V;
  };
  video.SetWindowHandle = [this](uintptr_t handle) {
    if (SetVideoWindow) SetVideoWindow(handle);
  };
  video.VideoConnected = [this] { return Player.Controller().Engine().VideoConnected(); };
  video.FullScreenChanged = [this](bool fullScreen) { FullScreenChanged(fullScreen); };
  video.ShowTrayControls = [this](int durationMs) { ShowTrayControls(durationMs); };
  video.PlayPause = [this] { Player.Guarded([this] { Player.PlayPause(); }); };
  video.ForwardKey = [this](QKeyEvent* event) { ForwardKey(event); };
  video.FullScreenMoved = [this] { TrayFormObject->LayOut(); };
  VideoDisplayObject = std::make_unique<TVideoDisplay>(VideoSheetObject->Panel(), std::move(video));

  TTrayForm::TPlayerState tray;
  tray.MainWindowVisible = [this] { return isVisible() && !isMinimized(); };
  tray.Terminating = [this] { return Player.Terminating(); };
  tray.RemoteFullScreen = [this] { return Player.ControlMode(); };
  tray.DraggingProgress = [&c] { return c.Dragging(); };
  tray.HoldOverPausedVideo = [this, &c] {
    return VideoDisplayObject->FullScreen() && c.State() != psPlaying && c.OpenKind() != mkPicture;
  };
  tray.FadeTimeMs = [this] { return Player.Settings().TrayControlsFadeInTime; };
  tray.RefreshTrackInfo = [this, &c] {
    c.UpdateNowPlayingDisplay(false);
    NowPlayingChanged();
  };
  tray.SetIconTipEmpty = [this] { TrayIconObject->MainWindowShown(false); };
  tray.FullScreenVideo = [this] {
    if (!VideoDisplayObject->FullScreen()) return QRect();
    const QWidget& form = VideoDisplayObject->VideoForm();
    return form.geometry();
  };
  tray.FadedOut = [this] { VideoDisplayObject->StripFadedOut(); };
  tray.ForwardKey = [this](QKeyEvent* event) { ForwardKey(event); };
  TrayFormObject = std::make_unique<TTrayForm>(c.Loop(), std::move(tray));

  TTrayIconRules rules;
  rules.ShowHide = [this] { ActionsObject->Run("ShowHideAction"); };
  rules.BringToFront = [this] {
    QWidget* front = this;
    if (VideoDisplayObject->FullScreen()) front = &VideoDisplayObject->VideoForm();
    if (!front->isVisible()) return;
    front->raise();
    front->activateWindow();
  };
  rules.ShowTrayControls = [this](int durationMs) { ShowTrayControls(durationMs); };
  rules.OpenMenu = [this] {
    QMenu* menu = MenusObject->TrayPopupMenu();
    if (!menu->isVisible()) PopupMenu(menu, QCursor::pos());
  };
  TrayIconObject = new TTrayIcon(std::move(rules), this);
  TrayIconObject->Icon().setContextMenu(MenusObject->TrayPopupMenu());
  // The full-screen window shows the video menu, the tray window the strip's.
  const std::pair<QWidget*, QMenu*> menus[] = {
      {&VideoDisplayObject->VideoForm(), MenusObject->VideoPopupMenu()},
      {TrayFormObject.get(), MenusObject->TopPanelPopupMenu()}};
  for (const auto& [window, menu] : menus) {
    window->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(window, &QWidget::customContextMenuRequested, this,
            [w = window, m = menu](const QPoint& at) { PopupMenu(m, w->mapToGlobal(at)); });
  }
  TrackInfoPanelObject->SetHideInTrayHint(HideInTrayHint(TrayIconObject->Available()));
}

void TMainForm::EnterTray(bool fullScreen) {
  if (InTray) return;
  InTray = true;
  if (!fullScreen) TrackInfoPanelObject->SetHideInTrayHint("Show main window");
  const bool backdrop = Player.Settings().ShowTrayControlsBackground;
  TrackInfoPanelObject->SetInTray(!fullScreen, backdrop);
  TrayFormObject->SetBackdrop(backdrop && !fullScreen ? TrackInfoPanelObject->Picture() : QImage());
  TrayFormObject->Lend(fullScreen ? nullptr : TrackInfoPanelObject, ControlsPanelObject);
  if (fullScreen) {
    const QRect volume = ControlsPanelObject->VolumeTrackBarGeometry();
    TrackInfoPanelObject->LendLabels(ControlsPanelObject, {volume.right() + 1 + 8, volume.top()});
  }
  // Window managers keep full-screen windows above "stay on top" ones, but a
  // window's transients above it: the strip must show over the picture.
  TrayFormObject->winId();
  VideoDisplayObject->VideoForm().winId();
  TrayFormObject->windowHandle()->setTransientParent(
      fullScreen ? VideoDisplayObject->VideoForm().windowHandle() : nullptr);
  TrayIconObject->MainWindowShown(false);
  ViewModesObject->UpdateGlass();
}

void TMainForm::LeaveTray() {
  if (!InTray) return;
  InTray = false;
  TrayFormObject->Fader().WindowHidden();
  TrayFormObject->hide();
  TrayFormObject->Lend(nullptr, nullptr);
  TrackInfoPanelObject->LendLabels(nullptr, {});
  TrackInfoPanelObject->SetInTray(false, false);
  CentralLayout->insertWidget(0, TrackInfoPanelObject);
  CentralLayout->addWidget(ControlsPanelObject);
  TrackInfoPanelObject->show();
  ControlsPanelObject->show();
  TrackInfoPanelObject->SetHideInTrayHint(HideInTrayHint(TrayIconObject->Available()));
  ViewModesObject->WindowSwitched(TWindowSwitch::MicroMode);
  TrackInfoPanelObject->PlaceControls();
  TrayIconObject->MainWindowShown(true);
}

void TMainForm::FullScreenChanged(bool fullScreen) {
  if (fullScreen) {
    if (InTray) LeaveTray();
    hide();
    EnterTray(true);
  } else {
    LeaveTray();
    // Back on top without taking the focus from where the user left it.
    setAttribute(Qt::WA_ShowWithoutActivating);
    show();
    raise();
    setAttribute(Qt::WA_ShowWithoutActivating, false);
  }
  Player.Controller().UpdateNowPlayingDisplay(false);
  MenusObject->VideoStateChanged(fullScreen, VideoDisplayObject->ZoomMode());
  ViewModesObject->UpdateGlass();
}

void TMainForm::StartCaptureActionExecute() {
  TCaptureCommandView view;
  view.ChooseDevice = [this](const std::vector<TCaptureDevice>& devices) {
    return TStartCaptureForm::Run(this, devices);
  };
  view.ShowMessage = [this](const std::string& text, TMessageKind kind) { ShowMessage(text, kind); };
  TPlaybackController& c = Player.Controller();
  tunevale::StartCaptureActionExecute(c.Engine(), c, view);
}

void TMainForm::ForwardKey(QKeyEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    const QKeySequence pressed(event->keyCombination());
    for (QAction* action : actions())
      if (action->isVisible() && action->isEnabled() && action->shortcuts().contains(pressed)) {
        action->trigger();
        return;
      }
  }
  PassWindowKey(event, false);
}

void TMainForm::ShowTrayControls(int durationMs) { TrayFormObject->Fader().ShowTrayControls(durationMs); }

bool TMainForm::TrayControlsVisible() const { return TrayFormObject && TrayFormObject->isVisible(); }

void TMainForm::VideoSizeChanged() { VideoDisplayObject->LayoutVideo(); }

bool TMainForm::IsVideoFullScreen() const { return VideoDisplayObject->FullScreen(); }

void TMainForm::ToggleFullScreen() { VideoDisplayObject->ToggleFullScreenActionExecute(); }

void TMainForm::SetFullScreenRect(int left, int top, int width, int height) {
  VideoDisplayObject->SetFullScreenRect(left, top, width, height);
}

void TMainForm::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  TrayIconObject->SetVisible(TrayIconObject->Available());
}

TMainForm::~TMainForm() {
  qApp->removeEventFilter(this);
  // A box without a parent outlives the window; its close must not reach the player.
  if (MessageBox) {
    MessageBox->disconnect(this);
    delete MessageBox;
  }
  // Gone while the window is whole: its destruction reaches the window's list.
  delete SettingsFormObject.data();
  Player.SetView(nullptr);
  Player.Controller().SetView(nullptr);
}

void TMainForm::CreatePages() {
  PageControlObject = new QTabWidget(this);
  PageControlObject->setObjectName("PageControl");
  PageControlObject->setDocumentMode(true);
  // The sizing rule, not the pages' contents, decides how small the window gets.
  PageControlObject->setMinimumSize(1, 1);
  PlaylistSheetObject = new TPlaylistSheet(Player, PageControlObject);
  PageControlObject->addTab(PlaylistSheetObject, "Playlist");
  LibrarySheetObject = new TLibrarySheet(Player, PageControlObject);
  PageControlObject->addTab(LibrarySheetObject, "Library");
  VideoSheetObject = new TVideoSheet(PageControlObject);
  PageControlObject->addTab(VideoSheetObject, "Video");
  HiddenSheetObject = new THiddenSheet(Player, PageControlObject);
  PageControlObject->addTab(HiddenSheetObject, QString());
  PageControlObject->setTabVisible(mpHidden, false);
  connect(PageControlObject, &QTabWidget::currentChanged, this, [this] { Player.PageControlChange(); });
}

void TMainForm::CreateMenuButton() {
  MenuButtonObject =
      ToolButton(PageControlObject, "MenuButton", "Show menu", GlyphIcon(TGlyph::Menu, Qt::darkGray));
  connect(MenuButtonObject, &QToolButton::clicked, this, [this] { ActionsObject->Run("ShowMenuAction"); });
}

void TMainForm::ConnectParts() {
  TrackInfoPanelObject->OnHideInTray([this] { ActionsObject->Run("ShowHideAction"); });
  TrackInfoPanelObject->OnDoubleClick([this] { ViewModesObject->ToggleMiniModeActionExecute(); });
  TrackInfoPanelObject->SetContextMenu(MenusObject->TopPanelPopupMenu());
  PlaylistSheetObject->SetSortMenu(MenusObject->SortPopupMenu());
  PlaylistSheetObject->SetContextMenu(MenusObject->PlaylistPopupMenu());
  PlaylistSheetObject->OnSidePanelsToggle([this] { ActionsObject->Run("ToggleSidePanelsAction"); });
  TMainMenus& m = *MenusObject;
  LibrarySheetObject->SetListMenus({m.LibraryArtistsPopupMenu(), m.LibraryAlbumsPopupMenu(),
                                    m.LibraryTracksPopupMenu(), m.LibraryTracksPopupMenu(),
                                    m.LibraryPlaylistsPopupMenu()});
  VideoSheetObject->SetContextMenu(MenusObject->VideoPopupMenu());
  VideoSheetObject->SetButtonActions(ActionsObject->Find("ToggleFullScreenAction"),
                                     ActionsObject->Find("NextFrameAction"));
  HiddenSheetObject->AddActionButtons(*ActionsObject, [this] { LoadSkinButtonClick(); });
  WindowDrag =
      new TWindowDrag(*this, [this] { return windowState() == Qt::WindowNoState && !TrayControlsVisible(); });
  WindowDrag->AddArea(*TrackInfoPanelObject);
  WindowDrag->AddArea(*ControlsPanelObject);
  connect(qApp, &QGuiApplication::applicationStateChanged, this, [this] { ViewModesObject->UpdateGlass(); });
}

void TMainForm::SelectPage(int page) {
  if (ViewModesObject->PageHidden(page)) return;
  PageControlObject->setCurrentIndex(page);
  if (page == mpLibrary) LibrarySheetObject->FocusCurrentList();
}

void TMainForm::ShowHiddenPage() { PageControlObject->setCurrentIndex(mpHidden); }

void TMainForm::ShowHideActionExecute() {
  // Full screen hides the main window: the way back is leaving full screen.
  if (VideoDisplayObject->FullScreen()) {
    VideoDisplayObject->ToggleFullScreenActionExecute();
    return;
  }
  if (InTray || isMinimized() || !isVisible()) {
    LeaveTray();
    showNormal();
    raise();
    activateWindow();
    return;
  }
  // Without a tray nothing could bring a hidden window back.
  if (!TrayIconObject->Available()) {
    showMinimized();
    return;
  }
  EnterTray(false);
  hide();
  ShowTrayControls(kTrayShowHideMs);
}

void TMainForm::ShowIfHidden() {
  if (isMinimized() || !isVisible()) ShowHideActionExecute();
}

void TMainForm::ShowHandling() {
  // A minimized window stays minimized: restoring it after every remote
  // command would undo the user's minimize whenever a remote client asks
  // for anything.
  ViewModesObject->UpdateGlass();
  ViewModesObject->FormResized();
}

void TMainForm::SetMainWindowHidden(bool hidden) { setVisible(!hidden); }

void TMainForm::AdoptSecondaryWindow(QWidget& window) {
  QPointer<QWidget> w(&window);
  Player.SecondaryWindows().Add(
      &window, [w] { return w && w->isVisible(); },
      [w] {
        if (w) w->deleteLater();
      });
  connect(&window, &QObject::destroyed, this,
          [this, key = static_cast<const void*>(&window)] { Player.SecondaryWindows().Remove(key); });
}

void TMainForm::ShowSettings(int page) {
  if (!SettingsForm()) {
    SettingsFormObject = new TSettingsForm(Player, this);
    SettingsFormObject->ShowStatistics = [this] { ShowLibraryStatistics(); };
    AdoptSecondaryWindow(*SettingsFormObject);
  }
  SettingsFormObject->ShowPage(page);
}

TSettingsForm* TMainForm::SettingsForm() const {
  // Released by the heartbeat but not deleted yet counts as gone.
  return SettingsFormObject && Player.SecondaryWindows().Contains(SettingsFormObject.data())
             ? SettingsFormObject.data()
             : nullptr;
}

void TMainForm::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (MenusObject) ViewModesObject->FormResized();
}

bool TMainForm::event(QEvent* event) {
  // A window blocked by a modal dialog hands its activation to the dialog.
  if (event->type() == QEvent::WindowActivate && HandActivationToModal(*this)) return true;
  return QMainWindow::event(event);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      // The extra mouse buttons walk the library history anywhere in the program.
      const Qt::MouseButton button = static_cast<QMouseEvent*>(event)->button();
      if (button != Qt::BackButton && button != Qt::ForwardButton) break;
      RunAction(button == Qt::BackButton ? "HistoryBackAction" : "HistoryForwardAction");
      return true;
    }
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
      if (WindowKeyEvent(watched, static_cast<QKeyEvent*>(event))) return true;
      break;
    default:
      break;
  }
  return QMainWindow::eventFilter(watched, event);
}

bool TMainForm::WindowKeyEvent(QObject* watched, QKeyEvent* key) {
  // Seen first, before the widget it is for. A key the widget does not take
  // travels on to its parents and comes by again; the answer is the same then.
  if (!watched->isWidgetType() || static_cast<QWidget*>(watched)->window() != this) return false;
  return PassWindowKey(key,
                       IsTextBox(QApplication::focusWidget()) || IsTextBox(static_cast<QWidget*>(watched)));
}

bool TMainForm::PassWindowKey(QKeyEvent* key, bool inTextBox) {
  const std::optional<TWindowKey> windowKey = WindowKeyOf(key->key());
  if (!windowKey) return false;
  if (key->type() == QEvent::KeyRelease) return !key->isAutoRepeat() && Player.FormKeyUp(*windowKey);
  return Player.FormKeyDown(*windowKey, inTextBox, key->isAutoRepeat());
}

bool TMainForm::TitleFits(const std::string& title) const { return TrackInfoPanelObject->TitleFits(title); }

void TMainForm::NowPlayingChanged() {
  TrackInfoPanelObject->ShowNowPlaying();
  ControlsPanelObject->ShowNowPlaying();
  if (ActionsObject) ActionsObject->UpdateStates();
}

void TMainForm::ShowMediaPage(bool hasVideo) {
  // Asked first: the Library page in front stays there.
  const bool libraryShown = PageControlObject->currentIndex() == mpLibrary;
  ViewModesObject->SetPageHidden(mpVideo, !hasVideo);
  if (!libraryShown) PageControlObject->setCurrentIndex(hasVideo ? mpVideo : mpPlaylist);
  VideoDisplayObject->LayoutVideo();
}

void TMainForm::AttachVideoWindow(bool attach) {
  if (SetVideoWindow) SetVideoWindow(attach ? VideoDisplayObject->WindowHandle() : 0);
  if (attach) VideoDisplayObject->LayoutVideo();
}

namespace {

QString RepeatText(int count) {
  return count > 1 ? QString("This happened %1 times.").arg(count) : QString();
}

}  // namespace

void TMainForm::ShowMessage(const std::string& text, TMessageKind kind) {
  ShowMessageBox(isVisible() ? this : nullptr, text, kind);
}

void TMainForm::SetUpdater(TUpdater& updater, TProcessLauncher& launcher) {
  Updater = &updater;
  Launcher = &launcher;
}

void TMainForm::CheckForUpdatesActionExecute() {
  if (Updater) Updater->CheckForUpdatesActionExecute(true);
}

void TMainForm::UpdateCheckDue() {
  if (Updater) Updater->CheckForUpdatesActionExecute(false);
}

void TMainForm::ShowUpdateMessage(const std::string& text) { ShowMessage(text, mtInformation); }

bool TMainForm::ShowUpdateDialog(const TVersionText& version, bool installed,
                                 const std::string& changelogUrl) {
  QApplication::beep();
  TUpdateForm form(
      version, installed, changelogUrl,
      [this](const std::string& url) {
        if (Launcher) OpenDocument(*Launcher, url);
      },
      this);
  return form.exec() == QDialog::Accepted;
}

bool TMainForm::OpenMessageBox(const TMessage& message) {
  auto* box =
      new QMessageBox(MessageBoxIcon(message.Kind), ApplicationTitle, QString::fromStdString(message.Text),
                      QMessageBox::Ok, isVisible() ? this : nullptr);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowModality(Qt::NonModal);
  box->setInformativeText(RepeatText(message.Count));
  connect(box, &QDialog::finished, this, [this] { Player.MessageBoxClosed(); });
  MessageBox = box;
  box->show();
  return true;
}

void TMainForm::MessageBoxRepeated(int count) {
  if (MessageBox) MessageBox->setInformativeText(RepeatText(count));
}

bool TMainForm::Confirm(const std::string& question) {
  QMessageBox box(QMessageBox::Question, ApplicationTitle, QString::fromStdString(question),
                  QMessageBox::Yes | QMessageBox::No, isVisible() ? this : nullptr);
  return box.exec() == QMessageBox::Yes;
}

void TMainForm::ShowPage(int page) { SelectPage(page); }

void TMainForm::LibraryBusyChanged(bool busy, const std::string& text) {
  LibrarySheetObject->BusyChanged(busy, text);
}

void TMainForm::LibraryListRefilled(int page) { LibrarySheetObject->ListRefilled(page); }

bool TMainForm::LibraryPageShown() const { return PageControlObject->currentIndex() == mpLibrary; }

int TMainForm::CurrentLibraryPage() const { return LibrarySheetObject->CurrentList(); }

std::string TMainForm::SearchText() const { return LibrarySheetObject->SearchText(); }

void TMainForm::StoreWindowState(TSettings& settings) {
  ViewModesObject->StoreWindowState(settings);
  LibrarySheetObject->StoreSettings(settings);
}

void TMainForm::WindowSwitched(TWindowSwitch which, const TSettings&) {
  ViewModesObject->WindowSwitched(which);
}

void TMainForm::WindowSettingsRead(const TSettings& settings) {
  ViewModesObject->WindowSettingsRead(settings);
  LibrarySheetObject->ApplySettings(settings);
}

void TMainForm::TweaksRead(const TSettings& settings) {
  TrackInfoPanelObject->ApplySkin(settings);
  ViewModesObject->UpdateGlass();
  TrackInfoPanelObject->PlaceControls();
}

void TMainForm::SettingsApplied(const TSettings& settings) {
  ViewModesObject->SetPageHidden(mpLibrary, !settings.UseLibrary);
  ViewModesObject->UpdateTabs();
  ActionsObject->Find("SearchInLibraryAction")->setVisible(settings.UseLibrary);
}

void TMainForm::RunAction(const std::string& name) { ActionsObject->Run(name); }

void TMainForm::ShowLibraryStatistics() {
  TLibraryStatisticsForm form(TLibraryStatistics::Of(Player.Library()), this);
  form.PlaceBesideOwner();
  form.exec();
}

void TMainForm::ShowAboutActionExecute() {
  TAboutForm form(
      QString::fromStdString(HelpPageUrl(Player.Paths().ProgramDir, "contact.html#donate")),
      [this](const QString&) { Player.OpenWebPage("contact.html#donate"); }, this);
  form.PlaceBesideOwner();
  form.exec();
}

void TMainForm::LoadSkinButtonClick() {
  const QString path = QFileDialog::getOpenFileName(this, "Load skin", {}, "Skin files (*.tvlskin)");
  if (!path.isEmpty()) Player.Guarded([&] { Player.LoadSkin(path.toStdString()); });
}

void TMainForm::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TMainForm::dropEvent(QDropEvent* event) {
  std::vector<std::string> paths;
  for (const QUrl& url : event->mimeData()->urls())
    paths.push_back(url.isLocalFile() ? url.toLocalFile().toStdString() : url.toString().toStdString());
  if (paths.empty()) return;
  event->acceptProposedAction();
  // The drop source waits for the drop to end: add once it has.
  QTimer::singleShot(0, this,
                     [this, paths] { Player.Guarded([&] { Player.MediaAdder().DropFiles(paths); }); });
}

bool TMainForm::CloseWindow() {
  close();
  return true;
}

void TMainForm::EndProcessNow() { std::_Exit(0); }

void TMainForm::RestartProcess() {
  Player.StartForced();
  std::_Exit(0);
}

void TMainForm::closeEvent(QCloseEvent* event) {
  if (!Closing) {
    Closing = true;
    Player.FormCloseQuery();
  }
  event->accept();
  // Another window (the introduction) may still show: the loop ends anyway.
  QCoreApplication::quit();
}

}  // namespace tunevale
