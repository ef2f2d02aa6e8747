// "Configure custom filetypes": the three custom extension lists. OK takes
// them only when every piece is a valid extension; otherwise it says which
// are not and the dialog stays open. Cancel leaves the settings as they were.
#pragma once

#include <functional>
#include <string>

#include "media/media_settings.h"
#include "ui/tessel_ok_cancel_dialog_form.h"

class QLineEdit;

namespace tunevale {

class TCustomFiletypesForm final : public TTesselOKCancelDialogForm {
 public:
  TCustomFiletypesForm(TMediaSettings& settings, QWidget* owner);

  QLineEdit* MusicEdit() const { return Edits[0]; }
  QLineEdit* VideoEdit() const { return Edits[1]; }
  QLineEdit* PlaylistEdit() const { return Edits[2]; }
  // Shows a refusal (a message box unless replaced).
  std::function<void(const std::string&)> ShowRefusal;

  void accept() override;

 private:
  TMediaSettings& Settings;
  QLineEdit* Edits[3];
};

}  // namespace tunevale
