// "Set custom zoom": a horizontal and a vertical slider (0 fit .. 100 crop),
// locked together unless "Lock sliders" is off. Every move applies at once;
// Cancel puts back the zoom the dialog opened with.
#pragma once

#include <functional>

#include "playback/video_layout.h"
#include "ui/tessel_ok_cancel_dialog_form.h"

class QCheckBox;
class QSlider;

namespace tunevale {

class TCustomZoomForm final : public TTesselOKCancelDialogForm {
 public:
  TCustomZoomForm(QWidget* owner, TZoom zoom, std::function<void(TZoom)> apply);

  // Shows the dialog modally over `owner`.
  static void Run(QWidget* owner, TZoom zoom, std::function<void(TZoom)> apply);

  QCheckBox& LockSlidersCheckBox() const { return *Lock; }
  QSlider& HTrackBar() const { return *Horizontal; }
  QSlider& VTrackBar() const { return *Vertical; }

  void reject() override;

 private:
  void HorizontalMoved(int value);
  void VerticalMoved(int value);
  void LockToggled(bool locked);

  std::function<void(TZoom)> Apply;
  TZoom Opened;  // what Cancel restores
  TZoom Current;
  QCheckBox* Lock = nullptr;
  QSlider* Horizontal = nullptr;
  QSlider* Vertical = nullptr;
};

}  // namespace tunevale
