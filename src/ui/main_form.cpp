#include "ui/main_form.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QFrame>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QScreen>
#include <QSlider>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "ui/glyphs.h"
#include "ui/library_list_model.h"
#include "ui/playlist_model.h"
#include "ui/progress_bar.h"
#include "util/text.h"

namespace tunevale {

namespace {

constexpr int TrackInfoHeight = 57;
constexpr int ControlsHeight = 36;
constexpr int VolumeLeft = 177;
constexpr int VolumeWidth = 65;
// Below base + MiniSnap the window snaps to the mini view, below base +
// NormalMinimum to the smallest normal view.
constexpr int MiniSnap = 50;
constexpr int NormalMinimum = 110;
constexpr int SearchDelayMs = 250;

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

QString QtOpenFilter(const std::string& filter) {
  const std::vector<std::string> parts = Split(filter, '|');
  QStringList entries;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    std::string patterns = parts[i + 1];
    std::replace(patterns.begin(), patterns.end(), ';', ' ');
    entries << Q(parts[i] + " (" + patterns + ")");
  }
  return entries.join(";;");
}

TMainForm::TMainForm(TPlayer& player, std::function<void(uintptr_t)> setVideoWindow)
    : Player(player), SetVideoWindow(std::move(setVideoWindow)) {
  setWindowTitle(ApplicationTitle);
  setAcceptDrops(true);
  PlaylistModel = std::make_unique<TPlaylistModel>(Player.Playlist());
  for (int page = 0; page < kLibraryPageCount; ++page)
    LibraryModels[page] = std::make_unique<TLibraryListModel>(
        Player.Library(), Player.Search().List(static_cast<TLibraryPage>(page)));

  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  CreateTrackInfoPanel();
  PageControl = new QTabWidget(central);
  PageControl->setObjectName("PageControl");
  PageControl->setDocumentMode(true);
  // The sizing rule, not the pages' contents, decides how small the window gets.
  PageControl->setMinimumSize(1, 1);
  CreatePlaylistPage();
  CreateLibraryPage();
  CreateVideoPage();
  CreateControlsPanel();
  layout->addWidget(TrackInfoPanel);
  layout->addWidget(PageControl, 1);
  layout->addWidget(ControlsPanel);
  setCentralWidget(central);
  CreateActions();
  connect(PageControl, &QTabWidget::currentChanged, this, [this] { Player.PageControlChange(); });

  Player.Playlist().AddListener(this);
  Player.Controller().SetView(this);
  Player.SetView(this);
  resize(NormalSize);
  NowPlayingChanged();
  PlayModeChanged(Player.Playlist().PlayMode());
}

TMainForm::~TMainForm() {
  Player.SetView(nullptr);
  Player.Controller().SetView(nullptr);
  Player.Playlist().RemoveListener(this);
}

QToolButton* TMainForm::Button(QWidget* parent, const char* name, const QString& hint, const QIcon& icon) {
  auto* button = new QToolButton(parent);
  button->setObjectName(name);
  button->setToolTip(hint);
  button->setIcon(icon);
  button->setAutoRaise(true);
  button->setFocusPolicy(Qt::NoFocus);
  return button;
}

void TMainForm::CreateTrackInfoPanel() {
  TrackInfoPanel = new QFrame(this);
  TrackInfoPanel->setObjectName("TrackInfoPanel");
  TrackInfoPanel->setFixedHeight(TrackInfoHeight);
  TrackInfoPanel->setStyleSheet(
      "#TrackInfoPanel { background: #6D83AC; border: 1px solid #001561; } QLabel { color: white; }");
  const auto label = [this](const char* name) {
    auto* l = new QLabel(TrackInfoPanel);
    l->setObjectName(name);
    return l;
  };
  TitleLabel = label("TitleLabel");
  QFont bold = TitleLabel->font();
  bold.setBold(true);
  TitleLabel->setFont(bold);
  SubtitleLabel = label("SubtitleLabel");
  TimeLabel = label("TimeLabel");
  VersionLabel = label("VersionLabel");
  VersionLabel->setText(VersionLabelText);
  // No tray in this build: the hide button minimizes the window.
  HideInTrayButton = Button(TrackInfoPanel, "HideInTrayButton", "Hide in tray", GlyphIcon(TGlyph::HideInTray));
  HideInTrayButton->setFixedSize(16, 16);
  connect(HideInTrayButton, &QToolButton::clicked, this, [this] { showMinimized(); });
  TrackInfoPanel->installEventFilter(this);
}

void TMainForm::CreateControlsPanel() {
  ControlsPanel = new QFrame(this);
  ControlsPanel->setObjectName("ControlsPanel");
  ControlsPanel->setFixedHeight(ControlsHeight);
  ControlsPanel->setStyleSheet("#ControlsPanel { background: black; }");
  ProgressBar = new TProgressBar(Player.Controller(), ControlsPanel);
  PlayButton = Button(ControlsPanel, "PlayButton", "Play (Ctrl+P)", GlyphIcon(TGlyph::Play));
  StopButton = Button(ControlsPanel, "StopButton", "Stop (Ctrl+S)", GlyphIcon(TGlyph::Stop));
  PreviousButton = Button(ControlsPanel, "PreviousButton", "Previous (Press and hold to rewind) (Ctrl+B)",
                          GlyphIcon(TGlyph::Previous));
  NextButton = Button(ControlsPanel, "NextButton", "Next (Press and hold to fast-forward) (Ctrl+F)",
                      GlyphIcon(TGlyph::Next));
  MuteButton = Button(ControlsPanel, "MuteButton", "Mute/Unmute (F8)", GlyphIcon(TGlyph::Unmuted));
  int left = 0;
  for (QToolButton* b : {PlayButton, StopButton, PreviousButton, NextButton}) {
    b->setGeometry(left, 14, 40, 22);
    left += 40;
  }
  MuteButton->setGeometry(160, 16, 22, 18);
  connect(PlayButton, &QToolButton::clicked, this, [this] { Player.Guarded([&] { Player.PlayPause(); }); });
  connect(StopButton, &QToolButton::clicked, this, [this] { Player.Guarded([&] { Player.Stop(); }); });
  connect(MuteButton, &QToolButton::clicked, this,
          [this] { Player.Guarded([&] { Player.Controller().MuteUnmuteActionExecute(); }); });
  // Press and hold seeks: the buttons' mouse events go to the controller in
  // the order down, click, up (see eventFilter).
  PreviousButton->installEventFilter(this);
  NextButton->installEventFilter(this);

  VolumeTrackBar = new QSlider(Qt::Horizontal, ControlsPanel);
  VolumeTrackBar->setObjectName("VolumeTrackBar");
  VolumeTrackBar->setToolTip("Change the volume (F9 and F10)");
  VolumeTrackBar->setRange(0, 10000);
  VolumeTrackBar->setPageStep(1000);
  VolumeTrackBar->setValue(10000);
  VolumeTrackBar->setFocusPolicy(Qt::NoFocus);
  VolumeTrackBar->setGeometry(VolumeLeft + 5, 15, VolumeWidth, 20);
  connect(VolumeTrackBar, &QSlider::valueChanged, this, [this](int value) {
    if (value != Player.Controller().VolumeTrackBarPosition())
      Player.Guarded([&] { Player.Controller().VolumeTrackBarChange(value); });
  });
  ControlsPanel->installEventFilter(this);
}

void TMainForm::CreatePlaylistPage() {
  auto* page = new QWidget(PageControl);
  page->setObjectName("TabSheet1");
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  auto* top = new QWidget(page);
  top->setObjectName("PlaylistTopPanel");
  top->setFixedHeight(30);
  auto* topLayout = new QHBoxLayout(top);
  topLayout->setContentsMargins(4, 2, 4, 2);
  PlayModeComboBox = new QComboBox(top);
  PlayModeComboBox->setObjectName("PlayModeComboBox");
  PlayModeComboBox->setToolTip("Change the play mode");
  PlayModeComboBox->addItems({"Only this track", "Repeat", "Play all", "Repeat all"});
  connect(PlayModeComboBox, &QComboBox::activated, this,
          [this](int index) { Player.Playlist().SetPlayMode(static_cast<uint8_t>(index)); });
  auto* addButton = Button(top, "AddButton", "Open", GlyphIcon(TGlyph::Open, Qt::darkGray));
  connect(addButton, &QToolButton::clicked, this, [this] { OpenActionExecute(); });
  PlaylistBusyIndicator = Button(top, "PlaylistBusyImage", "", GlyphIcon(TGlyph::Busy, Qt::darkGray));
  PlaylistBusyIndicator->hide();
  connect(PlaylistBusyIndicator, &QToolButton::clicked, this, [this] {
    ShowBusyMenu(PlaylistBusyIndicator, [this] { Player.MediaAdder().CancelPlaylistActionActionExecute(); });
  });
  topLayout->addWidget(PlayModeComboBox);
  topLayout->addWidget(addButton);
  topLayout->addWidget(PlaylistBusyIndicator);
  topLayout->addStretch(1);

  auto* body = new QWidget(page);
  auto* bodyLayout = new QHBoxLayout(body);
  bodyLayout->setContentsMargins(0, 0, 0, 0);
  bodyLayout->setSpacing(0);
  PlaylistListView = new QListView(body);
  PlaylistListView->setObjectName("PlaylistListView");
  PlaylistListView->setModel(PlaylistModel.get());
  PlaylistListView->setSelectionMode(QAbstractItemView::ExtendedSelection);
  PlaylistListView->setUniformItemSizes(true);
  // Files dropped on the list reach the window's drop handling.
  PlaylistListView->setAcceptDrops(false);
  PlaylistListView->installEventFilter(this);
  connect(PlaylistListView->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { PlaylistViewSelectionChanged(); });
  connect(PlaylistListView, &QListView::activated, this, [this](const QModelIndex& index) {
    Player.Guarded([&] {
      Player.Playlist().SetItemIndex(index.row());
      Player.Playlist().PlaylistPlayActionExecute();
    });
  });

  auto* side = new QWidget(body);
  side->setObjectName("PlaylistSidePanel");
  side->setFixedWidth(28);
  auto* sideLayout = new QVBoxLayout(side);
  sideLayout->setContentsMargins(2, 2, 2, 2);
  auto* clear = Button(side, "RemoveButton", "Clear playlist", GlyphIcon(TGlyph::Clear, Qt::darkGray));
  connect(clear, &QToolButton::clicked, this, [this] { Player.Guarded([&] { Player.ClearPlaylist(); }); });
  auto* shuffle = Button(side, "ShuffleButton", "Shuffle playlist", GlyphIcon(TGlyph::Shuffle, Qt::darkGray));
  connect(shuffle, &QToolButton::clicked, this,
          [this] { Player.Guarded([&] { Player.Playlist().ShuffleActionExecute(); }); });
  auto* sort = Button(side, "SortButton", "Sort", GlyphIcon(TGlyph::Sort, Qt::darkGray));
  auto* sortMenu = new QMenu(sort);
  for (const auto& [caption, key] : {std::pair{"Title", skTitle}, {"Album", skAlbum}, {"Artist", skArtist},
                                     {"#", skTrack}, {"File name", skFileName}})
    sortMenu->addAction(caption, this, [this, sortKey = key] {
      Player.Guarded([&] { Player.Playlist().SortPlaylist(sortKey); });
    });
  sort->setMenu(sortMenu);
  sort->setPopupMode(QToolButton::InstantPopup);
  auto* save = Button(side, "SavePlaylistButton", "Save playlist", GlyphIcon(TGlyph::Save, Qt::darkGray));
  connect(save, &QToolButton::clicked, this, [this] { SavePlaylistActionExecute(); });
  for (QToolButton* b : {clear, shuffle, sort, save}) sideLayout->addWidget(b);
  sideLayout->addStretch(1);
  bodyLayout->addWidget(PlaylistListView, 1);
  bodyLayout->addWidget(side);

  layout->addWidget(top);
  layout->addWidget(body, 1);
  PageControl->addTab(page, "Playlist");
}

void TMainForm::CreateLibraryPage() {
  auto* page = new QWidget(PageControl);
  page->setObjectName("TabSheet2");
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* top = new QWidget(page);
  top->setObjectName("LibraryTopPanel");
  top->setFixedHeight(30);
  auto* topLayout = new QHBoxLayout(top);
  topLayout->setContentsMargins(4, 2, 4, 2);
  SearchEdit = new QLineEdit(top);
  SearchEdit->setObjectName("SearchEdit");
  // The placeholder shows while the box is empty; SearchText() then is "".
  SearchEdit->setPlaceholderText("Search");
  SearchEdit->setClearButtonEnabled(true);
  LibraryBusyIndicator = Button(top, "LibraryBusyImage", "", GlyphIcon(TGlyph::Busy, Qt::darkGray));
  LibraryBusyIndicator->hide();
  connect(LibraryBusyIndicator, &QToolButton::clicked, this, [this] {
    ShowBusyMenu(LibraryBusyIndicator, [this] { Player.Library().Flags.CancelCrawl = true; });
  });
  topLayout->addWidget(LibraryBusyIndicator);
  topLayout->addWidget(SearchEdit, 1);
  SearchTimer = new QTimer(this);
  SearchTimer->setSingleShot(true);
  SearchTimer->setInterval(SearchDelayMs);
  connect(SearchEdit, &QLineEdit::textChanged, SearchTimer, qOverload<>(&QTimer::start));
  connect(SearchTimer, &QTimer::timeout, this,
          [this] { Player.Guarded([&] { Player.Search().RefreshLibraryLists(false); }); });

  LibraryPageControl = new QTabWidget(page);
  LibraryPageControl->setObjectName("LibraryPageControl");
  LibraryPageControl->setDocumentMode(true);
  const char* captions[kLibraryPageCount] = {"Artists", "Albums", "Tracks", "Videos", "Playlists"};
  const char* names[kLibraryPageCount] = {"ArtistsListView", "AlbumsListView", "TracksListView", "VideosListView",
                                          "PlaylistsListView"};
  for (int i = 0; i < kLibraryPageCount; ++i) {
    auto* view = new QTreeView(LibraryPageControl);
    view->setObjectName(names[i]);
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(i == lpTracks || i == lpVideos ? QAbstractItemView::ExtendedSelection
                                                          : QAbstractItemView::SingleSelection);
    view->setModel(LibraryModels[i].get());
    view->header()->setStretchLastSection(true);
    LibraryViews[i] = view;
    LibraryPageControl->addTab(view, captions[i]);
  }
  connect(LibraryPageControl, &QTabWidget::currentChanged, this, [this](int index) {
    const std::string query = SearchText();
    if (query != Player.Search().List(static_cast<TLibraryPage>(index)).QueryText)
      Player.Guarded([&] { Player.Search().RefreshLibraryLists(true); });
    Player.LibrarySaveTimer().SetEnabled(false);
    Player.LibrarySaveTimer().SetEnabled(true);
  });
  layout->addWidget(top);
  layout->addWidget(LibraryPageControl, 1);
  PageControl->addTab(page, "Library");
}

void TMainForm::CreateVideoPage() {
  auto* page = new QWidget(PageControl);
  page->setObjectName("TabSheet3");
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(0, 0, 0, 0);
  VideoPanel = new QWidget(page);
  VideoPanel->setObjectName("VideoPanel");
  // The engine draws straight into this window.
  VideoPanel->setAttribute(Qt::WA_NativeWindow);
  VideoPanel->setAttribute(Qt::WA_PaintOnScreen);
  VideoPanel->setAutoFillBackground(true);
  QPalette palette = VideoPanel->palette();
  palette.setColor(QPalette::Window, Qt::black);
  VideoPanel->setPalette(palette);
  layout->addWidget(VideoPanel);
  PageControl->addTab(page, "Video");
  // The Video tab shows only while video plays.
  PageControl->setTabVisible(mpVideo, false);
}

QAction* TMainForm::AddAction(const char* name, const QString& text, const QList<QKeySequence>& keys,
                              std::function<void()> run) {
  auto* action = new QAction(text, this);
  action->setObjectName(name);
  action->setShortcuts(keys);
  action->setShortcutContext(Qt::WindowShortcut);
  connect(action, &QAction::triggered, this, [this, run = std::move(run)] { Player.Guarded(run); });
  addAction(action);
  return action;
}

void TMainForm::CreateActions() {
  TPlaybackController& c = Player.Controller();
  TPlaylist& playlist = Player.Playlist();
  AddAction("PlayPauseAction", "Play", {QKeySequence("Ctrl+P")}, [this] { Player.PlayPause(); });
  AddAction("StopAction", "Stop", {QKeySequence("Ctrl+S")}, [this] { Player.Stop(); });
  AddAction("PreviousAction", "Previous track", {QKeySequence("Ctrl+L")}, [this] { Player.Previous(); });
  AddAction("NextAction", "Next track", {QKeySequence("Ctrl+N")}, [this] { Player.Next(); });
  AddAction("MuteUnmuteAction", "Mute", {QKeySequence("F8")}, [&c] { c.MuteUnmuteActionExecute(); });
  AddAction("VolumeDownAction", "Volume down", {QKeySequence("F9")}, [&c] { c.VolumeDownActionExecute(); });
  AddAction("VolumeUpAction", "Volume up", {QKeySequence("F10")}, [&c] { c.VolumeUpActionExecute(); });
  AddAction("OpenAction", "Open", {QKeySequence("Ctrl+O")}, [this] { OpenActionExecute(); });
  AddAction("UpAction", "Up", {QKeySequence("Ctrl+U")}, [&playlist] { playlist.UpActionExecute(); });
  AddAction("DownAction", "Down", {QKeySequence("Ctrl+D")}, [&playlist] { playlist.DownActionExecute(); });
  AddAction("ClearPlaylistAction", "Clear", {QKeySequence("Ctrl+Delete")}, [this] { Player.ClearPlaylist(); });
  AddAction("ShuffleAction", "Shuffle", {QKeySequence("Ctrl+R")}, [&playlist] { playlist.ShuffleActionExecute(); });
  AddAction("SavePlayListAction", "Save playlist", {QKeySequence("Ctrl+Shift+S")},
            [this] { SavePlaylistActionExecute(); });
  AddAction("ExitAction", "Exit", {}, [this] { Player.ExitActionExecute(); });
  AddAction("ToggleMiniModeAction", "Mini mode", {QKeySequence("Ctrl+Return"), QKeySequence("Ctrl+Enter")},
            [this] { ToggleMiniModeActionExecute(); });
  AddAction("Tab1Action", "Playlist", {QKeySequence("F1"), QKeySequence("Shift+F1")}, [this] { SelectPage(mpPlaylist); });
  AddAction("Tab2Action", "Library", {}, [this] { SelectPage(mpLibrary); });
  AddAction("Tab3Action", "Video", {QKeySequence("F7"), QKeySequence("Shift+F7")}, [this] { SelectPage(mpVideo); });
  const char* libraryTabs[kLibraryPageCount] = {"Tab4Action", "Tab5Action", "Tab6Action", "Tab7Action", "Tab8Action"};
  for (int i = 0; i < kLibraryPageCount; ++i) {
    const QString key = QString("F%1").arg(i + 2);
    AddAction(libraryTabs[i], LibraryPageControl->tabText(i), {QKeySequence(key), QKeySequence("Shift+" + key)},
              [this, i] {
                SelectPage(mpLibrary);
                LibraryPageControl->setCurrentIndex(i);
              });
  }
}

void TMainForm::SelectPage(int page) {
  if (!PageControl->isTabVisible(page)) return;
  PageControl->setCurrentIndex(page);
  if (page == mpLibrary) LibraryViews[LibraryPageControl->currentIndex()]->setFocus();
}

QSize TMainForm::FormCanResize(QSize requested) {
  if (isMaximized() || isFullScreen()) return requested;
  TSettings& settings = Player.Settings();
  const int minimumWidth = VolumeLeft + VolumeWidth;
  int width = std::max(requested.width(), minimumWidth);
  int height = requested.height();
  const int base = TrackInfoHeight + ControlsHeight;
  if (height < base + NormalMinimum) {
    settings.MiniMode = height <= base + MiniSnap;
    height = settings.MiniMode ? base : base + NormalMinimum;
  } else {
    settings.MiniMode = false;
  }
  if (!settings.MiniMode) NormalSize = QSize(width, height);
  return {width, height};
}

void TMainForm::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (Placing) return;
  const QSize wanted = FormCanResize(size());
  if (PageControl->isHidden() != Player.Settings().MiniMode) {
    PageControl->setVisible(!Player.Settings().MiniMode);
    // The window's minimum follows the hidden pages before the snap below.
    centralWidget()->layout()->activate();
    layout()->activate();
  }
  if (wanted != size()) {
    Placing = true;
    resize(wanted);
    Placing = false;
  }
  PlaceStripControls();
}

