#include "ui/library_sheet.h"

#include <QAction>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include "app/player.h"
#include "ui/busy_indicator.h"
#include "ui/library_list_model.h"
#include "ui/main_menus.h"

namespace tunevale {

namespace {

constexpr int SearchDelayMs = 250;

}  // namespace

TLibrarySheet::TLibrarySheet(TPlayer& player, QWidget* parent) : QWidget(parent), Player(player) {
  setObjectName("TabSheet2");
  for (int page = 0; page < kLibraryPageCount; ++page)
    LibraryModels[page] = std::make_unique<TLibraryListModel>(
        Player.Library(), Player.Search().List(static_cast<TLibraryPage>(page)));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(CreateTopPanel());
  CreateLists();
  layout->addWidget(LibraryPageControl, 1);
}

TLibrarySheet::~TLibrarySheet() = default;

QWidget* TLibrarySheet::CreateTopPanel() {
  auto* top = TopPanel = new QWidget(this);
  top->setObjectName("LibraryTopPanel");
  top->setFixedHeight(30);
  auto* topLayout = new QHBoxLayout(top);
  topLayout->setContentsMargins(4, 2, 4, 2);
  SearchEdit = new QLineEdit(top);
  SearchEdit->setObjectName("SearchEdit");
  // The placeholder shows while the box is empty; SearchText() then is "".
  SearchEdit->setPlaceholderText("Search");
  SearchEdit->setClearButtonEnabled(true);
  LibraryBusyIndicator = new TBusyIndicator(
      Player, "LibraryBusyImage", [this] { Player.Library().Flags.CancelCrawl = true; }, top);
  topLayout->addWidget(LibraryBusyIndicator);
  topLayout->addWidget(SearchEdit, 1);
  SearchTimer = new QTimer(this);
  SearchTimer->setSingleShot(true);
  SearchTimer->setInterval(SearchDelayMs);
  connect(SearchEdit, &QLineEdit::textChanged, SearchTimer, qOverload<>(&QTimer::start));
  connect(SearchTimer, &QTimer::timeout, this,
          [this] { Player.Guarded([&] { Player.Search().RefreshLibraryLists(false); }); });
  return top;
}

void TLibrarySheet::CreateLists() {
  LibraryPageControl = new QTabWidget(this);
  LibraryPageControl->setObjectName("LibraryPageControl");
  LibraryPageControl->setDocumentMode(true);
  const char* captions[kLibraryPageCount] = {"Artists", "Albums", "Tracks", "Videos", "Playlists"};
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
    view->header()->setStretchLastSection(true);
    LibraryViews[i] = view;
    LibraryPageControl->addTab(view, captions[i]);
  }
  connect(LibraryPageControl, &QTabWidget::currentChanged, this, [this](int index) { ListChanged(index); });
}

void TLibrarySheet::ListChanged(int page) {
  if (SearchText() != Player.Search().List(static_cast<TLibraryPage>(page)).QueryText)
    Player.Guarded([&] { Player.Search().RefreshLibraryLists(true); });
  Player.LibrarySaveTimer().SetEnabled(false);
  Player.LibrarySaveTimer().SetEnabled(true);
}

void TLibrarySheet::BusyChanged(bool busy, const std::string& text) {
  LibraryBusyIndicator->SetBusy(busy, text);
}

void TLibrarySheet::ListRefilled(int page) {
  if (page < 0 || page >= kLibraryPageCount) return;
  LibraryModels[page]->Refilled();
  const int focused = Player.Search().List(static_cast<TLibraryPage>(page)).FocusedRow;
  if (focused >= 0 && focused < LibraryModels[page]->rowCount())
    LibraryViews[page]->setCurrentIndex(LibraryModels[page]->index(focused, 0));
}

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

}  // namespace tunevale
