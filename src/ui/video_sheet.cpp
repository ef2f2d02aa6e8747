#include "ui/video_sheet.h"

#include <QVBoxLayout>

namespace tunevale {

TVideoSheet::TVideoSheet(QWidget* parent) : QWidget(parent) {
  setObjectName("TabSheet3");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  VideoPanel = new QWidget(this);
  VideoPanel->setObjectName("VideoPanel");
  // The engine draws straight into this window.
  VideoPanel->setAttribute(Qt::WA_NativeWindow);
  VideoPanel->setAttribute(Qt::WA_PaintOnScreen);
  VideoPanel->setAutoFillBackground(true);
  QPalette palette = VideoPanel->palette();
  palette.setColor(QPalette::Window, Qt::black);
  VideoPanel->setPalette(palette);
  layout->addWidget(VideoPanel);
}

uintptr_t TVideoSheet::VideoWindowHandle() const { return static_cast<uintptr_t>(VideoPanel->winId()); }

}  // namespace tunevale