void TMainForm::moveEvent(QMoveEvent* event) { QMainWindow::moveEvent(event); }

void TMainForm::PlaceStripControls() {
  const int w = TrackInfoPanel->width();
  HideInTrayButton->move(w - HideInTrayButton->width() - 1, 1);
  TitleLabel->setGeometry(8, 4, std::max(0, w - 8 - 20), 16);
  SubtitleLabel->setGeometry(8, 20, std::max(0, w - 16), 16);
  TimeLabel->setGeometry(8, 36, TimeLabel->sizeHint().width(), 16);
  VersionLabel->adjustSize();
  VersionLabel->move(w - VersionLabel->width() - 8, 36);
  // The version gives way to a long time text.
  VersionLabel->setVisible(!Player.Settings().HideVersionLabel &&
                           TimeLabel->x() + TimeLabel->width() < VersionLabel->x());
  ProgressBar->setGeometry(0, 3, ControlsPanel->width(), 9);
}

bool TMainForm::TitleFits(const std::string& title) const {
  const int right = HideInTrayButton->x();
  return TitleLabel->x() + TitleLabel->fontMetrics().horizontalAdvance(Q(title)) < right;
}

void TMainForm::NowPlayingChanged() {
  const TPlaybackController& c = Player.Controller();
  TitleLabel->setText(Q(c.TitleLabel()));
  SubtitleLabel->setText(Q(c.SubtitleLabel()));
  TimeLabel->setText(Q(c.TimeLabel()));
  PlaceStripControls();
  ProgressBar->update();
  const bool playing = c.PlayButtonImage() == 1;
  PlayButton->setIcon(GlyphIcon(playing ? TGlyph::Pause : TGlyph::Play));
  PlayButton->setProperty("playing", playing);
  StopButton->setEnabled(c.StopActionEnabled());
  MuteButton->setIcon(GlyphIcon(Player.Settings().VolumeMuted ? TGlyph::Mute : TGlyph::Unmuted));
  if (VolumeTrackBar->value() != c.VolumeTrackBarPosition()) {
    const QSignalBlocker block(VolumeTrackBar);
    VolumeTrackBar->setValue(c.VolumeTrackBarPosition());
  }
}

