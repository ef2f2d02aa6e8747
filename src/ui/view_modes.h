// The window's sizing and view modes: the sizing rule with its snap to the
// mini view, the mini view's switch (keeping a window docked to the right or
// bottom edge of the work area where it was), the slim view, the panels, the
// small strip, which page tabs show, where the menu button sits, the strip
// colours and the geometry kept in the settings. The rules themselves are the
// core's (app/window_rules.h); this applies them to the widgets.
#pragma once

#include <QSize>
#include <array>

#include "app/settings_window.h"

namespace tunevale {

class TMainForm;
class TPlayer;
struct TSettings;

class TViewModes final {
 public:
  TViewModes(TPlayer& player, TMainForm& form);

  // The sizing rule on a requested client size; records MiniMode and the
  // normal size in the settings.
  QSize FormCanResize(QSize requested);
  // After every resize: applies the sizing rule, hides the pages in the mini
  // view, places the menu button and the strip's labels.
  void FormResized();
  // Between the mini view and the normal size (also a double-click on the
  // track strip). Does nothing while the tray controls show.
  void ToggleMiniModeActionExecute();
  // The options menu under the menu button.
  void ShowOptionsMenu();
  // The record's view flags onto the window after a switch (or a load).
  void WindowSwitched(TWindowSwitch which);
  // A page hidden for a reason other than the slim view: the Library page
  // without UseLibrary, the Video page without video.
  void SetPageHidden(int page, bool hidden);
  bool PageHidden(int page) const;
  // Which tabs show; the menu button follows.
  void UpdateTabs();
  // The controls panel's colour (no glass here) and the strip's font colour.
  void UpdateGlass();
  // The last normal size of the client area.
  QSize NormalSize() const;

  void StoreWindowState(TSettings& settings) const;
  // Places the window from the record: normal geometry (on a screen that
  // still exists), the mini view, maximized.
  void WindowSettingsRead(const TSettings& settings);

 private:
  void ApplyViewFlags();
  void PlaceMenuButton();
  void ShowCurrentPage();

  TPlayer& Player;
  TMainForm& Form;
  std::array<bool, 3> HiddenPages{false, false, true};  // the Video page shows with video only
  bool Placing = false;                                 // our own resize to the rule's size is running
};

}  // namespace tunevale
