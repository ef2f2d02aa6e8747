#include "ui/tessel_dialog_form.h"

#include <QFrame>

namespace tunevale {

TTesselDialogForm::TTesselDialogForm(QWidget* parent) : QDialog(parent), BandShape(new QFrame(this)) {
  QPalette body = palette();
  body.setColor(QPalette::Window, Qt::white);
  setPalette(body);
  setAutoFillBackground(true);
  BandShape->setObjectName("DialogBand");
  BandShape->setStyleSheet(QString("#DialogBand { background: %1; border: 1px solid #DFDFDF; }")
                               .arg(QWidget::palette().color(QPalette::Button).name()));
  BandShape->lower();
}

void TTesselDialogForm::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  BandShape->setGeometry(-1, height() - BandHeight + 1, width() + 2, BandHeight);
  BandShape->lower();
}

}  // namespace tunevale