void TMainForm::ShowMediaPage(bool hasVideo) {
  PageControl->setTabVisible(mpVideo, hasVideo);
  if (hasVideo)
    PageControl->setCurrentIndex(mpVideo);
  else if (PageControl->currentIndex() != mpLibrary)
    PageControl->setCurrentIndex(mpPlaylist);
}

void TMainForm::AttachVideoWindow(bool attach) {
  if (SetVideoWindow) SetVideoWindow(attach ? static_cast<uintptr_t>(VideoPanel->winId()) : 0);
}

void TMainForm::ShowMessage(const std::string& text, TMessageKind kind) {
  const QMessageBox::Icon icon = kind == mtError     ? QMessageBox::Critical
                                 : kind == mtWarning ? QMessageBox::Warning
                                                     : QMessageBox::Information;
  QMessageBox box(icon, ApplicationTitle, Q(text), QMessageBox::Ok, isVisible() ? this : nullptr);
  box.exec();
}

void TMainForm::ShowPage(int page) { SelectPage(page); }

void TMainForm::ShowBusyMenu(QToolButton* indicator, std::function<void()> cancel) {
  QMenu menu(this);
  menu.addAction(indicator->toolTip())->setEnabled(false);
  menu.addSeparator();
  menu.addAction("Cancel", this, [this, cancel = std::move(cancel)] { Player.Guarded(cancel); });
  menu.exec(QCursor::pos());
}

