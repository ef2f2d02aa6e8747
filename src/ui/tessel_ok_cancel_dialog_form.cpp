#include "ui/tessel_ok_cancel_dialog_form.h"

#include <QPushButton>

namespace tunevale {

TTesselOKCancelDialogForm::TTesselOKCancelDialogForm(QWidget* owner) : TTesselDialogForm(owner) {
  OK = new QPushButton("OK", this);
  OK->setObjectName("OKButton");
  OK->setDefault(true);
  Cancel = new QPushButton("Cancel", this);
  Cancel->setObjectName("CancelButton");
  for (QPushButton* b : {OK, Cancel}) b->setFixedSize(ButtonWidth, ButtonHeight);
  connect(OK, &QPushButton::clicked, this, &QDialog::accept);
  connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TTesselOKCancelDialogForm::resizeEvent(QResizeEvent* event) {
  TTesselDialogForm::resizeEvent(event);
  // Anchored to the bottom right corner.
  const int top = height() - ButtonHeight - 9;
  OK->move(width() - 2 * ButtonWidth - 16, top);
  Cancel->move(width() - ButtonWidth - 10, top);
}

}  // namespace tunevale
