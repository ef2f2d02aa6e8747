#include "ui/library_sheet.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeView>
#include <QVBoxLayout>

#include "app/player.h"
#include "library/list_sorter.h"
#include "ui/busy_indicator.h"
#include "ui/glyphs.h"
#include "ui/library_list_model.h"
#include "ui/main_menus.h"
#include "ui/tool_button.h"

namespace tunevale {

namespace {

constexpr int SearchDelayMs = 250;
// The settings keep the lists as artists, albums, tracks, playlists, videos.
constexpr int LayoutOfPage[kLibraryPageCount] = {0, 1, 2, 4, 3};

QString HintText(const std::string& hint) { return QString::fromStdString(hint).replace('\r', '\n'); }

}  // namespace

TLibrarySheet::TLibrarySheet(TPlayer& player, QWidget* parent)
    : QWidget(parent), Player(player), Navigator(player.Navigator()) {
  setObjectName("TabSheet2");
  for (int page = 0; page < kLibraryPageCount; ++page)
    LibraryModels[page] = std::make_unique<TLibraryListModel>(
        Player.Library(), Player.Search().List(static_cast<TLibraryPage>(page)),
        Player.Settings().TrackColumns);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(CreateTopPanel());
  CreateLists();
  layout->addWidget(LibraryPageControl, 1);
  Navigator.SetView(this);
  HistoryChanged();
  ApplyViewMode();
}

TLibrarySheet::~TLibrarySheet() { Navigator.SetView(nullptr); }

QWidget* TLibrarySheet::CreateTopPanel() {
  auto* top = TopPanel = new QWidget(this);
  top->setObjectName("LibraryTopPanel");
  top->setFixedHeight(30);
  auto* topLayout = new QHBoxLayout(top);
  topLayout->setContentsMargins(4, 2, 4, 2);
  BackButton = ToolButton(top, "BackButton", QString(), GlyphIcon(TGlyph::Previous, Qt::darkGray));
  ForwardButton = ToolButton(top, "ForwardButton", QString(), GlyphIcon(TGlyph::Next, Qt::darkGray));
  SearchFoldersButton =
      ToolButton(top, "SearchFoldersButton", "Browse folders", GlyphIcon(TGlyph::Open, Qt::darkGray));
  ToggleListButton = ToolButton(top, "ToggleListButton", QString(), GlyphIcon(TGlyph::Sort, Qt::darkGray));
  connect(BackButton, &QToolButton::clicked, this,
          [this] { Player.Guarded([&] { Navigator.HistoryBack(); }); });
  connect(ForwardButton, &QToolButton::clicked, this,
          [this] { Player.Guarded([&] { Navigator.HistoryForward(); }); });
  connect(SearchFoldersButton, &QToolButton::clicked, this, [this] { ShowFolderMenu(); });
  connect(ToggleListButton, &QToolButton::clicked, this, [this] { ToggleListMode(); });
  SearchEdit = new QLineEdit(top);
  SearchEdit->setObjectName("SearchEdit");
  // The placeholder shows while the box is empty; SearchText() then is "".
  SearchEdit->setPlaceholderText("Search");
  SearchEdit->setClearButtonEnabled(true);
  SearchEdit->installEventFilter(this);
  LibraryBusyIndicator = new TBusyIndicator(
      Player, "LibraryBusyImage", [this] { Player.Library().Flags.CancelCrawl = true; }, top);
  for (QWidget* w : {static_cast<QWidget*>(BackButton), static_cast<QWidget*>(ForwardButton)})
    topLayout->addWidget(w);
  topLayout->addWidget(LibraryBusyIndicator);
  topLayout->addWidget(SearchEdit, 1);
  topLayout->addWidget(SearchFoldersButton);
  topLayout->addWidget(ToggleListButton);
  SearchTimer = new QTimer(this);
  SearchTimer->setSingleShot(true);
  SearchTimer->setInterval(SearchDelayMs);
  connect(SearchEdit, &QLineEdit::textChanged, this, [this] {
    if (Navigator.SettingText()) return;
    Navigator.SearchTyped();
    SearchTimer->start();
  });
  connect(SearchTimer, &QTimer::timeout, this,
          [this] { Player.Guarded([&] { Navigator.RunTypedSearch(); }); });
  return top;
}

void TLibrarySheet::CreateLists() {
  LibraryPageControl = new QTabWidget(this);
  LibraryPageControl->setObjectName("LibraryPageControl");
  LibraryPageControl->setDocumentMode(true);
  const char* names[kLibraryPageCount] = {"ArtistsListView", "AlbumsListView", "TracksListView",
                                          "VideosListView", "PlaylistsListView"};
  for (int i = 0; i < kLibraryPageCount; ++i) {
    auto* view = new QTreeView(LibraryPageControl);
    view->setObjectName(names[i]);
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setSelectionMode(i == lpTracks || i == lpVideos ? QAbstractItemView::ExtendedSelection
                                                          : QAbstractItemView::SingleSelection);
    view->setModel(LibraryModels[i].get());
    view->setDragEnabled(i != lpPlaylists);
    view->setDragDropMode(QAbstractItemView::DragOnly);
    view->header()->setStretchLastSection(true);
    view->header()->setSectionsClickable(true);
    view->header()->setSortIndicatorShown(false);
    view->installEventFilter(this);
    view->viewport()->installEventFilter(this);
    connect(view->header(), &QHeaderView::sectionClicked, this,
            [this, i](int column) { HeaderClicked(i, column); });
    connect(view, &QTreeView::doubleClicked, this,
            [this, i](const QModelIndex& index) { ActivateRow(i, index.row()); });
    connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this, i] { SelectionChanged(i); });
    connect(view->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this, i] { SelectionChanged(i); });
    LibraryViews[i] = view;
    LibraryPageControl->addTab(view, QString::fromUtf8(LibraryPageCaption(i).data()));
  }
  QHeaderView* tracksHeader = LibraryViews[lpTracks]->header();
  tracksHeader->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(tracksHeader, &QWidget::customContextMenuRequested, this,
          [this, tracksHeader](const QPoint& at) { ColumnMenu()->popup(tracksHeader->mapToGlobal(at)); });
  connect(LibraryPageControl, &QTabWidget::currentChanged, this, [this](int index) { ListChanged(index); });
}

