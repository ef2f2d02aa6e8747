#include "ui/controls_panel.h"

#include <QMouseEvent>
#include <QSlider>
#include <QToolButton>

#include "app/player.h"
#include "app/window_rules.h"
#include "ui/glyphs.h"
#include "ui/progress_bar.h"
#include "ui/tool_button.h"

namespace tunevale {

namespace {

constexpr int VolumeLeft = 177;
constexpr int VolumeWidth = VolumeTrackBarRight - VolumeLeft;

}  // namespace

TControlsPanel::TControlsPanel(TPlayer& player, QWidget* parent) : QFrame(parent), Player(player) {
  setObjectName("ControlsPanel");
  setFixedHeight(ControlsPanelFullHeight);
  SetColour(Qt::black);
  ProgressBarObject = new TProgressBar(Player.Controller(), this);
  PlayButton = ToolButton(this, "PlayButton", "Play (Ctrl+P)", GlyphIcon(TGlyph::Play));
  StopButton = ToolButton(this, "StopButton", "Stop (Ctrl+S)", GlyphIcon(TGlyph::Stop));
  PreviousButton = ToolButton(this, "PreviousButton", "Previous (Press and hold to rewind) (Ctrl+B)",
                              GlyphIcon(TGlyph::Previous));
  NextButton = ToolButton(this, "NextButton", "Next (Press and hold to fast-forward) (Ctrl+F)",
                          GlyphIcon(TGlyph::Next));
  MuteButton = ToolButton(this, "MuteButton", "Mute/Unmute (F8)", GlyphIcon(TGlyph::Unmuted));
  int left = 0;
  for (QToolButton* b : {PlayButton, StopButton, PreviousButton, NextButton}) {
    b->setGeometry(left, 14, 40, 22);
    left += 40;
  }
  MuteButton->setGeometry(160, 16, 22, 18);
  connect(PlayButton, &QToolButton::clicked, this, [this] { Player.Guarded([&] { Player.PlayPause(); }); });
  connect(StopButton, &QToolButton::clicked, this, [this] { Player.Guarded([&] { Player.Stop(); }); });
  connect(MuteButton, &QToolButton::clicked, this,
          [this] { Player.Guarded([&] { Player.Controller().MuteUnmuteActionExecute(); }); });
  // Press and hold seeks: the buttons' mouse events go to the controller in
  // the order down, click, up (see eventFilter).
  PreviousButton->installEventFilter(this);
  NextButton->installEventFilter(this);
  CreateVolumeTrackBar();
}

void TControlsPanel::CreateVolumeTrackBar() {
  VolumeTrackBar = new QSlider(Qt::Horizontal, this);
  VolumeTrackBar->setObjectName("VolumeTrackBar");
  VolumeTrackBar->setToolTip("Change the volume (F9 and F10)");
  VolumeTrackBar->setRange(0, 10000);
  VolumeTrackBar->setPageStep(1000);
  VolumeTrackBar->setValue(10000);
  VolumeTrackBar->setFocusPolicy(Qt::NoFocus);
  VolumeTrackBar->setGeometry(VolumeLeft + 5, 15, VolumeWidth - 5, 20);
  connect(VolumeTrackBar, &QSlider::valueChanged, this, [this](int value) {
    if (value != Player.Controller().VolumeTrackBarPosition())
      Player.Guarded([&] { Player.Controller().VolumeTrackBarChange(value); });
  });
}

void TControlsPanel::SetSlim(bool slim) {
  setFixedHeight(slim ? ControlsPanelSlimHeight : ControlsPanelFullHeight);
}

QRect TControlsPanel::VolumeTrackBarGeometry() const { return VolumeTrackBar->geometry(); }

void TControlsPanel::SetColour(const QColor& colour) {
  setStyleSheet(QString("#ControlsPanel { background: %1; }").arg(colour.name()));
  GlyphColour = colour.lightness() > 128 ? QColor(40, 40, 40) : QColor(230, 230, 230);
  if (PlayButton) DrawGlyphs();
}

void TControlsPanel::DrawGlyphs() {
  const bool playing = Player.Controller().PlayButtonImage() == 1;
  PlayButton->setIcon(GlyphIcon(playing ? TGlyph::Pause : TGlyph::Play, GlyphColour));
  StopButton->setIcon(GlyphIcon(TGlyph::Stop, GlyphColour));
  PreviousButton->setIcon(GlyphIcon(TGlyph::Previous, GlyphColour));
  NextButton->setIcon(GlyphIcon(TGlyph::Next, GlyphColour));
  MuteButton->setIcon(GlyphIcon(Player.Settings().VolumeMuted ? TGlyph::Mute : TGlyph::Unmuted, GlyphColour));
}

void TControlsPanel::ShowNowPlaying() {
  const TPlaybackController& c = Player.Controller();
  ProgressBarObject->update();
  PlayButton->setProperty("playing", c.PlayButtonImage() == 1);
  StopButton->setEnabled(c.StopActionEnabled());
  DrawGlyphs();
  if (VolumeTrackBar->value() != c.VolumeTrackBarPosition()) {
    const QSignalBlocker block(VolumeTrackBar);
    VolumeTrackBar->setValue(c.VolumeTrackBarPosition());
  }
}

void TControlsPanel::resizeEvent(QResizeEvent* event) {
  QFrame::resizeEvent(event);
  ProgressBarObject->setGeometry(0, 3, width(), 9);
}

bool TControlsPanel::eventFilter(QObject* watched, QEvent* event) {
  if (watched != NextButton && watched != PreviousButton) return QFrame::eventFilter(watched, event);
  auto* button = static_cast<QToolButton*>(watched);
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
      return SeekButtonMouseEvent(button, static_cast<QMouseEvent*>(event)) ||
             QFrame::eventFilter(watched, event);
    case QEvent::MouseButtonDblClick:
      return true;
    default:
      return QFrame::eventFilter(watched, event);
  }
}

bool TControlsPanel::SeekButtonMouseEvent(QToolButton* button, QMouseEvent* mouse) {
  if (mouse->button() != Qt::LeftButton) return false;
  TPlaybackController& c = Player.Controller();
  const bool next = button == NextButton;
  if (mouse->type() == QEvent::MouseButtonPress) {
    button->setDown(true);
    Player.Guarded([&] { next ? c.NextButtonMouseDown() : c.PreviousButtonMouseDown(); });
    return true;
  }
  button->setDown(false);
  // The click sees whether the hold already seeked, so it comes before the up.
  if (button->rect().contains(mouse->position().toPoint()))
    Player.Guarded([&] { next ? c.NextButtonClick() : c.PreviousButtonClick(); });
  Player.Guarded([&] { c.SeekButtonMouseUp(); });
  return true;
}

}  // namespace tunevale
