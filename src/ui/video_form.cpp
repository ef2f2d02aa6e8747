#include "ui/video_form.h"

#include <QCloseEvent>
#include <QKeyEvent>

#include "ui/video_window.h"

namespace tunevale {

TVideoForm::TVideoForm() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint) {
  setObjectName("VideoForm");
  setWindowTitle("Tunevale");
  MakeVideoSurface(*this);
  setAttribute(Qt::WA_PaintOnScreen, false);
}

void TVideoForm::Place() {
  if (StoredRect.width() != 0 && StoredRect.height() != 0) {
    showNormal();
    setGeometry(StoredRect);
  } else {
    showFullScreen();
  }
}

void TVideoForm::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    if (OnLeave) OnLeave();
  } else if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
    if (OnPlayPause) OnPlayPause();
  }
  if (OnKey) OnKey(event);
}

void TVideoForm::keyReleaseEvent(QKeyEvent* event) {
  if (OnKey) OnKey(event);
}

void TVideoForm::mouseDoubleClickEvent(QMouseEvent*) {
  if (OnLeave) OnLeave();
}

void TVideoForm::mouseMoveEvent(QMouseEvent* event) {
  if (OnMouseMove) OnMouseMove();
  QWidget::mouseMoveEvent(event);
}

void TVideoForm::closeEvent(QCloseEvent* event) {
  // Closing only leaves full screen; the window stays for the next time.
  event->ignore();
  if (OnLeave) OnLeave();
}

void TVideoForm::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (OnResized) OnResized();
}

void TVideoForm::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  if (OnResized) OnResized();
}

}  // namespace tunevale