// ---- Pages and the navigator ------------------------------------------------------------

void TLibrarySheet::ListChanged(int page) {
  SearchTimer->stop();
  const bool shift = QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier);
  Player.Guarded([&] {
    // A search typed just before the switch runs for the page left.
    Navigator.PageChanged(static_cast<TLibraryPage>(page), shift);
  });
}

void TLibrarySheet::SetSearchText(const std::string& text) {
  SearchTimer->stop();
  SearchEdit->setText(QString::fromStdString(text));
}

void TLibrarySheet::ShowLibraryPage(TLibraryPage page) { LibraryPageControl->setCurrentIndex(page); }

void TLibrarySheet::LibraryPageShown(TLibraryPage page) {
  ToggleListButton->setVisible(page != lpTracks);
  FocusCurrentList();
  NoteSelection();
}

void TLibrarySheet::HistoryChanged() {
  const TViewHistory& history = Navigator.History();
  BackButton->setEnabled(history.CanGoBack());
  ForwardButton->setEnabled(history.CanGoForward());
  BackButton->setToolTip(HintText(history.BackHint()));
  ForwardButton->setToolTip(HintText(history.ForwardHint()));
  if (BackAction) BackAction->setEnabled(history.CanGoBack());
  if (ForwardAction) ForwardAction->setEnabled(history.CanGoForward());
}

void TLibrarySheet::PageChangeDone() {
  Player.LibrarySaveTimer().SetEnabled(false);
  Player.LibrarySaveTimer().SetEnabled(true);
}

void TLibrarySheet::ShowFolderMenu() {
  QMenu menu(this);
  menu.setObjectName("SearchFoldersPopupMenu");
  for (const TFolderMenuItem& item : Navigator.FolderMenu()) {
    QAction* action = menu.addAction(QString::fromStdString(item.Caption));
    action->setEnabled(item.Enabled);
    connect(action, &QAction::triggered, this,
            [this, item] { Player.Guarded([&] { Navigator.ChooseFolder(item); }); });
  }
  menu.exec(SearchFoldersButton->mapToGlobal(QPoint(0, SearchFoldersButton->height())));
}

// ---- Rows -----------------------------------------------------------------------------

void TLibrarySheet::BusyChanged(bool busy, const std::string& text) {
  LibraryBusyIndicator->SetBusy(busy, text);
}

