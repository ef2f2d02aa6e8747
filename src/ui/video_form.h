// The full-screen video window: borderless and black, it takes the video
// window while video is full screen. Esc leaves full screen, Space plays or
// pauses; every other key goes on to the main window's key handling (key
// releases too), so the player's keys work here as well.
#pragma once

#include <QRect>
#include <QWidget>
#include <functional>

namespace tunevale {

class TVideoForm final : public QWidget {
 public:
  TVideoForm();

  std::function<void()> OnLeave;      // Esc, double-click, close
  std::function<void()> OnPlayPause;  // Space
  std::function<void(QKeyEvent*)> OnKey;
  std::function<void()> OnMouseMove;
  std::function<void()> OnResized;  // resized or moved

  // The window rectangle "setvideowindowposition" asks for (client width 0: none).
  void SetStoredRect(const QRect& rect) { StoredRect = rect; }
  // Full screen, or normal at the stored rectangle when it has a width and a height.
  void Place();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;

 private:
  static bool OwnKey(const QKeyEvent* event);

  QRect StoredRect;
};

}  // namespace tunevale
