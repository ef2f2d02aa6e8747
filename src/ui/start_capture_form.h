// "Choose capture device": the devices in a drop-down list, the first
// selected. The dialog keeps the list it shows and returns that list's device.
#pragma once

#include <optional>
#include <vector>

#include "playback/capture_device.h"
#include "ui/tessel_ok_cancel_dialog_form.h"

class QComboBox;

namespace tunevale {

class TStartCaptureForm final : public TTesselOKCancelDialogForm {
 public:
  TStartCaptureForm(QWidget* owner, std::vector<TCaptureDevice> devices);

  // Modal, 16 pixels right of and below `owner`'s top-left corner; the device
  // chosen, or nothing on Cancel.
  static std::optional<TCaptureDevice> Run(QWidget* owner, const std::vector<TCaptureDevice>& devices);

  QComboBox& ComboBox() const { return *Combo; }
  std::optional<TCaptureDevice> Chosen() const;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  std::vector<TCaptureDevice> Devices;
  QComboBox* Combo = nullptr;
};

}  // namespace tunevale
