#include "ui/progress_bar.h"

#include <QMouseEvent>
#include <QPainter>

#include "playback/playback_controller.h"

namespace tunevale {

TProgressBar::TProgressBar(TPlaybackController& controller, QWidget* parent)
    : QWidget(parent), Controller(controller) {
  setObjectName("ProgressBar");
  setCursor(Qt::PointingHandCursor);
}

void TProgressBar::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.fillRect(rect(), QColor(40, 40, 40));
  const int max = Controller.ProgressMax();
  if (max <= 0) return;
  const double share = std::clamp(double(Controller.ProgressPosition()) / max, 0.0, 1.0);
  p.fillRect(QRectF(0, 0, width() * share, height()), QColor(0x6D, 0x83, 0xAC));
}

void TProgressBar::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  Controller.ProgressBarMouseDown(int(event->position().x()), width());
  update();
}

void TProgressBar::mouseMoveEvent(QMouseEvent* event) {
  Controller.ProgressBarMouseMove(int(event->position().x()), width());
  update();
}

void TProgressBar::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  Controller.ProgressBarMouseUp();
  update();
}

}  // namespace tunevale
