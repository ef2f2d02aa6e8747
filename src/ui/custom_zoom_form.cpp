#include "ui/custom_zoom_form.h"

#include <QCheckBox>
#include <QLabel>
#include <QSlider>

namespace tunevale {

namespace {

QSlider* ZoomSlider(QWidget* parent, const char* name) {
  auto* slider = new QSlider(Qt::Horizontal, parent);
  slider->setObjectName(name);
  slider->setRange(0, 100);
  slider->setTickInterval(100);
  slider->setTickPosition(QSlider::TicksBelow);
  return slider;
}

}  // namespace

TCustomZoomForm::TCustomZoomForm(QWidget* owner, TZoom zoom, std::function<void(TZoom)> apply)
    : TTesselOKCancelDialogForm(owner), Apply(std::move(apply)), Opened(zoom), Current(zoom) {
  setObjectName("CustomZoomForm");
  setWindowTitle("Set custom zoom");
  setFixedSize(300, 190);
  Lock = new QCheckBox("Lock sliders", this);
  Lock->setObjectName("LockSlidersCheckBox");
  Lock->setGeometry(10, 8, 280, 20);
  (new QLabel("Horizontal:", this))->setGeometry(10, 34, 280, 16);
  Horizontal = ZoomSlider(this, "HTrackBar");
  Horizontal->setGeometry(10, 52, 280, 24);
  (new QLabel("Vertical:", this))->setGeometry(10, 82, 280, 16);
  Vertical = ZoomSlider(this, "VTrackBar");
  Vertical->setGeometry(10, 100, 280, 24);

  Lock->setChecked(zoom.H == zoom.V);
  Vertical->setEnabled(!Lock->isChecked());
  Horizontal->setValue(zoom.H);
  Vertical->setValue(zoom.V);
  connect(Horizontal, &QSlider::valueChanged, this, [this](int value) { HorizontalMoved(value); });
  connect(Vertical, &QSlider::valueChanged, this, [this](int value) { VerticalMoved(value); });
  connect(Lock, &QCheckBox::toggled, this, [this](bool locked) { LockToggled(locked); });
}

void TCustomZoomForm::Run(QWidget* owner, TZoom zoom, std::function<void(TZoom)> apply) {
  TCustomZoomForm form(owner, zoom, std::move(apply));
  form.move(owner->window()->geometry().center() - form.rect().center());
  form.exec();
}

void TCustomZoomForm::HorizontalMoved(int value) {
  Current.H = value;
  // The vertical slider follows and applies both at once.
  if (Lock->isChecked() && Vertical->value() != value) {
    Vertical->setValue(value);
  } else {
    Apply(Current);
  }
}

void TCustomZoomForm::VerticalMoved(int value) {
  Current.V = value;
  Apply(Current);
}

void TCustomZoomForm::LockToggled(bool locked) {
  Vertical->setEnabled(!locked);
  Vertical->setValue(Horizontal->value());
}

void TCustomZoomForm::reject() {
  Apply(Opened);
  TTesselOKCancelDialogForm::reject();
}

}  // namespace tunevale
