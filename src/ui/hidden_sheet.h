// The page without a tab that F11 shows: a little text and the buttons for
// the rarer commands (a DVD, a capture device, skins, a second player).
#pragma once

#include <QWidget>

namespace tunevale {

class TMainActions;
class TPlayer;

class THiddenSheet final : public QWidget {
 public:
  THiddenSheet(TPlayer& player, QWidget* parent);

  // The buttons that run actions show and enable themselves with them.
  void AddActionButtons(TMainActions& actions);

 private:
  TPlayer& Player;
};

}  // namespace tunevale
