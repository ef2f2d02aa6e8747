// A dialog with "OK" (the default button) and "Cancel" in the bottom right
// corner of its band. OK accepts, Cancel rejects; a dialog that checks its
// input before closing overrides accept().
#pragma once

#include "ui/tessel_dialog_form.h"

class QPushButton;

namespace tunevale {

class TTesselOKCancelDialogForm : public TTesselDialogForm {
 public:
  static constexpr int ButtonWidth = 68;
  static constexpr int ButtonHeight = 23;

  explicit TTesselOKCancelDialogForm(QWidget* owner);

  QPushButton& OKButton() const { return *OK; }
  QPushButton& CancelButton() const { return *Cancel; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  QPushButton* OK = nullptr;
  QPushButton* Cancel = nullptr;
};

}  // namespace tunevale
