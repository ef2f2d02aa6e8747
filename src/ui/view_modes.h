// The window's sizing and view modes: the sizing rule with its snap to the
// mini view, the switch between the mini view and the last normal size, and
// the geometry kept in the settings.
#pragma once

#include <QSize>

namespace tunevale {

class TMainForm;
class TPlayer;
struct TSettings;

class TViewModes final {
 public:
  TViewModes(TPlayer& player, TMainForm& form);

  // The sizing rule of the window: keeps the width at least the controls'
  // width and snaps heights between the strips and a usable list to the mini
  // view (only the strips) or to the smallest normal view. Returns the
  // (client) size to use; records MiniMode and the normal size.
  QSize FormCanResize(QSize requested);
  // After every resize of the window: applies the sizing rule, hiding the
  // pages in the mini view.
  void FormResized();
  // Between the mini view and the last normal size (also a double-click on
  // the track strip).
  void ToggleMiniModeActionExecute();
  // The last client size outside the mini view.
  QSize NormalSize() const { return NormalClientSize; }

  void StoreWindowState(TSettings& settings) const;
  // Places the window from the record: normal geometry (on a screen that
  // still exists), the mini view, maximized.
  void WindowSettingsRead(const TSettings& settings);

 private:
  TPlayer& Player;
  TMainForm& Form;
  QSize NormalClientSize{270, 320};
  bool Placing = false;  // our own resize to the rule's size is running
};

}  // namespace tunevale
