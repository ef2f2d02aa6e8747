#include "ui/tray_form.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>

#include "app/window_rules.h"
#include "ui/controls_panel.h"

namespace tunevale {

namespace {

void Fill(QWidget& widget, const QColor& color) {
  widget.setAutoFillBackground(true);
  QPalette palette = widget.palette();
  palette.setColor(QPalette::Window, color);
  widget.setPalette(palette);
}

}  // namespace

TTrayForm::TTrayForm(TRuntime& runtime, TPlayerState state)
    : QWidget(nullptr,
              Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus),
      State(std::move(state)),
      TrayFader(runtime, *this) {
  setObjectName("TrayForm");
  setAttribute(Qt::WA_ShowWithoutActivating);
  setMouseTracking(true);
  Fill(*this, QColor(0x60, 0x60, 0x60));
  setWindowOpacity(0);
  TopPanel = new QWidget(this);
  TopPanel->setObjectName("Panel");
  TopPanel->setMouseTracking(true);
  Fill(*TopPanel, Qt::black);
  LayOut();
}

void TTrayForm::Lend(QWidget* strip, TControlsPanel* controls) {
  Strip = strip;
  Controls = controls;
  for (QWidget* w : {Strip, static_cast<QWidget*>(Controls)})
    if (w) {
      w->setParent(this);
      w->show();
    }
  // The slim view's bar alone would leave no buttons to press.
  if (Controls) Controls->SetSlim(false);
  LayOut();
}

void TTrayForm::SetBackdrop(const QImage& picture) {
  Backdrop = picture;
  update();
}

void TTrayForm::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  if (Backdrop.isNull()) return;
  QPainter painter(this);
  painter.drawImage(rect(), Backdrop);
}

void TTrayForm::LayOut() {
  const QRect video = State.FullScreenVideo();
  if (!video.isEmpty()) {
    // Along the bottom edge of the picture, no border.
    TopPanel->hide();
    setGeometry(video.left(), video.bottom() + 1 - ControlsPanelFullHeight, video.width(),
                ControlsPanelFullHeight);
    if (Controls) Controls->setGeometry(0, 0, video.width(), ControlsPanelFullHeight);
    return;
  }
  const int width = VolumeTrackBarRight;
  const int stripHeight = Strip ? Strip->height() : TrackInfoPanelFullHeight;
  const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  const QRect work = screen->availableGeometry(), full = screen->geometry();
  // No taskbar at the bottom: keep clear of where one usually is.
  const int bottom =
      work.height() == full.height() ? full.top() + full.height() - 30 : work.top() + work.height();
  const int height = stripHeight + ControlsPanelFullHeight + 2 * BorderWidth;
  TopPanel->setGeometry(BorderWidth, BorderWidth, width, stripHeight);
  TopPanel->setVisible(!Strip);
  if (Strip) Strip->setGeometry(BorderWidth, BorderWidth, width, stripHeight);
  if (Controls) Controls->setGeometry(BorderWidth, BorderWidth + stripHeight, width, ControlsPanelFullHeight);
  setGeometry(work.left() + work.width() - width - 2 * BorderWidth - 2, bottom - height - 1,
              width + 2 * BorderWidth, height);
}

void TTrayForm::ShowWindow() {
  LayOut();
  show();
  // Placed again once mapped: a window manager may place a new window itself.
  LayOut();
  raise();
}

bool TTrayForm::CursorInColumn() const {
  const QPoint at = QCursor::pos();
  const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
  const QRect frame = frameGeometry();
  return CursorInTrayColumn(at.x(), at.y(), frame.left(), frame.top(), frame.width(),
                            screen->geometry().bottom() + 1);
}

void TTrayForm::mouseMoveEvent(QMouseEvent* event) {
  TrayFader.WindowMouseMove();
  QWidget::mouseMoveEvent(event);
}

void TTrayForm::enterEvent(QEnterEvent* event) {
  TrayFader.WindowMouseMove();
  QWidget::enterEvent(event);
}

void TTrayForm::keyPressEvent(QKeyEvent* event) {
  if (State.ForwardKey) State.ForwardKey(event);
}

void TTrayForm::keyReleaseEvent(QKeyEvent* event) {
  if (State.ForwardKey) State.ForwardKey(event);
}

}  // namespace tunevale