void TLibrarySheet::ListRefilled(int page) {
  if (page < 0 || page >= kLibraryPageCount) return;
  Filling = true;
  LibraryModels[page]->Refilled();
  const TLibraryList& list = Player.Search().List(static_cast<TLibraryPage>(page));
  QTreeView* view = LibraryViews[page];
  const TLibraryListModel& model = *LibraryModels[page];
  if (model.rowCount() > 0) {
    QItemSelection selection;
    for (int row = 0; row < list.RowCount(); ++row)
      if (list.Rows[row].Selected)
        selection.select(model.index(row, 0), model.index(row, model.columnCount() - 1));
    view->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (list.FocusedRow >= 0 && list.FocusedRow < list.RowCount())
      view->selectionModel()->setCurrentIndex(model.index(list.FocusedRow, 0), QItemSelectionModel::NoUpdate);
  }
  Filling = false;
  ShowSortIndicator(page);
  NoteSelection();
}

void TLibrarySheet::SelectionChanged(int page) {
  if (Filling || Player.Library().Flags.ListsStale) return;
  TLibraryList& list = Player.Search().List(static_cast<TLibraryPage>(page));
  QItemSelectionModel* selection = LibraryViews[page]->selectionModel();
  for (int row = 0; row < list.RowCount(); ++row) list.Rows[row].Selected = false;
  for (const QModelIndex& index : selection->selectedRows())
    if (index.row() < list.RowCount()) list.Rows[index.row()].Selected = true;
  list.FocusedRow = selection->currentIndex().isValid() ? selection->currentIndex().row() : -1;
  NoteSelection();
}

void TLibrarySheet::NoteSelection() {
  if (SelectionObserver) SelectionObserver();
}

int TLibrarySheet::SelectedCount(int page) const {
  return static_cast<int>(LibraryViews[page]->selectionModel()->selectedRows().size());
}

void TLibrarySheet::ActivateRow(int page, int row) {
  const TLibraryList& list = Player.Search().List(static_cast<TLibraryPage>(page));
  if (Player.Library().Flags.ListsStale || row < 0 || row >= list.RowCount()) return;
  if (list.Rows[row].Kind == TRowKind::rkNoItems) return;
  Player.Guarded([&] {
    TLibraryCommands& commands = Player.LibraryCommands();
    switch (page) {
      case lpArtists:
        Navigator.OpenArtist(list.ArtistAt(row), TArtistOpen::aoDefault);
        break;
      case lpAlbums:
        Navigator.OpenAlbum(list.AlbumAt(row));
        break;
      case lpTracks:
      case lpVideos:
        if (SelectedCount(page) < 2)
          commands.PlayAll(list);
        else
          commands.PlaySelected(list);
        break;
      case lpPlaylists:
        if (const TLibraryItem* item = list.ItemAt(row)) commands.PlayPlaylist(std::string(item->Path()));
        break;
    }
  });
}

// ---- Sorting and columns --------------------------------------------------------------

void TLibrarySheet::HeaderClicked(int page, int column) {
  TLibraryList& list = Player.Search().List(static_cast<TLibraryPage>(page));
  const int key = LibraryModels[page]->ColumnKey(column);
  Player.Search().SortList(static_cast<TLibraryPage>(page), ClickedSortTag(list.SortTag, key));
  ListRefilled(page);
}

void TLibrarySheet::ShowSortIndicator(int page) {
  const int tag = Player.Search().List(static_cast<TLibraryPage>(page)).SortTag;
  QHeaderView* header = LibraryViews[page]->header();
  const int column = tag == 0 ? -1 : LibraryModels[page]->KeyColumn(std::abs(tag) - 1);
  header->setSortIndicatorShown(column >= 0);
  if (column >= 0) header->setSortIndicator(column, tag > 0 ? Qt::AscendingOrder : Qt::DescendingOrder);
}

