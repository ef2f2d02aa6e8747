// The item model of one library list (artists, albums, tracks, videos or
// playlists) over the search driver's rows. The rows point into the library:
// nothing is read while the lists are stale, and the model is reset after
// every refill.
#pragma once

#include <QAbstractTableModel>

#include "library/library.h"
#include "library/library_search.h"

namespace tunevale {

class TLibraryListModel final : public QAbstractTableModel {
 public:
  TLibraryListModel(const TLibrary& library, const TLibraryList& list, QObject* parent = nullptr);

  // The list got new rows.
  void Refilled();

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  // The caption and sub-item texts of a row as the list shows them.
  std::string CellText(int row, int column) const;

 private:
  const TLibrary& Library;
  const TLibraryList& List;
};

}  // namespace tunevale
