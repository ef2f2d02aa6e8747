// The picture's place: the video window inside the video panel, or inside the
// full-screen window, at the rectangle the layout computes for the video size
// and the zoom. Moving the video window between the two may give it a new
// native window, so the engine is handed its handle again after each move.
#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <memory>

#include "playback/video_layout.h"

class QKeyEvent;
class QWidget;

namespace tunevale {

class TVideoForm;
class TVideoWindow;

class TVideoDisplay final : public QObject {
 public:
  struct THost {
    std::function<TVideoSize()> VideoSize;  // 0 x 0 while unknown
    std::function<TZoom()> Zoom;            // as stored
    std::function<void(TZoom)> SetZoom;
    std::function<void(uintptr_t)> SetWindowHandle;
    std::function<bool()> VideoConnected;
    // Full screen entered (true) or left: the main window hides or shows.
    std::function<void(bool fullScreen)> FullScreenChanged;
    std::function<void(int durationMs)> ShowTrayControls;
    std::function<void()> PlayPause;
    std::function<void(QKeyEvent*)> ForwardKey;  // the main window's key handling
    // The full-screen window got its size or place (the window manager answers late).
    std::function<void()> FullScreenMoved;
  };

  TVideoDisplay(QWidget& videoPanel, THost host);
  ~TVideoDisplay() override;

  TVideoWindow& VideoWindow() const { return *Window; }
  TVideoForm& VideoForm() const { return *Form; }
  uintptr_t WindowHandle() const;
  bool FullScreen() const { return IsFullScreen; }
  // The zoom mode menu's item for the zoom in force.
  int ZoomMode() const { return ZoomModeOf(Host.Zoom()); }

  // Places the video window for the current video size (nothing while unknown).
  void LayoutVideo();
  // Entering needs a connected video; leaving always works.
  void ToggleFullScreenActionExecute();
  // The rectangle "setvideowindowposition" sets for the full-screen window.
  void SetFullScreenRect(int left, int top, int clientWidth, int clientHeight);
  // The main window resized so its video area shows the video at `percent`
  // (not in full screen, not without a video).
  void VideoSizeActionExecute(int percent, QWidget& mainWindow);
  // 0 fit, 1 crop, 2 stretch, 3 the custom zoom dialog.
  void ZoomModeActionExecute(int mode);
  // In full screen: a mouse move shows the cursor and the strip.
  void VideoWindowMouseMove();
  // The strip faded out: no cursor over full-screen video.
  void StripFadedOut();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void SetFullScreen(bool fullScreen);
  void HandOverWindow();
  void ShowCursor(bool shown);

  QWidget& Panel;
  THost Host;
  TVideoWindow* Window = nullptr;  // owned by its Qt parent
  std::unique_ptr<TVideoForm> Form;
  bool IsFullScreen = false;
  QPoint LastMouse{-1, -1};
};

}  // namespace tunevale