QMenu* TLibrarySheet::ColumnMenu() {
  if (HeaderMenu) return HeaderMenu;
  HeaderMenu = new QMenu(this);
  HeaderMenu->setObjectName("ListViewHeaderPopupMenu");
  for (int field = tfTitle; field < kTrackFieldCount; ++field) {
    QAction* action = HeaderMenu->addAction(QString::fromUtf8(
        TrackFieldInfo(field).Caption.data(), static_cast<qsizetype>(TrackFieldInfo(field).Caption.size())));
    action->setCheckable(true);
    action->setData(field);
    if (field == tfTitle) {
      action->setChecked(true);
      action->setEnabled(false);
      continue;
    }
    connect(action, &QAction::toggled, this, [this, field](bool shown) { TrackColumnToggled(field, shown); });
  }
  const auto markShown = [this] {
    TTrackColumns columns(Player.Settings().TrackColumns);
    for (QAction* action : HeaderMenu->actions()) {
      const QSignalBlocker block(action);
      action->setChecked(columns.Shown(action->data().toInt()));
    }
  };
  markShown();
  connect(HeaderMenu, &QMenu::aboutToShow, this, markShown);
  return HeaderMenu;
}

void TLibrarySheet::TrackColumnToggled(int field, bool shown) {
  TSettings& s = Player.Settings();
  TTrackColumns(s.TrackColumns).SetShown(field, shown);
  RebuildTrackColumns(s.ListLayouts[LayoutOfPage[lpTracks]], s.TrackColumns);
  TLibraryList& tracks = Player.Search().List(lpTracks);
  // The sort stays on its field while that is shown.
  if (tracks.SortTag != 0 && !TTrackColumns(s.TrackColumns).Shown(std::abs(tracks.SortTag) - 1))
    tracks.SortTag = 0;
  LibraryModels[lpTracks]->ColumnsChanged();
  QHeaderView* header = LibraryViews[lpTracks]->header();
  const std::vector<TListColumn>& columns = s.ListLayouts[LayoutOfPage[lpTracks]].Columns;
  for (int i = 0; i < static_cast<int>(columns.size()) && i < header->count(); ++i)
    header->resizeSection(i, columns[i].Width);
  Player.Guarded([&] { Player.Search().RefreshLibraryLists(false); });
  ShowSortIndicator(lpTracks);
}

// ---- Settings ---------------------------------------------------------------------------

void TLibrarySheet::ApplySettings(const TSettings& settings) {
  LibraryModels[lpTracks]->ColumnsChanged();
  for (int page = 0; page < kLibraryPageCount; ++page) {
    const TListLayout& layout = settings.ListLayouts[LayoutOfPage[page]];
    Player.Search().SortList(static_cast<TLibraryPage>(page), layout.Tag);
    QHeaderView* header = LibraryViews[page]->header();
    const int count = std::min<int>(header->count(), static_cast<int>(layout.Columns.size()));
    for (int i = 0; i < count; ++i) header->resizeSection(i, layout.Columns[i].Width);
    for (int place = 0; place < count; ++place)
      for (int i = 0; i < count; ++i)
        if (layout.Columns[i].Position == place) header->moveSection(header->visualIndex(i), place);
    ListRefilled(page);
  }
  ApplyViewMode();
}

void TLibrarySheet::StoreSettings(TSettings& settings) const {
  for (int page = 0; page < kLibraryPageCount; ++page) {
    TListLayout& layout = settings.ListLayouts[LayoutOfPage[page]];
    layout.Tag = Player.Search().List(static_cast<TLibraryPage>(page)).SortTag;
    const QHeaderView* header = LibraryViews[page]->header();
    layout.Columns.resize(static_cast<size_t>(header->count()));
    for (int i = 0; i < header->count(); ++i) {
      // A column hidden by the list mode keeps its width.
      if (!header->isSectionHidden(i)) layout.Columns[i].Width = header->sectionSize(i);
      layout.Columns[i].Position = header->visualIndex(i);
    }
  }
}

void TLibrarySheet::ToggleListMode() {
  uint8_t& mode = Player.Settings().LibraryViewMode;
  mode = mode == 0 ? 1 : 0;
  ApplyViewMode();
  FocusCurrentList();
}

void TLibrarySheet::ApplyViewMode() {
  const bool details = Player.Settings().LibraryViewMode == 1;
  ToggleListButton->setToolTip(details ? "Show list" : "Show details");
  for (int page = 0; page < kLibraryPageCount; ++page) {
    if (page == lpTracks) continue;  // always details
    QHeaderView* header = LibraryViews[page]->header();
    header->setVisible(details);
    for (int i = 1; i < header->count(); ++i) header->setSectionHidden(i, !details);
  }
}

// ---- Keys and mouse ---------------------------------------------------------------------

