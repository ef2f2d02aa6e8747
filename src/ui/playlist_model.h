// The playlist list's item model: a thin adapter turning the playlist's change
// records into Qt's row notifications. The rows, captions, markers and the
// selection live in TPlaylist; this only shows them.
#pragma once

#include <QAbstractListModel>
#include <QIcon>
#include <array>

#include "playlist/playlist.h"

namespace tunevale {

class TPlaylistModel final : public QAbstractListModel, private TPlaylistListener {
 public:
  explicit TPlaylistModel(TPlaylist& playlist, QObject* parent = nullptr);
  ~TPlaylistModel() override;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  void PlaylistRowsChanged(const TPlaylistChange& change) override;

  TPlaylist& Playlist;
  std::array<QIcon, 3> Markers;
  int Shown = 0;  // rows Qt knows about; removals arrive after the rows went
};

}  // namespace tunevale
