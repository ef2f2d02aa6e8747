#include "ui/library_list_model.h"

#include <QMimeData>
#include <QUrl>
#include <algorithm>

#include "library/album.h"
#include "library/artist.h"
#include "library/track.h"

namespace tunevale {

namespace {

struct TColumns {
  int Count;
  const char* Captions[3];
};

// Captions per page: artists, albums, tracks (Title only; the table adds the rest), videos, playlists.
constexpr TColumns PageColumns[kLibraryPageCount] = {
    {2, {"Name", "Album count", nullptr}},
    {3, {"Album", "Artist", "Track count"}},
    {1, {"Title", nullptr, nullptr}},
    {2, {"Name", "Location", nullptr}},
    {2, {"Name", "Location", nullptr}},
};

QString Text(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

TLibraryListModel::TLibraryListModel(const TLibrary& library, const TLibraryList& list,
                                     TTrackColumns::TTable& trackColumns, QObject* parent)
    : QAbstractTableModel(parent), Library(library), List(list), TrackTable(trackColumns) {
  TrackFields = TTrackColumns(TrackTable).Fields();
}

void TLibraryListModel::Refilled() {
  beginResetModel();
  endResetModel();
}

void TLibraryListModel::ColumnsChanged() {
  beginResetModel();
  TrackFields = TTrackColumns(TrackTable).Fields();
  endResetModel();
}

int TLibraryListModel::ColumnKey(int column) const {
  return List.Page == lpTracks && column >= 0 && column < static_cast<int>(TrackFields.size())
             ? TrackFields[column]
             : column;
}

int TLibraryListModel::KeyColumn(int key) const {
  if (List.Page != lpTracks) return key;
  const auto it = std::find(TrackFields.begin(), TrackFields.end(), key);
  return it == TrackFields.end() ? -1 : static_cast<int>(it - TrackFields.begin());
}

int TLibraryListModel::rowCount(const QModelIndex& parent) const {
  // Rows may point at entries a library change destroyed until the refill.
  if (parent.isValid() || Library.Flags.ListsStale) return 0;
  return List.RowCount();
}

int TLibraryListModel::columnCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return List.Page == lpTracks ? static_cast<int>(TrackFields.size()) : PageColumns[List.Page].Count;
}

bool TLibraryListModel::Numeric(int column) const {
  if (List.Page == lpTracks) return TrackFieldInfo(ColumnKey(column)).Numeric;
  return (List.Page == lpArtists && column == 1) || (List.Page == lpAlbums && column == 2);
}

QString TLibraryListModel::CellText(int row, int column) const {
  const TLibraryRow& r = List.Rows[static_cast<size_t>(row)];
  if (r.Kind == TRowKind::rkAll) return column == 0 ? Text(kAllRowCaption) : QString();
  if (r.Kind == TRowKind::rkNoItems) return column == 0 ? Text(kNoItemsRowCaption) : QString();
  switch (List.Page) {
    case lpArtists: {
      const TArtist* artist = List.ArtistAt(row);
      if (column == 1) return QString::number(artist->AlbumCount());
      return artist->Name().empty() ? QStringLiteral("<unknown>") : Text(artist->Name());
    }
    case lpAlbums: {
      const TAlbum* album = List.AlbumAt(row);
      if (column == 1) return Text(album->Artist()->Name());
      if (column == 2) return QString::number(album->TrackCount());
      return Text(album->Caption());
    }
    case lpTracks: {
      std::array<char, 24> buffer;
      return Text(TrackCellText(*List.TrackAt(row), ColumnKey(column), buffer));
    }
    case lpVideos:
    case lpPlaylists: {
      const TLibraryItem* item = List.ItemAt(row);
      return Text(column == 0 ? item->Name() : item->Path());
    }
  }
  return {};
}

QVariant TLibraryListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || Library.Flags.ListsStale || index.row() >= List.RowCount()) return {};
  if (role == Qt::DisplayRole) return CellText(index.row(), index.column());
  if (role == Qt::TextAlignmentRole && Numeric(index.column())) return int(Qt::AlignRight | Qt::AlignVCenter);
  return {};
}

QVariant TLibraryListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
  if (role == Qt::TextAlignmentRole && Numeric(section)) return int(Qt::AlignRight | Qt::AlignVCenter);
  if (role != Qt::DisplayRole) return {};
  if (List.Page == lpTracks) return Text(TrackFieldInfo(ColumnKey(section)).Caption);
  return QString::fromUtf8(PageColumns[List.Page].Captions[section]);
}

Qt::ItemFlags TLibraryListModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags f = QAbstractTableModel::flags(index);
  // Every list but the playlists can be dragged onto the window.
  if (index.isValid() && List.Page != lpPlaylists) f |= Qt::ItemIsDragEnabled;
  return f;
}

QStringList TLibraryListModel::mimeTypes() const { return {QStringLiteral("text/uri-list")}; }

QMimeData* TLibraryListModel::mimeData(const QModelIndexList& indexes) const {
  std::vector<int> rows;
  for (const QModelIndex& index : indexes)
    if (index.isValid() && index.row() < List.RowCount()) rows.push_back(index.row());
  std::sort(rows.begin(), rows.end());
  rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
  QList<QUrl> urls;
  const auto add = [&](std::string_view path) { urls.push_back(QUrl::fromLocalFile(Text(path))); };
  for (const int row : rows) {
    if (Library.Flags.ListsStale) break;
    if (const TArtist* artist = List.ArtistAt(row)) {
      for (int b = 0; b < artist->AlbumCount(); ++b)
        for (int t = 0; t < artist->Album(b)->TrackCount(); ++t) add(artist->Album(b)->Track(t)->Path());
    } else if (const TAlbum* album = List.AlbumAt(row)) {
      for (int t = 0; t < album->TrackCount(); ++t) add(album->Track(t)->Path());
    } else if (const TLibraryItem* item = List.Page == lpTracks ? List.TrackAt(row) : List.ItemAt(row)) {
      add(item->Path());
    }
  }
  auto* data = new QMimeData;
  data->setUrls(urls);
  return data;
}

}  // namespace tunevale
