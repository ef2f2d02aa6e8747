#include "ui/playlist_model.h"

#include <algorithm>

#include "ui/glyphs.h"

namespace tunevale {

TPlaylistModel::TPlaylistModel(TPlaylist& playlist, QObject* parent)
    : QAbstractListModel(parent),
      Playlist(playlist),
      Markers{GlyphIcon(TGlyph::NormalMarker), GlyphIcon(TGlyph::NowPlayingMarker), GlyphIcon(TGlyph::FailedMarker)},
      Shown(playlist.Count()) {
  Playlist.AddListener(this);
}

TPlaylistModel::~TPlaylistModel() { Playlist.RemoveListener(this); }

int TPlaylistModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : Shown; }

QVariant TPlaylistModel::data(const QModelIndex& index, int role) const {
  const int row = index.row();
  if (!index.isValid() || row >= Playlist.Count()) return {};
  const TPlaylistRow& r = Playlist.Row(row);
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
      return QString::fromStdString(r.Caption);
    case Qt::DecorationRole:
      return Markers[static_cast<size_t>(std::clamp(r.ImageIndex, 0, 2))];
    default:
      return {};
  }
}

Qt::ItemFlags TPlaylistModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::ItemIsDropEnabled;
  return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void TPlaylistModel::PlaylistRowsChanged(const TPlaylistChange& change) {
  switch (change.Kind) {
    case pcInserted:
      if (change.Count <= 0) break;
      beginInsertRows({}, change.Index, change.Index + change.Count - 1);
      Shown += change.Count;
      endInsertRows();
      break;
    case pcChanged:
      if (change.Count > 0 && change.Index + change.Count <= Shown)
        emit dataChanged(index(change.Index), index(change.Index + change.Count - 1));
      break;
    case pcRemoved:
      if (change.Count <= 0 || change.Index + change.Count > Shown) break;
      beginRemoveRows({}, change.Index, change.Index + change.Count - 1);
      Shown -= change.Count;
      endRemoveRows();
      break;
    case pcReset:
      beginResetModel();
      Shown = Playlist.Count();
      endResetModel();
      break;
  }
}

}  // namespace tunevale
