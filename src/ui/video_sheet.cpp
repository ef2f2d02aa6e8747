#include "ui/video_sheet.h"

#include <QAction>
#include <QToolButton>
#include <QVBoxLayout>

#include "ui/glyphs.h"
#include "ui/main_menus.h"
#include "ui/tool_button.h"

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
  VideoPanel->setAutoFillBackground(true);
  QPalette palette = VideoPanel->palette();
  palette.setColor(QPalette::Window, Qt::black);
  VideoPanel->setPalette(palette);
  layout->addWidget(VideoPanel, 1);
}

void TVideoSheet::SetTopPanelShown(bool shown) { VideoTopPanel->setVisible(shown); }

void TVideoSheet::SetContextMenu(QMenu* menu) {
  VideoPanel->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(VideoPanel, &QWidget::customContextMenuRequested, this,
          [this, menu](const QPoint& at) { PopupMenu(menu, VideoPanel->mapToGlobal(at)); });
}

void TVideoSheet::SetButtonActions(QAction* fullScreen, QAction* nextFrame) {
  const std::pair<QAction*, QToolButton*> buttons[] = {
      {fullScreen, ToolButton(VideoTopPanel, "ToggleFullScreenButton", "Enter full screen mode (Alt+Enter)",
                              GlyphIcon(TGlyph::FullScreen, Qt::darkGray))},
      {nextFrame, ToolButton(VideoTopPanel, "NextFrameButton", "Next frame",
                             GlyphIcon(TGlyph::NextFrame, Qt::darkGray))}};
  int left = 4;
  for (const auto& [action, button] : buttons) {
    button->setGeometry(left, 4, 22, 22);
    left += 26;
    connect(button, &QToolButton::clicked, action, &QAction::trigger);
  }
}

}  // namespace tunevale
