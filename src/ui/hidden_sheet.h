// The page without a tab that F11 shows: a little text and the buttons for
// the rarer commands (a DVD, a capture device, skins, a second player).
#pragma once

#include <QWidget>
#include <functional>

namespace tunevale {

class TMainActions;
class TPlayer;

class THiddenSheet final : public QWidget {
 public:
  THiddenSheet(TPlayer& player, QWidget* parent);

  // The buttons that run actions show and enable themselves with them;
  // "Load skin" runs `loadSkin`.
  void AddActionButtons(TMainActions& actions, std::function<void()> loadSkin);

 private:
  TPlayer& Player;
};

}  // namespace tunevale
