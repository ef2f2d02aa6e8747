#include "ui/main_form.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "ui/controls_panel.h"
#include "ui/library_sheet.h"
#include "ui/main_actions.h"
#include "ui/playlist_sheet.h"
#include "ui/track_info_panel.h"
#include "ui/video_sheet.h"
#include "ui/view_modes.h"

namespace tunevale {

TMainForm::TMainForm(TPlayer& player, std::function<void(uintptr_t)> setVideoWindow)
    : Player(player),
      SetVideoWindow(std::move(setVideoWindow)),
      ViewModesObject(std::make_unique<TViewModes>(player, *this)) {
  setWindowTitle(ApplicationTitle);
  setAcceptDrops(true);

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  TrackInfoPanelObject = new TTrackInfoPanel(Player, this);
  // No tray in this build: the hide button minimizes the window.
  TrackInfoPanelObject->OnHideInTray([this] { showMinimized(); });
  TrackInfoPanelObject->OnDoubleClick([this] { ViewModesObject->ToggleMiniModeActionExecute(); });
  CreatePages();
  ControlsPanelObject = new TControlsPanel(Player, this);
  layout->addWidget(TrackInfoPanelObject);
  layout->addWidget(PageControlObject, 1);
  layout->addWidget(ControlsPanelObject);
  setCentralWidget(central);
  ActionsObject = std::make_unique<TMainActions>(Player, *this);
  PlaylistSheetObject->SetSortMenu(ActionsObject->SortPopupMenu());

  Player.Controller().SetView(this);
  Player.SetView(this);
  resize(ViewModesObject->NormalSize());
  NowPlayingChanged();
  // The window's keys work in the lists and controls too, which would take
  // letters and Esc for themselves; a text box keeps them for typing.
  for (QWidget* w : findChildren<QWidget*>())
    if (w->focusPolicy() != Qt::NoFocus && !w->isWindow() && !qobject_cast<QLineEdit*>(w))
      w->installEventFilter(this);
}

TMainForm::~TMainForm() {
  // A box without a parent outlives the window; its close must not reach the player.
  if (MessageBox) {
    MessageBox->disconnect(this);
    delete MessageBox;
  }
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
  // The Video tab shows only while video plays.
  PageControlObject->setTabVisible(mpVideo, false);
  connect(PageControlObject, &QTabWidget::currentChanged, this, [this] { Player.PageControlChange(); });
}

void TMainForm::SelectPage(int page) {
  if (!PageControlObject->isTabVisible(page)) return;
  PageControlObject->setCurrentIndex(page);
  if (page == mpLibrary) LibrarySheetObject->FocusCurrentList();
}

void TMainForm::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  ViewModesObject->FormResized();
}

void TMainForm::moveEvent(QMoveEvent* event) { QMainWindow::moveEvent(event); }

bool TMainForm::TitleFits(const std::string& title) const { return TrackInfoPanelObject->TitleFits(title); }

void TMainForm::NowPlayingChanged() {
  TrackInfoPanelObject->ShowNowPlaying();
  ControlsPanelObject->ShowNowPlaying();
}

void TMainForm::ShowMediaPage(bool hasVideo) {
  // Asked first: hiding the Video tab while it shows selects its neighbour, the Library.
  const bool libraryShown = PageControlObject->currentIndex() == mpLibrary;
  PageControlObject->setTabVisible(mpVideo, hasVideo);
  if (!libraryShown) PageControlObject->setCurrentIndex(hasVideo ? mpVideo : mpPlaylist);
}

void TMainForm::AttachVideoWindow(bool attach) {
  if (SetVideoWindow) SetVideoWindow(attach ? VideoSheetObject->VideoWindowHandle() : 0);
}

namespace {

QMessageBox::Icon MessageIcon(TMessageKind kind) {
  return kind == mtError     ? QMessageBox::Critical
         : kind == mtWarning ? QMessageBox::Warning
                             : QMessageBox::Information;
}

QString RepeatText(int count) {
  return count > 1 ? QString("This happened %1 times.").arg(count) : QString();
}

}  // namespace

void TMainForm::ShowMessage(const std::string& text, TMessageKind kind) {
  QMessageBox box(MessageIcon(kind), ApplicationTitle, QString::fromStdString(text), QMessageBox::Ok,
                  isVisible() ? this : nullptr);
  box.exec();
}

bool TMainForm::OpenMessageBox(const TMessage& message) {
  auto* box =
      new QMessageBox(MessageIcon(message.Kind), ApplicationTitle, QString::fromStdString(message.Text),
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

void TMainForm::WindowSettingsRead(const TSettings& settings) {
  ViewModesObject->WindowSettingsRead(settings);
  LibrarySheetObject->ApplySettings(settings);
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

bool TMainForm::WindowKey(QKeyEvent* event) {
  TPlaybackController& c = Player.Controller();
  const bool forward = event->key() == Qt::Key_F;
  if (forward || event->key() == Qt::Key_B) {
    if (event->type() == QEvent::KeyRelease) {
      if (!event->isAutoRepeat()) c.StopSeek();
    } else {
      // Repeats of a held key keep the seeking going.
      Player.Guarded([&] { forward ? c.FastForwardActionExecute() : c.FastBackwardActionExecute(); });
    }
    return true;
  }
  if (event->key() == Qt::Key_Escape && event->type() == QEvent::KeyPress && c.Dragging()) {
    c.ProgressBarCancelDrag();
    return true;
  }
  return false;
}

void TMainForm::keyPressEvent(QKeyEvent* event) {
  if (!WindowKey(event)) QMainWindow::keyPressEvent(event);
}

void TMainForm::keyReleaseEvent(QKeyEvent* event) {
  if (!WindowKey(event)) QMainWindow::keyReleaseEvent(event);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  if ((event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) &&
      WindowKey(static_cast<QKeyEvent*>(event)))
    return true;
  return QMainWindow::eventFilter(watched, event);
}

bool TMainForm::CloseWindow() {
  close();
  return true;
}

void TMainForm::EndProcessNow() { std::_Exit(0); }

void TMainForm::closeEvent(QCloseEvent* event) {
  if (!Closing) {
    Closing = true;
    Player.FormCloseQuery();
  }
  event->accept();
}

}  // namespace tunevale