void TMainForm::LibraryBusyChanged(bool busy, const std::string& text) {
  LibraryBusyIndicator->setToolTip(Q(text));
  LibraryBusyIndicator->setVisible(busy);
}

void TMainForm::PlaylistBusyChanged(bool busy, const std::string& text) {
  PlaylistBusyIndicator->setToolTip(Q(text));
  PlaylistBusyIndicator->setVisible(busy);
}

void TMainForm::LibraryListRefilled(int page) {
  if (page < 0 || page >= kLibraryPageCount) return;
  LibraryModels[page]->Refilled();
  const int focused = Player.Search().List(static_cast<TLibraryPage>(page)).FocusedRow;
  if (focused >= 0 && focused < LibraryModels[page]->rowCount())
    LibraryViews[page]->setCurrentIndex(LibraryModels[page]->index(focused, 0));
}

bool TMainForm::LibraryPageShown() const { return PageControl->currentIndex() == mpLibrary; }

int TMainForm::CurrentLibraryPage() const { return LibraryPageControl->currentIndex(); }

std::string TMainForm::SearchText() const { return SearchEdit->text().toStdString(); }

void TMainForm::PlayModeChanged(uint8_t mode) {
  if (mode < PlayModeComboBox->count()) PlayModeComboBox->setCurrentIndex(mode);
}