bool TLibrarySheet::eventFilter(QObject* watched, QEvent* event) {
  if (watched == SearchEdit) {
    if (event->type() == QEvent::FocusOut) Player.Guarded([&] { Navigator.SearchEditExit(); });
    if (event->type() == QEvent::KeyPress) {
      auto* key = static_cast<QKeyEvent*>(event);
      if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && !SearchEdit->text().isEmpty()) {
        SearchTimer->stop();
        Player.Guarded([&] {
          Navigator.RunTypedSearch();
          Navigator.SearchEditReturn();
        });
        const int page = CurrentList();
        ActivateRow(page, Player.Search().List(static_cast<TLibraryPage>(page)).FocusedRow);
        return true;
      }
    }
    return QWidget::eventFilter(watched, event);
  }
  for (int page = 0; page < kLibraryPageCount; ++page) {
    if (event->type() == QEvent::KeyPress && watched == LibraryViews[page])
      return ListKey(page, static_cast<QKeyEvent*>(event)) || QWidget::eventFilter(watched, event);
  }
  return QWidget::eventFilter(watched, event);
}

bool TLibrarySheet::ListKey(int page, QKeyEvent* event) {
  const int key = event->key();
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    ActivateRow(page, LibraryViews[page]->currentIndex().row());
    return true;
  }
  if (key == Qt::Key_Delete && page == lpPlaylists) {
    const TLibraryList& list = Player.Search().List(lpPlaylists);
    const int row = TLibraryCommands::SelectedRow(list);
    if (row >= 0 && !Player.Library().Flags.ListsStale)
      Player.Guarded([&] { Player.LibraryCommands().DeletePlaylist(std::string(list.ItemAt(row)->Path())); });
    return true;
  }
  if (key == Qt::Key_Backspace && page != lpPlaylists) {
    Player.Guarded([&] { Navigator.HistoryBack(); });
    return true;
  }
  const QString text = event->text();
  const bool printable = text.size() == 1 && text[0].unicode() >= 32 && text[0].unicode() < 127;
  if (!printable || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) return false;
  TypeToSearch(text);
  return true;
}

void TLibrarySheet::TypeToSearch(const QString& text) {
  TopPanel->setVisible(true);
  SearchEdit->setFocus();
  SearchEdit->setText(text);
  SearchEdit->setCursorPosition(static_cast<int>(text.size()));
  SearchTimer->stop();
  Player.Guarded([&] { Navigator.RunTypedSearch(); });
}

// ---- Small accessors --------------------------------------------------------------------

int TLibrarySheet::CurrentList() const { return LibraryPageControl->currentIndex(); }

void TLibrarySheet::ShowList(int page) { LibraryPageControl->setCurrentIndex(page); }

QString TLibrarySheet::ListCaption(int page) const { return LibraryPageControl->tabText(page); }

void TLibrarySheet::FocusCurrentList() { LibraryViews[CurrentList()]->setFocus(); }

std::string TLibrarySheet::SearchText() const { return SearchEdit->text().toStdString(); }

void TLibrarySheet::SetTopPanelShown(bool shown) { TopPanel->setVisible(shown); }

void TLibrarySheet::SetListMenus(const std::array<QMenu*, kLibraryPageCount>& menus) {
  for (int page = 0; page < kLibraryPageCount; ++page) {
    QTreeView* view = LibraryViews[page];
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(view, &QWidget::customContextMenuRequested, this, [view, menu = menus[page]](const QPoint& at) {
      PopupMenu(menu, view->viewport()->mapToGlobal(at));
    });
  }
}

void TLibrarySheet::SetClearSearchBoxAction(QAction* action) {
  action->setEnabled(!SearchEdit->text().isEmpty());
  connect(SearchEdit, &QLineEdit::textChanged, action,
          [action](const QString& text) { action->setEnabled(!text.isEmpty()); });
  connect(action, &QAction::triggered, SearchEdit, &QLineEdit::clear);
}

void TLibrarySheet::SetHistoryActions(QAction* back, QAction* forward) {
  BackAction = back;
  ForwardAction = forward;
  connect(back, &QAction::triggered, this, [this] { Player.Guarded([&] { Navigator.HistoryBack(); }); });
  connect(forward, &QAction::triggered, this,
          [this] { Player.Guarded([&] { Navigator.HistoryForward(); }); });
  HistoryChanged();
}

}  // namespace tunevale
