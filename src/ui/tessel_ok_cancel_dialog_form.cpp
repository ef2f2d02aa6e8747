#include "ui/tessel_ok_cancel_dialog_form.h"

#include <QPushButton>

namespace tunevale {

namespace {

constexpr int ButtonWidth = 68;
constexpr int ButtonHeight = 23;

}  // namespace

TTesselOKCancelDialogForm::TTesselOKCancelDialogForm(QWidget* parent)
    : TTesselDialogForm(parent), OK(new QPushButton("OK", this)), Cancel(new QPushButton("Cancel", this)) {
  OK->setDefault(true);
  connect(OK, &QPushButton::clicked, this, &QDialog::accept);
  connect(Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TTesselOKCancelDialogForm::resizeEvent(QResizeEvent* event) {
  TTesselDialogForm::resizeEvent(event);
  const int top = height() - ButtonHeight - 9;
  OK->setGeometry(width() - 2 * ButtonWidth - 16, top, ButtonWidth, ButtonHeight);
  Cancel->setGeometry(width() - ButtonWidth - 10, top, ButtonWidth, ButtonHeight);
}

}  // namespace tunevale
