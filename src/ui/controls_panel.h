// The controls panel at the bottom of the window: progress bar, transport
// buttons, mute button and volume bar. The buttons forward to the player;
// previous and next seek while held.
#pragma once

#include <QColor>
#include <QFrame>

class QSlider;
class QToolButton;

namespace tunevale {

class TPlayer;
class TProgressBar;

class TControlsPanel final : public QFrame {
 public:
  TControlsPanel(TPlayer& player, QWidget* parent);

  // The slim view keeps only the progress bar.
  void SetSlim(bool slim);
  // The panel's background; the glyphs take a colour that stands out on it.
  void SetColour(const QColor& colour);
  TProgressBar& ProgressBar() const { return *ProgressBarObject; }
  QRect VolumeTrackBarGeometry() const;

  // Follows the controller: progress, play/pause glyph, stop enabled, mute
  // glyph, volume position.
  void ShowNowPlaying();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateVolumeTrackBar();
  void DrawGlyphs();
  bool SeekButtonMouseEvent(QToolButton* button, QMouseEvent* mouse);

  TPlayer& Player;
  TProgressBar* ProgressBarObject = nullptr;
  QColor GlyphColour{230, 230, 230};
  QToolButton* PlayButton = nullptr;
  QToolButton* StopButton = nullptr;
  QToolButton* PreviousButton = nullptr;
  QToolButton* NextButton = nullptr;
  QToolButton* MuteButton = nullptr;
  QSlider* VolumeTrackBar = nullptr;
};

}  // namespace tunevale
