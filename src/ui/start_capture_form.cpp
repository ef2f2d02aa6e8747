#include "ui/start_capture_form.h"

#include <QComboBox>
#include <QLabel>

namespace tunevale {

TStartCaptureForm::TStartCaptureForm(QWidget* owner, std::vector<TCaptureDevice> devices)
    : TTesselOKCancelDialogForm(owner), Devices(std::move(devices)) {
  setObjectName("StartCaptureForm");
  setWindowTitle("Choose capture device");
  setFixedSize(330, 110);
  auto* label = new QLabel("Choose the capture device you want to view", this);
  label->setGeometry(10, 8, 310, 16);
  Combo = new QComboBox(this);
  Combo->setObjectName("ComboBox");
  Combo->setGeometry(10, 30, 310, 22);
  for (const TCaptureDevice& device : Devices) Combo->addItem(QString::fromStdString(device.Name));
  Combo->setCurrentIndex(0);
}

std::optional<TCaptureDevice> TStartCaptureForm::Chosen() const {
  const int index = Combo->currentIndex();
  if (index < 0 || index >= static_cast<int>(Devices.size())) return std::nullopt;
  return Devices[index];
}

void TStartCaptureForm::showEvent(QShowEvent* event) {
  TTesselOKCancelDialogForm::showEvent(event);
  PlaceBesideOwner();
}

std::optional<TCaptureDevice> TStartCaptureForm::Run(QWidget* owner,
                                                     const std::vector<TCaptureDevice>& devices) {
  TStartCaptureForm form(owner, devices);
  if (form.exec() != QDialog::Accepted) return std::nullopt;
  return form.Chosen();
}

}  // namespace tunevale
