// The native window the engine draws the picture into. It is placed inside
// the video panel (or the full-screen window) at the rectangle the layout
// gives; the sink fills it, so the layout alone decides the aspect.
#pragma once

#include <QWidget>
#include <functional>

namespace tunevale {

class TVideoWindow final : public QWidget {
 public:
  explicit TVideoWindow(QWidget* parent);

  std::function<void()> OnDoubleClick;
  std::function<void()> OnMouseMove;

 protected:
  // The sink paints; Qt must not paint over it.
  QPaintEngine* paintEngine() const override { return nullptr; }
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
};

// Makes `widget` black, native and painted by the engine alone.
void MakeVideoSurface(QWidget& widget);

}  // namespace tunevale
