#include "ui/link_label.h"

#include <QMouseEvent>

namespace tunevale {

TLinkLabel::TLinkLabel(const QString& caption, const QString& address,
                       std::function<void(const QString&)> open, QWidget* parent)
    : QLabel(caption, parent), Target(address), Open(std::move(open)) {
  setStyleSheet("color: rgb(0, 102, 204); text-decoration: underline;");
  setCursor(Qt::PointingHandCursor);
  setToolTip(address);
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && Open) Open(Target);
  QLabel::mouseReleaseEvent(event);
}

}  // namespace tunevale
