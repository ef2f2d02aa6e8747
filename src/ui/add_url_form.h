// The "Add URL" dialog: one line for the address of a file or stream.
#pragma once

#include <string>

#include "ui/tessel_ok_cancel_dialog_form.h"

class QLineEdit;

namespace tunevale {

class TAddURLForm final : public TTesselOKCancelDialogForm {
 public:
  explicit TAddURLForm(QWidget* owner);

  // The text as typed: no trimming, no check.
  std::string FileURL() const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QLineEdit* URLEdit = nullptr;
};

}  // namespace tunevale
