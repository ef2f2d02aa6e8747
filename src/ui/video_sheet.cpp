#include "ui/video_sheet.h"

#include <QVBoxLayout>

#include "ui/main_menus.h"

namespace tunevale {

TVideoSheet::TVideoSheet(QWidget* parent) : QWidget(parent) {
  setObjectName("TabSheet3");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  // Holds the full screen and frame step buttons once video has them.
  VideoTopPanel = new QWidget(this);
  VideoTopPanel->setObjectName("VideoTopPanel");
  VideoTopPanel->setFixedHeight(30);
  layout->addWidget(VideoTopPanel);
  VideoPanel = new QWidget(this);
  VideoPanel->setObjectName("VideoPanel");
  // The engine draws straight into this window.
  VideoPanel->setAttribute(Qt::WA_NativeWindow);
  VideoPanel->setAttribute(Qt::WA_PaintOnScreen);
  VideoPanel->setAutoFillBackground(true);
  QPalette palette = VideoPanel->palette();
  palette.setColor(QPalette::Window, Qt::black);
  VideoPanel->setPalette(palette);
  layout->addWidget(VideoPanel, 1);
}

uintptr_t TVideoSheet::VideoWindowHandle() const { return static_cast<uintptr_t>(VideoPanel->winId()); }

void TVideoSheet::SetTopPanelShown(bool shown) { VideoTopPanel->setVisible(shown); }

void TVideoSheet::SetContextMenu(QMenu* menu) {
  VideoPanel->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(VideoPanel, &QWidget::customContextMenuRequested, this,
          [this, menu](const QPoint& at) { PopupMenu(menu, VideoPanel->mapToGlobal(at)); });
}

}  // namespace tunevale
