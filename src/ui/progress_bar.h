// The seek bar of the controls panel: draws the controller's progress and
// hands clicks and drags to it (the controller decides what they seek).
#pragma once

#include <QWidget>

namespace tunevale {

class TPlaybackController;

class TProgressBar final : public QWidget {
 public:
  TProgressBar(TPlaybackController& controller, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  TPlaybackController& Controller;
};

}  // namespace tunevale
