// The controls panel at the bottom of the window: progress bar, transport
// buttons, mute button and volume bar. The buttons forward to the player;
// previous and next seek while held.
#pragma once

#include <QFrame>

class QSlider;
class QToolButton;

namespace tunevale {

class TPlayer;
class TProgressBar;

class TControlsPanel final : public QFrame {
 public:
  static constexpr int Height = 36;
  // The window is never narrower than the volume bar's right edge.
  static constexpr int MinimumWidth = 242;

  TControlsPanel(TPlayer& player, QWidget* parent);

  // Follows the controller: progress, play/pause glyph, stop enabled, mute
  // glyph, volume position.
  void ShowNowPlaying();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateVolumeTrackBar();
  bool SeekButtonMouseEvent(QToolButton* button, QMouseEvent* mouse);

  TPlayer& Player;
  TProgressBar* ProgressBar = nullptr;
  QToolButton* PlayButton = nullptr;
  QToolButton* StopButton = nullptr;
  QToolButton* PreviousButton = nullptr;
  QToolButton* NextButton = nullptr;
  QToolButton* MuteButton = nullptr;
  QSlider* VolumeTrackBar = nullptr;
};

}  // namespace tunevale
