#include "ui/library_statistics_form.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <string>

#include "library/library_statistics.h"

namespace tunevale {

TLibraryStatisticsForm::TLibraryStatisticsForm(const TLibraryStatistics& s, QWidget* owner)
    : TTesselDialogForm(owner) {
  setWindowTitle("Library statistics");
  const struct {
    const char* Caption;
    const char* Name;
    std::string Value;
    int GapBefore;  // a wider gap starts a group
  } rows[] = {
      {"Artist count:", "ArtistCountEdit", std::to_string(s.ArtistCount), 0},
      {"Album count:", "AlbumCountEdit", std::to_string(s.AlbumCount), 0},
      {"Track count:", "TrackCountEdit", std::to_string(s.TrackCount), 0},
      {"Video count:", "VideoCountEdit", std::to_string(s.VideoCount), 0},
      {"Artist with most albums:", "MostAlbumsEdit", s.MostAlbums, 10},
      {"Artist with most tracks:", "MostTracksEdit", s.MostTracks, 0},
      {"Total track length (MP3 only):", "TotalLengthEdit", s.TotalLength, 10},
      {"Artist with longest track length:", "LongestArtistLengthEdit", s.LongestArtistLength, 0},
  };
  constexpr int LabelWidth = 216, EditWidth = 200, RowHeight = 26;
  int top = 12;
  for (const auto& row : rows) {
    top += row.GapBefore;
    auto* label = new QLabel(row.Caption, this);
    label->setGeometry(12, top + 3, LabelWidth, 18);
    auto* edit = new QLineEdit(QString::fromStdString(row.Value), this);
    edit->setObjectName(row.Name);
    edit->setReadOnly(true);
    edit->setGeometry(12 + LabelWidth, top, EditWidth, 22);
    edit->setCursorPosition(0);
    top += RowHeight;
  }
  setFixedSize(12 + LabelWidth + EditWidth + 12, top + 8 + BandHeight);
  auto* close = new QPushButton("Close", this);
  close->setObjectName("CloseButton");
  close->setDefault(true);
  close->setGeometry(width() - 75 - 10, height() - 23 - 9, 75, 23);
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  close->setFocus();
}

}  // namespace tunevale
