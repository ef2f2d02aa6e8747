#include "ui/window_drag.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace tunevale {

TWindowDrag::TWindowDrag(QWidget& window, std::function<bool()> allowed)
    : QObject(&window), Window(window), Allowed(std::move(allowed)) {}

void TWindowDrag::AddArea(QWidget& area) { area.installEventFilter(this); }

bool TWindowDrag::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::MouseButtonPress: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      Pressed = mouse->button() == Qt::LeftButton;
      PressedAt = mouse->globalPosition();
      break;
    }
    case QEvent::MouseMove: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (!Pressed || !(mouse->buttons() & Qt::LeftButton)) break;
      if ((mouse->globalPosition() - PressedAt).manhattanLength() < QApplication::startDragDistance()) break;
      Pressed = false;
      if (Allowed() && Window.windowHandle()) Window.windowHandle()->startSystemMove();
      return true;
    }
    case QEvent::MouseButtonRelease:
      Pressed = false;
      break;
    default:
      break;
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace tunevale
