// A dialog with "OK" (the default button, accepts) and "Cancel" (rejects)
// at the bottom right of the band, each 68 x 23.
#pragma once

#include "ui/tessel_dialog_form.h"

class QPushButton;

namespace tunevale {

class TTesselOKCancelDialogForm : public TTesselDialogForm {
 public:
  explicit TTesselOKCancelDialogForm(QWidget* parent = nullptr);
  QPushButton* OKButton() const { return OK; }
  QPushButton* CancelButton() const { return Cancel; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QPushButton* OK;
  QPushButton* Cancel;
};

}  // namespace tunevale
