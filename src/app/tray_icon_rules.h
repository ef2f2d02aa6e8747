// What the tray icon does, apart from drawing it: its tip, its clicks, and
// "Hide in tray" on a desktop without a tray.
//
// Clicks: a double-click shows or hides the main window; a single click
// brings the program to the front. Qt reports the first press of a
// double-click as a click and the second as the double-click, with no click
// after it, so showing the window is never followed by an extra raise. Neither
// kind of tray tells us when the mouse hovers over the icon (a
// StatusNotifierItem host sends no hover at all), so a single click also shows
// the tray controls for a moment, which is what the hover would have done.
// The X tray opens the icon's menu itself on a right click; a
// StatusNotifierItem host only asks for it, so the menu is opened here then.
#pragma once

#include <functional>
#include <string>

namespace tunevale {

enum TTrayClick : int { tcSingle, tcDouble, tcContext, tcMiddle };

// The hide-in-tray button's hint. Without a tray nothing could bring a hidden
// window back, so the button minimizes instead and says so.
std::string HideInTrayHint(bool trayAvailable);

class TTrayIconRules {
 public:
  // What the rules ask for; unset ones are skipped.
  std::function<void()> ShowHide;      // the show/hide command
  std::function<void()> BringToFront;  // activate the program's window
  std::function<void(int)> ShowTrayControls;
  std::function<void()> OpenMenu;  // the tray menu at the mouse, unless it is open
  std::function<void(const std::string&)> SetTip;

  // The tray icon's tip follows the main window: the title while it shows,
  // empty while it is hidden (the tray controls show the track instead).
  void MainWindowShown(bool shown) const;
  void Clicked(TTrayClick click) const;
};

}  // namespace tunevale
