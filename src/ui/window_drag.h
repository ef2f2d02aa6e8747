// Dragging the window by its strips: a press on the strip (or its labels and
// picture) or on the bare controls panel, then a move past the drag
// distance, hands the move to the window manager. Waiting for the move keeps
// double-clicks on the strip working.
#pragma once

#include <QObject>
#include <QPointF>
#include <functional>

class QWidget;

namespace tunevale {

class TWindowDrag final : public QObject {
 public:
  // Moves `window`; `allowed` says whether a drag may start now.
  TWindowDrag(QWidget& window, std::function<bool()> allowed);

  // Lets `area` (and its children that pass mouse presses on) drag the window.
  void AddArea(QWidget& area);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget& Window;
  std::function<bool()> Allowed;
  QPointF PressedAt;
  bool Pressed = false;
};

}  // namespace tunevale
