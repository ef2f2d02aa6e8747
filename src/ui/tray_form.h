// The tray window: the small borderless window that fades in over the
// notification area while the main window is hidden, and along the bottom of
// full-screen video as its control strip. It stays on top, never takes the
// focus, has no task-bar entry, a 1-pixel grey border and a black panel; the
// main window lends it its controls. The fader drives its opacity.
#pragma once

#include <QImage>
#include <QRect>
#include <QWidget>
#include <functional>

#include "app/tray_fader.h"

namespace tunevale {

class TControlsPanel;

class TTrayForm final : public QWidget, public TTrayFaderHost {
 public:
  // What the window asks of the player.
  struct TPlayerState {
    std::function<bool()> MainWindowVisible, Terminating, RemoteFullScreen, DraggingProgress,
        HoldOverPausedVideo;
    std::function<int32_t()> FadeTimeMs;
    std::function<void()> RefreshTrackInfo, SetIconTipEmpty;
    // The video window's rectangle on the screen while video is full screen, else empty.
    std::function<QRect()> FullScreenVideo;
    std::function<void()> FadedOut;
    std::function<void(QKeyEvent*)> ForwardKey;  // the main window's key handling
  };

  static constexpr int BorderWidth = 1;

  TTrayForm(TRuntime& runtime, TPlayerState state);

  TTrayFader& Fader() { return TrayFader; }
  // The black panel on top that holds the track labels.
  QWidget& Panel() const { return *TopPanel; }
  // Bottom right of the work area, or along the bottom edge of full-screen video.
  void LayOut();
  // Shows the main window's `strip` (may be null) and `controls` in this
  // window until the next call; the caller takes them back.
  void Lend(QWidget* strip, TControlsPanel* controls);
  // The skin's picture over the whole window, behind the lent strip; null: the grey.
  void SetBackdrop(const QImage& picture);

  // TTrayFaderHost.
  bool MainWindowVisible() const override { return State.MainWindowVisible(); }
  bool Terminating() const override { return State.Terminating(); }
  bool RemoteFullScreen() const override { return State.RemoteFullScreen(); }
  int32_t FadeTimeMs() const override { return State.FadeTimeMs(); }
  void RefreshTrackInfo() override { State.RefreshTrackInfo(); }
  void ShowWindow() override;
  void HideWindow() override { hide(); }
  void SetAlpha(int alpha) override { setWindowOpacity(alpha / 255.0); }
  void SetIconTipEmpty() override { State.SetIconTipEmpty(); }
  bool DraggingProgress() const override { return State.DraggingProgress(); }
  bool CursorInColumn() const override;
  bool HoldOverPausedVideo() const override { return State.HoldOverPausedVideo(); }
  void FadedOut() override { State.FadedOut(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  // The lent controls cover the window and take its mouse moves: coming in counts as one.
  void enterEvent(QEnterEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  TPlayerState State;
  TTrayFader TrayFader;
  QWidget* TopPanel = nullptr;
  QWidget* Strip = nullptr;
  TControlsPanel* Controls = nullptr;
  QImage Backdrop;
};

}  // namespace tunevale
