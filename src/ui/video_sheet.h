// The Video page: its top panel and the black panel the engine draws into.
#pragma once

#include <QWidget>
#include <cstdint>

class QMenu;

namespace tunevale {

class TVideoSheet final : public QWidget {
 public:
  explicit TVideoSheet(QWidget* parent);

  // The video panel's native window, for the engine to draw into.
  uintptr_t VideoWindowHandle() const;
  void SetTopPanelShown(bool shown);
  // The video panel's context menu.
  void SetContextMenu(QMenu* menu);

 private:
  QWidget* VideoTopPanel = nullptr;
  QWidget* VideoPanel = nullptr;
};

}  // namespace tunevale
