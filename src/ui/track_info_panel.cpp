#include "ui/track_info_panel.h"

#include <QLabel>
#include <QMouseEvent>
#include <QToolButton>
#include <algorithm>

#include "app/player.h"
#include "ui/glyphs.h"
#include "ui/tool_button.h"

namespace tunevale {

TTrackInfoPanel::TTrackInfoPanel(TPlayer& player, QWidget* parent) : QFrame(parent), Player(player) {
  setObjectName("TrackInfoPanel");
  setFixedHeight(Height);
  setStyleSheet(
      "#TrackInfoPanel { background: #6D83AC; border: 1px solid #001561; } QLabel { color: white; }");
  const auto label = [this](const char* name) {
    auto* l = new QLabel(this);
    l->setObjectName(name);
    return l;
  };
  TitleLabel = label("TitleLabel");
  QFont bold = TitleLabel->font();
  bold.setBold(true);
  TitleLabel->setFont(bold);
  SubtitleLabel = label("SubtitleLabel");
  TimeLabel = label("TimeLabel");
  VersionLabel = label("VersionLabel");
  VersionLabel->setText(VersionLabelText);
  HideInTrayButton = ToolButton(this, "HideInTrayButton", "Hide in tray", GlyphIcon(TGlyph::HideInTray));
  HideInTrayButton->setFixedSize(16, 16);
}

void TTrackInfoPanel::OnHideInTray(std::function<void()> handler) {
  connect(HideInTrayButton, &QToolButton::clicked, this, std::move(handler));
}

void TTrackInfoPanel::OnDoubleClick(std::function<void()> handler) { DoubleClicked = std::move(handler); }

void TTrackInfoPanel::ShowNowPlaying() {
  const TPlaybackController& c = Player.Controller();
  TitleLabel->setText(QString::fromStdString(c.TitleLabel()));
  SubtitleLabel->setText(QString::fromStdString(c.SubtitleLabel()));
  TimeLabel->setText(QString::fromStdString(c.TimeLabel()));
  PlaceControls();
}

void TTrackInfoPanel::PlaceControls() {
  const int w = width();
  HideInTrayButton->move(w - HideInTrayButton->width() - 1, 1);
  TitleLabel->setGeometry(8, 4, std::max(0, w - 8 - 20), 16);
  SubtitleLabel->setGeometry(8, 20, std::max(0, w - 16), 16);
  TimeLabel->setGeometry(8, 36, TimeLabel->sizeHint().width(), 16);
  VersionLabel->adjustSize();
  VersionLabel->move(w - VersionLabel->width() - 8, 36);
  VersionLabel->setVisible(!Player.Settings().HideVersionLabel &&
                           TimeLabel->x() + TimeLabel->width() < VersionLabel->x());
}

bool TTrackInfoPanel::TitleFits(const std::string& title) const {
  const int right = HideInTrayButton->x();
  return TitleLabel->x() + TitleLabel->fontMetrics().horizontalAdvance(QString::fromStdString(title)) < right;
}

void TTrackInfoPanel::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  PlaceControls();
}

void TTrackInfoPanel::mouseDoubleClickEvent(QMouseEvent* event) {
  if (DoubleClicked) DoubleClicked();
  event->accept();
}

}  // namespace tunevale
