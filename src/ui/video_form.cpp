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

bool TVideoForm::OwnKey(const QKeyEvent* event) {
  return event->key() == Qt::Key_Escape || event->key() == Qt::Key_Space;
}

void TVideoForm::keyPressEvent(QKeyEvent* event) {
  // Esc and Space stop here: passed on, Esc would hide the window just
  // restored into the tray and Space would toggle play/pause a second time.
  if (event->key() == Qt::Key_Escape) {
    if (OnLeave) OnLeave();
  } else if (event->key() == Qt::Key_Space) {
    if (!event->isAutoRepeat() && OnPlayPause) OnPlayPause();
  } else if (OnKey) {
    OnKey(event);
  }
}

void TVideoForm::keyReleaseEvent(QKeyEvent* event) {
  if (!OwnKey(event) && OnKey) OnKey(event);
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
