#include "ui/tessel_dialog_form.h"

#include <QPainter>

#include "ui/tessel_form.h"

namespace tunevale {

TTesselDialogForm::TTesselDialogForm(QWidget* owner) : QDialog(owner) {
  SetUpTesselForm(*this);
  QPalette body = palette();
  body.setColor(QPalette::Window, Qt::white);
  setPalette(body);
  setAutoFillBackground(true);
}

void TTesselDialogForm::PlaceBesideOwner() {
  QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
  if (!owner) return;
  QRect frame = frameGeometry();
  frame.moveTopLeft(owner->frameGeometry().topLeft() + QPoint(16, 16));
  MoveFullyOnScreen(*this, frame);
}

void TTesselDialogForm::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  QPainter painter(this);
  painter.setPen(QColor(0xDF, 0xDF, 0xDF));
  painter.setBrush(palette().color(QPalette::Button));
  // One pixel wider than the body on each side, so only its top line shows.
  painter.drawRect(-1, height() - BandHeight + 1, width() + 1, BandHeight);
}

}  // namespace tunevale
