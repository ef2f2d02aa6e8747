#include "ui/track_info_panel.h"

#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <algorithm>

#include "app/player.h"
#include "app/settings_values.h"
#include "app/window_rules.h"
#include "ui/glyphs.h"
#include "ui/main_menus.h"
#include "ui/skin_picture.h"
#include "ui/tool_button.h"

namespace tunevale {

namespace {

constexpr int LabelHeight = 16;
constexpr int TimeLabelBottomGap = 5;  // the time label is anchored to the bottom edge
// In the tray window: title at (4, 4), the time 2 pixels below it, 2 more under the time.
constexpr int TrayMargin = 4, TrayTimeTop = TrayMargin + LabelHeight + 2,
              TrayHeight = TrayTimeTop + LabelHeight + 2;
const QColor DesignFill(0x6D, 0x83, 0xAC);
const QColor DesignOutline(0x00, 0x15, 0x61);

QColor SkinColour(int32_t colour, const QColor& design) {
  const QColor c = QtColour(colour);
  return c.isValid() ? c : design;
}

}  // namespace

TTrackInfoPanel::TTrackInfoPanel(TPlayer& player, QWidget* parent) : QFrame(parent), Player(player) {
  setObjectName("TrackInfoPanel");
  setFixedHeight(TrackInfoPanelFullHeight);
  Fill = DesignFill;
  Outline = DesignOutline;
  SetFontColour(Qt::white);
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

void TTrackInfoPanel::SetHideInTrayHint(const std::string& hint) {
  HideInTrayButton->setToolTip(QString::fromStdString(hint));
}

void TTrackInfoPanel::OnHideInTray(std::function<void()> handler) {
  connect(HideInTrayButton, &QToolButton::clicked, this, std::move(handler));
}

void TTrackInfoPanel::OnDoubleClick(std::function<void()> handler) { DoubleClicked = std::move(handler); }

void TTrackInfoPanel::SetContextMenu(QMenu* menu) {
  setContextMenuPolicy(Qt::CustomContextMenu);
  connect(this, &QWidget::customContextMenuRequested, this,
          [this, menu](const QPoint& at) { PopupMenu(menu, mapToGlobal(at)); });
}

void TTrackInfoPanel::SetFontColour(const QColor& colour) {
  FontColour = colour;
  UpdateLook();
}

void TTrackInfoPanel::SetInTray(bool inTray, bool background) {
  InTray = inTray;
  TrayBackground = background;
  HideInTrayButton->setIcon(GlyphIcon(inTray ? TGlyph::ShowMainWindow : TGlyph::HideInTray));
  UpdateLook();
  ApplyHeight();
}

void TTrackInfoPanel::ApplyHeight() {
  setFixedHeight(InTray ? TrayHeight : TrackInfoPanelFullHeight - (Small ? SmallTopPanelShrink : 0));
  SubtitleLabel->setVisible(InTray || !Small);
  PlaceControls();
}

void TTrackInfoPanel::ApplySkin(const TSettings& settings) {
  Fill = SkinColour(settings.TopPanelBevelInner, DesignFill);
  Outline = SkinColour(settings.TopPanelBevelOuter, DesignOutline);
  SkinImage = settings.TopPanelImage.empty() ? QImage() : SkinPicture(settings.TopPanelImage);
  if (settings.TopPanelFontColor == clNone) SetFontColour(Qt::white);
  update();
}

void TTrackInfoPanel::UpdateLook() {
  // In the tray with its backdrop on, the tray window draws the picture behind.
  const QColor text = InTray && !TrayBackground ? QColor(Qt::white) : FontColour;
  setStyleSheet(QString("QLabel { color: %1; }").arg(text.name()));
  update();
}

void TTrackInfoPanel::paintEvent(QPaintEvent* event) {
  QFrame::paintEvent(event);
  if (InTray && TrayBackground) return;
  QPainter painter(this);
  if (InTray) {
    painter.fillRect(rect(), Qt::black);
    return;
  }
  painter.setPen(Outline);
  painter.setBrush(Fill);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  if (!SkinImage.isNull()) painter.drawImage(rect().adjusted(2, 2, -2, -2), SkinImage);
}

void TTrackInfoPanel::SetSmall(bool small) {
  Small = small;
  ApplyHeight();
}

void TTrackInfoPanel::ShowNowPlaying() {
  const TPlaybackController& c = Player.Controller();
  TitleLabel->setText(QString::fromStdString(c.TitleLabel()));
  SubtitleLabel->setText(QString::fromStdString(c.SubtitleLabel()));
  TimeLabel->setText(QString::fromStdString(c.TimeLabel()));
  PlaceControls();
}

void TTrackInfoPanel::LendLabels(QWidget* host, QPoint at) {
  LabelHost = host;
  LentAt = at;
  for (QLabel* label : {TitleLabel, TimeLabel}) {
    label->setParent(host ? host : this);
    // Away from the strip its colour rule no longer reaches them.
    const QColor colour = TrayBackground ? FontColour : QColor(Qt::white);
    label->setStyleSheet(host ? QString("color: %1;").arg(colour.name()) : QString());
    label->show();
  }
  PlaceControls();
}

void TTrackInfoPanel::PlaceInTray() {
  const int w = width();
  HideInTrayButton->move(w - HideInTrayButton->width(), 0);
  TitleLabel->setGeometry(TrayMargin, TrayMargin, std::max(0, HideInTrayButton->x() - 2 * TrayMargin),
                          LabelHeight);
  TimeLabel->setGeometry(TrayMargin, TrayTimeTop, TimeLabel->sizeHint().width(), LabelHeight);
  // Flush right; a long subtitle gives way to the time rather than cover it.
  const int room = w - TrayMargin - (TimeLabel->geometry().right() + 1 + 2 * TrayMargin);
  const int subtitleWidth = std::clamp(SubtitleLabel->sizeHint().width(), 0, std::max(0, room));
  SubtitleLabel->setGeometry(w - TrayMargin - subtitleWidth, TrayTimeTop, subtitleWidth, LabelHeight);
  VersionLabel->hide();
}

void TTrackInfoPanel::PlaceControls() {
  if (InTray) {
    PlaceInTray();
    return;
  }
  const int w = width();
  HideInTrayButton->move(w - HideInTrayButton->width() - 1, 1);
  SubtitleLabel->setGeometry(8, 20, std::max(0, w - 16), LabelHeight);
  const int timeTop = height() - LabelHeight - TimeLabelBottomGap;
  if (LabelHost) {
    TitleLabel->setGeometry(LentAt.x(), LentAt.y(), TitleLabel->sizeHint().width(), LabelHeight);
    TimeLabel->setGeometry(TitleLabel->geometry().right() + 1 + 32, LentAt.y(), TimeLabel->sizeHint().width(),
                           LabelHeight);
  } else {
    TitleLabel->setGeometry(8, 4, std::max(0, w - 8 - 20), LabelHeight);
    TimeLabel->setGeometry(8, timeTop, TimeLabel->sizeHint().width(), LabelHeight);
  }
  VersionLabel->adjustSize();
  VersionLabel->move(w - VersionLabel->width() - 8, timeTop);
  VersionLabel->setVisible(
      VersionLabelVisible(Player.Settings(), TimeLabel->geometry().right(), VersionLabel->x()));
}

bool TTrackInfoPanel::TitleFits(const std::string& title) const {
  const int right = HideInTrayButton->x();
  return TitleLabel->x() + TitleLabel->fontMetrics().horizontalAdvance(QString::fromStdString(title)) < right;
}

QRect TTrackInfoPanel::HideInTrayButtonGeometry() const { return HideInTrayButton->geometry(); }

void TTrackInfoPanel::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  PlaceControls();
}

void TTrackInfoPanel::mouseDoubleClickEvent(QMouseEvent* event) {
  if (DoubleClicked) DoubleClicked();
  event->accept();
}

}  // namespace tunevale