void TMainForm::PlaylistRowsChanged(const TPlaylistChange& change) {
  if (change.Kind == pcRemoved) return;
  const int count = Player.Playlist().Count();
  if (change.Kind == pcReset)
    SyncPlaylistSelection(0, count - 1);
  else
    SyncPlaylistSelection(change.Index, std::min(change.Index + change.Count, count) - 1);
}

void TMainForm::SyncPlaylistSelection(int first, int last) {
  if (SyncingSelection || first > last) return;
  SyncingSelection = true;
  QItemSelectionModel* selection = PlaylistListView->selectionModel();
  for (int i = first; i <= last; ++i) {
    const QModelIndex index = PlaylistModel->index(i);
    const bool selected = Player.Playlist().Row(i).Selected;
    if (selection->isSelected(index) != selected)
      selection->select(index, selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
  }
  SyncingSelection = false;
}

void TMainForm::PlaylistViewSelectionChanged() {
  if (SyncingSelection) return;
  SyncingSelection = true;
  TPlaylist& playlist = Player.Playlist();
  const QItemSelectionModel* selection = PlaylistListView->selectionModel();
  for (int i = 0; i < playlist.Count(); ++i) {
    const bool selected = selection->isSelected(PlaylistModel->index(i));
    if (playlist.Row(i).Selected != selected) playlist.SetSelected(i, selected);
  }
  const QModelIndex current = selection->currentIndex();
  if (current.isValid() && current.row() != playlist.ItemIndex()) playlist.SetItemIndex(current.row());
  SyncingSelection = false;
}

void TMainForm::OpenActionExecute() {
  Player.Guarded([&] {
    Player.MediaAdder().OpenActionExecute([this](std::vector<std::string>& files) {
      const QStringList chosen = QFileDialog::getOpenFileNames(this, "Open", QString(),
                                                               QtOpenFilter(BuildOpenFilter(Player.Extensions())));
      for (const QString& file : chosen) files.push_back(file.toStdString());
      return !chosen.isEmpty();
    });
  });
}

void TMainForm::SavePlaylistActionExecute() {
  const QString path = QFileDialog::getSaveFileName(this, "Save playlist", QString(), "Playlist (*.m3u)");
  if (path.isEmpty()) return;
  Player.Guarded([&] { Player.PlaylistFile().WritePlaylistFile(path.toStdString()); });
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
  QTimer::singleShot(0, this, [this, paths] { Player.Guarded([&] { Player.MediaAdder().DropFiles(paths); }); });
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
  const bool next = watched == NextButton;
  const bool mouseButton = event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease;
  if ((next || watched == PreviousButton) && mouseButton) {
    auto* button = static_cast<QToolButton*>(watched);
    auto* mouse = static_cast<QMouseEvent*>(event);
    TPlaybackController& c = Player.Controller();
    if (event->type() == QEvent::MouseButtonPress && mouse->button() == Qt::LeftButton) {
      button->setDown(true);
      Player.Guarded([&] { next ? c.NextButtonMouseDown() : c.PreviousButtonMouseDown(); });
      return true;
    }
    if (event->type() == QEvent::MouseButtonRelease && mouse->button() == Qt::LeftButton) {
      button->setDown(false);
      // The click sees whether the hold already seeked, so it comes before the up.
      if (button->rect().contains(mouse->position().toPoint()))
        Player.Guarded([&] { next ? c.NextButtonClick() : c.PreviousButtonClick(); });
      Player.Guarded([&] { c.SeekButtonMouseUp(); });
      return true;
    }
  }
  if ((next || watched == PreviousButton) && event->type() == QEvent::MouseButtonDblClick) return true;
  if (watched == PlaylistListView && event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
    Player.Guarded([&] { Player.Playlist().RemoveTracksActionExecute(); });
    return true;
  }
  if (watched == TrackInfoPanel && event->type() == QEvent::Resize) PlaceStripControls();
  if (watched == TrackInfoPanel && event->type() == QEvent::MouseButtonDblClick) {
    ToggleMiniModeActionExecute();
    return true;
  }
  if (watched == ControlsPanel && event->type() == QEvent::Resize)
    ProgressBar->setGeometry(0, 3, ControlsPanel->width(), 9);
  return QMainWindow::eventFilter(watched, event);
}

void TMainForm::keyPressEvent(QKeyEvent* event) {
  TPlaybackController& c = Player.Controller();
  if (event->key() == Qt::Key_F && !event->isAutoRepeat()) {
    Player.Guarded([&] { c.FastForwardActionExecute(); });
    return;
  }
  if (event->key() == Qt::Key_B && !event->isAutoRepeat()) {
    Player.Guarded([&] { c.FastBackwardActionExecute(); });
    return;
  }
  QMainWindow::keyPressEvent(event);
}

void TMainForm::keyReleaseEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_F || event->key() == Qt::Key_B) && !event->isAutoRepeat()) {
    Player.Controller().StopSeek();
    return;
  }
  QMainWindow::keyReleaseEvent(event);
}

