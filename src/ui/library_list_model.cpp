#include "ui/library_list_model.h"

#include "library/album.h"
#include "library/artist.h"
#include "library/track.h"

namespace tunevale {

namespace {

constexpr const char* Unknown = "<unknown>";

struct TColumns {
  int Count;
  const char* Captions[3];
};

// Captions per page: artists, albums, tracks, videos, playlists.
constexpr TColumns PageColumns[kLibraryPageCount] = {
    {2, {"Name", "Album count", nullptr}},
    {3, {"Album", "Artist", "Track count"}},
    {1, {"Title", nullptr, nullptr}},
    {2, {"Name", "Location", nullptr}},
    {2, {"Name", "Location", nullptr}},
};

std::string OrUnknown(std::string_view text) { return text.empty() ? Unknown : std::string(text); }

}  // namespace

TLibraryListModel::TLibraryListModel(const TLibrary& library, const TLibraryList& list, QObject* parent)
    : QAbstractTableModel(parent), Library(library), List(list) {}

void TLibraryListModel::Refilled() {
  beginResetModel();
  endResetModel();
}

int TLibraryListModel::rowCount(const QModelIndex& parent) const {
  // Rows may point at entries a library change destroyed until the refill.
  if (parent.isValid() || Library.Flags.ListsStale) return 0;
  return List.RowCount();
}

int TLibraryListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : PageColumns[List.Page].Count;
}

std::string TLibraryListModel::CellText(int row, int column) const {
  const TLibraryRow& r = List.Rows[static_cast<size_t>(row)];
  if (r.Kind == TRowKind::rkAll) return column == 0 ? std::string(kAllRowCaption) : std::string();
  if (r.Kind == TRowKind::rkNoItems) return column == 0 ? std::string(kNoItemsRowCaption) : std::string();
  switch (List.Page) {
    case lpArtists: {
      const TArtist* artist = List.ArtistAt(row);
      return column == 0 ? OrUnknown(artist->Name()) : std::to_string(artist->AlbumCount());
    }
    case lpAlbums: {
      const TAlbum* album = List.AlbumAt(row);
      const std::string& artistName = album->Artist()->Name();
      if (column == 1) return artistName;
      if (column == 2) return std::to_string(album->TrackCount());
      std::string caption = OrUnknown(album->Name());
      // Albums that cannot be told apart by name carry their artist.
      if (!artistName.empty() && (album->Name().empty() || album->DuplicateName()))
        caption += " (" + artistName + ")";
      return caption;
    }
    case lpTracks:
      return std::string(List.TrackAt(row)->Name());
    case lpVideos:
    case lpPlaylists: {
      const TLibraryItem* item = List.ItemAt(row);
      return std::string(column == 0 ? item->Name() : item->Path());
    }
  }
  return {};
}

QVariant TLibraryListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || Library.Flags.ListsStale || index.row() >= List.RowCount()) return {};
  if (role == Qt::DisplayRole) return QString::fromStdString(CellText(index.row(), index.column()));
  const bool numeric = (List.Page == lpArtists && index.column() == 1) || (List.Page == lpAlbums && index.column() == 2);
  if (role == Qt::TextAlignmentRole && numeric) return int(Qt::AlignRight | Qt::AlignVCenter);
  return {};
}

QVariant TLibraryListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section >= PageColumns[List.Page].Count) return {};
  return QString::fromUtf8(PageColumns[List.Page].Captions[section]);
}

}  // namespace tunevale
