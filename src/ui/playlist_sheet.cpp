#include "ui/playlist_sheet.h"

#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QListView>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "app/player.h"
#include "ui/add_url_form.h"
#include "ui/busy_indicator.h"
#include "ui/glyphs.h"
#include "ui/main_menus.h"
#include "ui/playlist_model.h"
#include "ui/tool_button.h"
#include "util/text.h"

namespace tunevale {

QString QtOpenFilter(const std::string& filter) {
  const std::vector<std::string> parts = Split(filter, '|');
  QStringList entries;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) {
    std::string patterns = parts[i + 1];
    std::replace(patterns.begin(), patterns.end(), ';', ' ');
    entries << QString::fromStdString(parts[i] + " (" + patterns + ")");
  }
  return entries.join(";;");
}

TPlaylistSheet::TPlaylistSheet(TPlayer& player, QWidget* parent)
    : QWidget(parent), Player(player), PlaylistModel(std::make_unique<TPlaylistModel>(player.Playlist())) {
  setObjectName("TabSheet1");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(CreateTopPanel());
  layout->addWidget(CreateBody(), 1);
  Player.Playlist().AddListener(this);
  PlayModeChanged(Player.Playlist().PlayMode());
}

TPlaylistSheet::~TPlaylistSheet() { Player.Playlist().RemoveListener(this); }

QWidget* TPlaylistSheet::CreateTopPanel() {
  auto* top = TopPanel = new QWidget(this);
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
  auto* addButton = ToolButton(top, "AddButton", "Open", GlyphIcon(TGlyph::Open, Qt::darkGray));
  connect(addButton, &QToolButton::clicked, this, [this] { OpenActionExecute(); });
  PlaylistBusyIndicator = new TBusyIndicator(
      Player, "PlaylistBusyImage", [this] { Player.MediaAdder().CancelPlaylistActionActionExecute(); }, top);
  topLayout->addWidget(PlayModeComboBox);
  topLayout->addWidget(addButton);
  topLayout->addWidget(PlaylistBusyIndicator);
  topLayout->addStretch(1);
  ShowSidePanelsButton =
      ToolButton(top, "ShowSidePanelsButton", "", GlyphIcon(TGlyph::ShowSidePanels, Qt::darkGray));
  ShowSidePanelsButton->setFixedSize(15, 15);
  ShowSidePanelsButton->hide();
  connect(ShowSidePanelsButton, &QToolButton::clicked, this, [this] {
    if (SidePanelsToggle) SidePanelsToggle();
  });
  topLayout->addWidget(ShowSidePanelsButton);
  return top;
}

QWidget* TPlaylistSheet::CreateBody() {
  auto* body = new QWidget(this);
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
  connect(PlaylistListView, &QListView::doubleClicked, this, [this](const QModelIndex& index) {
    Player.Guarded([&] {
      Player.Playlist().SetItemIndex(index.row());
      Player.Playlist().PlaylistPlayActionExecute();
    });
  });
  bodyLayout->addWidget(PlaylistListView, 1);
  bodyLayout->addWidget(CreateSidePanel(body));
  return body;
}

QWidget* TPlaylistSheet::CreateSidePanel(QWidget* parent) {
  auto* side = SidePanel = new QWidget(parent);
  side->setObjectName("PlaylistSidePanel");
  side->installEventFilter(this);
  side->setFixedWidth(28);
  auto* sideLayout = new QVBoxLayout(side);
  sideLayout->setContentsMargins(2, 2, 2, 2);
  auto* clear = ToolButton(side, "RemoveButton", "Clear playlist", GlyphIcon(TGlyph::Clear, Qt::darkGray));
  connect(clear, &QToolButton::clicked, this, [this] { Player.Guarded([&] { Player.ClearPlaylist(); }); });
  auto* shuffle =
      ToolButton(side, "ShuffleButton", "Shuffle playlist", GlyphIcon(TGlyph::Shuffle, Qt::darkGray));
  connect(shuffle, &QToolButton::clicked, this,
          [this] { Player.Guarded([&] { Player.Playlist().ShuffleActionExecute(); }); });
  SortButton = ToolButton(side, "SortButton", "Sort", GlyphIcon(TGlyph::Sort, Qt::darkGray));
  SortButton->setPopupMode(QToolButton::InstantPopup);
  auto* save = ToolButton(side, "SavePlaylistButton", "Save playlist", GlyphIcon(TGlyph::Save, Qt::darkGray));
  connect(save, &QToolButton::clicked, this, [this] { SavePlaylistActionExecute(); });
  for (QToolButton* b : {clear, shuffle, SortButton, save}) sideLayout->addWidget(b);
  sideLayout->addStretch(1);
  return side;
}

void TPlaylistSheet::SetSortMenu(QMenu* menu) { SortButton->setMenu(menu); }

