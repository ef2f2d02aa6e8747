#include "ui/video_window.h"

#include <QMouseEvent>

namespace tunevale {

void MakeVideoSurface(QWidget& widget) {
  widget.setAttribute(Qt::WA_NativeWindow);
  widget.setAttribute(Qt::WA_PaintOnScreen);
  widget.setAttribute(Qt::WA_OpaquePaintEvent);
  widget.setAutoFillBackground(true);
  QPalette palette = widget.palette();
  palette.setColor(QPalette::Window, Qt::black);
  widget.setPalette(palette);
  widget.setMouseTracking(true);
}

TVideoWindow::TVideoWindow(QWidget* parent) : QWidget(parent) {
  setObjectName("VideoWindow");
  MakeVideoSurface(*this);
}

void TVideoWindow::mouseDoubleClickEvent(QMouseEvent* event) {
  if (OnDoubleClick) OnDoubleClick();
  event->accept();
}

void TVideoWindow::mouseMoveEvent(QMouseEvent* event) {
  if (OnMouseMove) OnMouseMove();
  QWidget::mouseMoveEvent(event);
}

}  // namespace tunevale
