// The item model of one library list (artists, albums, tracks, videos or
// playlists) over the search driver's rows. The rows point into the library:
// nothing is read while the lists are stale, and the model is reset after
// every refill. The tracks list's columns follow the column table.
#pragma once

#include <QAbstractTableModel>
#include <vector>

#include "library/library.h"
#include "library/library_search.h"
#include "library/track_columns.h"

namespace tunevale {

class TLibraryListModel final : public QAbstractTableModel {
 public:
  // `trackColumns` is the settings' table; only the tracks list reads it.
  TLibraryListModel(const TLibrary& library, const TLibraryList& list, TTrackColumns::TTable& trackColumns,
                    QObject* parent = nullptr);

  // The list got new rows (or a new order).
  void Refilled();
  // The tracks list's column table changed.
  void ColumnsChanged();
  // The sort key of a column: the field on the tracks list, else the column.
  int ColumnKey(int column) const;
  int KeyColumn(int key) const;

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  QStringList mimeTypes() const override;
  // The files of the rows as "file://" addresses (what a drop on the window takes).
  QMimeData* mimeData(const QModelIndexList& indexes) const override;

  // The caption and sub-item texts of a row as the list shows them.
  QString CellText(int row, int column) const;

 private:
  bool Numeric(int column) const;

  const TLibrary& Library;
  const TLibraryList& List;
  TTrackColumns::TTable& TrackTable;
  std::vector<int> TrackFields;
};

}  // namespace tunevale