void TMainForm::ToggleMiniModeActionExecute() {
  if (!windowState().testFlag(Qt::WindowNoState)) return;
  // The sizing rule turns the smallest height into the mini view.
  resize(Player.Settings().MiniMode ? NormalSize : QSize(width(), 0));
}

void TMainForm::StoreWindowState(TSettings& settings) {
  settings.Maximized = isMaximized();
  const QRect frame = normalGeometry();
  settings.WindowLeft = frame.x();
  settings.WindowTop = frame.y();
  settings.WindowWidth = NormalSize.width();
  settings.WindowHeight = NormalSize.height();
}

void TMainForm::WindowSettingsRead(const TSettings& settings) {
  NormalSize = QSize(std::max(settings.WindowWidth, VolumeLeft + VolumeWidth),
                     std::max(settings.WindowHeight, TrackInfoHeight + ControlsHeight + NormalMinimum));
  const bool mini = settings.MiniMode;
  QRect area(settings.WindowLeft, settings.WindowTop, NormalSize.width(), NormalSize.height());
  // A window saved on a screen that is gone comes back on the primary one.
  if (QScreen* screen = QGuiApplication::primaryScreen(); screen && !QGuiApplication::screenAt(area.center()))
    area.moveCenter(screen->availableGeometry().center());
  move(area.topLeft());
  resize(mini ? QSize(NormalSize.width(), 0) : NormalSize);
  if (settings.Maximized) setWindowState(windowState() | Qt::WindowMaximized);
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
