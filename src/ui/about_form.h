// The about box: the icon, the name in the title style, the version texts,
// the word on the price and a donation picture that opens the donation page.
#pragma once

#include <functional>

#include "ui/tessel_dialog_form.h"

namespace tunevale {

class TAboutForm final : public TTesselDialogForm {
 public:
  TAboutForm(const QString& donationAddress, std::function<void(const QString&)> open, QWidget* owner);
};

}  // namespace tunevale
