// The Video page: its top panel and the black panel the engine draws into.
#pragma once

#include <QWidget>

class QAction;
class QMenu;

namespace tunevale {

class TVideoSheet final : public QWidget {
 public:
  explicit TVideoSheet(QWidget* parent);

  void SetTopPanelShown(bool shown);
  // The video panel's context menu.
  void SetContextMenu(QMenu* menu);
  // The full screen and frame step buttons run these actions.
  void SetButtonActions(QAction* fullScreen, QAction* nextFrame);
  // The panel the video window is placed in.
  QWidget& Panel() const { return *VideoPanel; }

 private:
  QWidget* VideoTopPanel = nullptr;
  QWidget* VideoPanel = nullptr;
};

}  // namespace tunevale
