// A page's busy picture: shows while a long operation runs, with what runs as
// its hint; a click opens the cancel menu (the hint, then "Cancel").
#pragma once

#include <QToolButton>
#include <functional>
#include <string>

namespace tunevale {

class TPlayer;

class TBusyIndicator final : public QToolButton {
 public:
  // `cancel` runs under the player's error guard when "Cancel" is chosen.
  TBusyIndicator(TPlayer& player, const char* name, std::function<void()> cancel, QWidget* parent);

  // Shown with `text` as the hint while `busy`, hidden otherwise.
  void SetBusy(bool busy, const std::string& text);

 private:
  void ShowCancelMenu();

  TPlayer& Player;
  std::function<void()> Cancel;
};

}  // namespace tunevale
