// The Video page: the black panel the engine draws into.
#pragma once

#include <QWidget>
#include <cstdint>

namespace tunevale {

class TVideoSheet final : public QWidget {
 public:
  explicit TVideoSheet(QWidget* parent);

  // The video panel's native window, for the engine to draw into.
  uintptr_t VideoWindowHandle() const;

 private:
  QWidget* VideoPanel = nullptr;
};

}  // namespace tunevale