void TPlaylistSheet::SetContextMenu(QMenu* menu) {
  PlaylistListView->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(PlaylistListView, &QWidget::customContextMenuRequested, this,
          [this, menu](const QPoint& at) { PopupMenu(menu, PlaylistListView->viewport()->mapToGlobal(at)); });
}

void TPlaylistSheet::OnSidePanelsToggle(std::function<void()> toggle) {
  SidePanelsToggle = std::move(toggle);
}

void TPlaylistSheet::SetPanelsShown(bool topPanel, bool sidePanel) {
  TopPanel->setVisible(topPanel);
  SidePanel->setVisible(sidePanel);
  ShowSidePanelsButton->setVisible(!sidePanel);
}

void TPlaylistSheet::PlayModeChanged(uint8_t mode) {
  if (mode < PlayModeComboBox->count()) PlayModeComboBox->setCurrentIndex(mode);
}

void TPlaylistSheet::PlaylistBusyChanged(bool busy, const std::string& text) {
  PlaylistBusyIndicator->SetBusy(busy, text);
  // Long additions do not redraw the list row by row.
  PlaylistListView->setUpdatesEnabled(!busy);
}

void TPlaylistSheet::PlaylistRowsChanged(const TPlaylistChange& change) {
  if (change.Kind == pcRemoved) return;
  const int count = Player.Playlist().Count();
  if (change.Kind == pcReset)
    SyncPlaylistSelection(0, count - 1);
  else
    SyncPlaylistSelection(change.Index, std::min(change.Index + change.Count, count) - 1);
}

void TPlaylistSheet::SyncPlaylistSelection(int first, int last) {
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

void TPlaylistSheet::PlaylistViewSelectionChanged() {
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

bool TPlaylistSheet::OpenDialog(const char* caption, std::vector<std::string>& files) {
  const TSettings& s = Player.Settings();
  // With library folders the dialog starts in the music folder.
  const QString start = s.LibraryFolders.empty() ? QString() : QString::fromStdString(s.MyMusicFolder);
  const QStringList chosen = QFileDialog::getOpenFileNames(
      window(), caption, start, QtOpenFilter(BuildOpenFilter(Player.Extensions())));
  for (const QString& file : chosen) files.push_back(file.toStdString());
  return !chosen.isEmpty();
}

void TPlaylistSheet::OpenActionExecute() {
  Player.Guarded([&] {
    Player.MediaAdder().OpenActionExecute(
        [this](std::vector<std::string>& files) { return OpenDialog("Open", files); });
  });
}

void TPlaylistSheet::AddTracksActionExecute() {
  Player.Guarded([&] {
    Player.MediaAdder().AddTracksActionExecute(
        [this](std::vector<std::string>& files) { return OpenDialog("Add tracks", files); });
  });
}

void TPlaylistSheet::AddURLActionExecute() {
  TAddURLForm form(window());
  const bool confirmed = form.exec() == QDialog::Accepted;
  Player.Guarded([&] { Player.MediaAdder().AddURLActionExecute(confirmed, form.FileURL()); });
}

void TPlaylistSheet::AddFolderActionExecute() {
  const QString folder = QFileDialog::getExistingDirectory(window(), "Select the folder you want to add");
  Player.Guarded([&] { Player.MediaAdder().AddFolderActionExecute(folder.toStdString()); });
}

void TPlaylistSheet::SavePlaylistActionExecute() {
  static const QString xspf = "XSPF playlist (*.xspf)";
  QString chosenFilter;
  QString path = QFileDialog::getSaveFileName(window(), "Save playlist", QString(),
                                              "M3U playlist (*.m3u);;" + xspf, &chosenFilter);
  if (path.isEmpty()) return;
  // The chosen type gives a name without an extension its own; the extension picks the format.
  if (!QFileInfo(path).fileName().contains('.')) path += chosenFilter == xspf ? ".xspf" : ".m3u";
  Player.Guarded([&] { Player.PlaylistFile().WritePlaylistFile(path.toStdString()); });
}

bool TPlaylistSheet::eventFilter(QObject* watched, QEvent* event) {
  if (watched == SidePanel && event->type() == QEvent::MouseButtonDblClick) {
    if (SidePanelsToggle) SidePanelsToggle();
    return true;
  }
  if (watched != PlaylistListView || event->type() != QEvent::KeyPress)
    return QWidget::eventFilter(watched, event);
  const int key = static_cast<QKeyEvent*>(event)->key();
  if (key == Qt::Key_Delete) {
    Player.Guarded([&] { Player.Playlist().RemoveTracksActionExecute(); });
    return true;
  }
  if (key == Qt::Key_Return || key == Qt::Key_Enter) {
    Player.Guarded([&] { Player.Playlist().PlayItemIndex(); });
    return true;
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace tunevale
