#include "app/tray_icon_rules.h"

#include "app/tray_fader.h"

namespace tunevale {

std::string HideInTrayHint(bool trayAvailable) {
  return trayAvailable ? "Hide in tray" : "Minimize (this desktop has no tray)";
}

void TTrayIconRules::MainWindowShown(bool shown) const {
  if (SetTip) SetTip(shown ? "Tunevale" : "");
}

void TTrayIconRules::Clicked(TTrayClick click) const {
  switch (click) {
    case tcDouble:
      if (ShowHide) ShowHide();
      break;
    case tcSingle:
      if (BringToFront) BringToFront();
      if (ShowTrayControls) ShowTrayControls(kTrayShowHideMs);
      break;
    case tcContext:
      if (OpenMenu) OpenMenu();
      break;
    case tcMiddle:
      break;
  }
}

}  // namespace tunevale
