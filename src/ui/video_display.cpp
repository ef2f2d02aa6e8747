#include "ui/video_display.h"

#include <QCursor>
#include <QEvent>
#include <QScreen>

#include "app/tray_fader.h"
#include "ui/custom_zoom_form.h"
#include "ui/tessel_form.h"
#include "ui/video_form.h"
#include "ui/video_window.h"

namespace tunevale {

TVideoDisplay::TVideoDisplay(QWidget& videoPanel, THost host)
    : Panel(videoPanel), Host(std::move(host)), Form(std::make_unique<TVideoForm>()) {
  Window = new TVideoWindow(&Panel);
  Window->OnDoubleClick = [this] { ToggleFullScreenActionExecute(); };
  Window->OnMouseMove = [this] { VideoWindowMouseMove(); };
  Form->OnLeave = [this] {
    if (IsFullScreen) ToggleFullScreenActionExecute();
  };
  Form->OnPlayPause = [this] { Host.PlayPause(); };
  Form->OnKey = [this](QKeyEvent* event) { Host.ForwardKey(event); };
  Form->OnMouseMove = [this] { VideoWindowMouseMove(); };
  Form->OnResized = [this] {
    if (!IsFullScreen) return;
    LayoutVideo();
    if (Host.FullScreenMoved) Host.FullScreenMoved();
  };
  Panel.installEventFilter(this);
}

TVideoDisplay::~TVideoDisplay() {
  // The video window belongs to the panel; take it back from the form that goes first.
  if (IsFullScreen) Window->setParent(&Panel);
}

uintptr_t TVideoDisplay::WindowHandle() const { return static_cast<uintptr_t>(Window->winId()); }

bool TVideoDisplay::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &Panel) {
    if (event->type() == QEvent::Resize && !IsFullScreen) LayoutVideo();
    if (event->type() == QEvent::MouseButtonDblClick) ToggleFullScreenActionExecute();
  }
  return QObject::eventFilter(watched, event);
}

void TVideoDisplay::LayoutVideo() {
  const TVideoSize video = Host.VideoSize();
  const QSize area = IsFullScreen ? Form->size() : Panel.size();
  const auto rect = tunevale::LayoutVideo({video, {area.width(), area.height()}, IsFullScreen, Host.Zoom()});
  if (!rect) return;
  Window->setGeometry(rect->Left, rect->Top, rect->Width, rect->Height);
  Window->show();
}

void TVideoDisplay::ToggleFullScreenActionExecute() {
  if (!IsFullScreen && !Host.VideoConnected()) return;
  if (IsFullScreen) Form->raise();
  SetFullScreen(!IsFullScreen);
  // The main window hides or shows once the picture has moved.
  Host.FullScreenChanged(IsFullScreen);
  Host.ShowTrayControls(kTrayOpenMs);
}

void TVideoDisplay::SetFullScreen(bool fullScreen) {
  IsFullScreen = fullScreen;
  if (fullScreen) {
    Form->Place();
    Window->setParent(Form.get());
  } else {
    Window->setParent(&Panel);
    Form->hide();
  }
  LastMouse = QCursor::pos();
  ShowCursor(true);
  HandOverWindow();
  LayoutVideo();
}

void TVideoDisplay::HandOverWindow() {
  Window->show();
  Host.SetWindowHandle(WindowHandle());
}

void TVideoDisplay::SetFullScreenRect(int left, int top, int clientWidth, int clientHeight) {
  Form->SetStoredRect(QRect(left, top, clientWidth, clientHeight));
  if (IsFullScreen) Form->Place();
}

void TVideoDisplay::VideoSizeActionExecute(int percent, QWidget& mainWindow) {
  if (IsFullScreen) return;
  const QRect frame = mainWindow.frameGeometry();
  const QRect available = mainWindow.screen() ? mainWindow.screen()->availableGeometry() : frame;
  const auto size = VideoSizeWindow({percent,
                                     Host.VideoSize(),
                                     {frame.width(), frame.height()},
                                     {Panel.width(), Panel.height()},
                                     {available.width(), available.height()}});
  if (!size) return;
  const QSize border = frame.size() - mainWindow.size();
  mainWindow.resize(size->Width - border.width(), size->Height - border.height());
  MoveFullyOnScreen(mainWindow, QRect(frame.topLeft(), QSize(size->Width, size->Height)));
}

void TVideoDisplay::ZoomModeActionExecute(int mode) {
  static constexpr TZoom kZooms[] = {{0, 0}, {100, 100}, {-1, -1}};
  if (mode >= 0 && mode < 3) {
    Host.SetZoom(kZooms[mode]);
  } else if (mode == 3) {
    TCustomZoomForm::Run(IsFullScreen ? static_cast<QWidget*>(Form.get()) : &Panel, Host.Zoom(),
                         [this](TZoom zoom) {
                           Host.SetZoom(zoom);
                           LayoutVideo();
                         });
  }
  LayoutVideo();
}

void TVideoDisplay::VideoWindowMouseMove() {
  if (!IsFullScreen) return;
  const QPoint now = QCursor::pos();
  if (now == LastMouse) return;
  LastMouse = now;
  ShowCursor(true);
  Host.ShowTrayControls(kTrayOpenMs);
}

void TVideoDisplay::StripFadedOut() {
  if (IsFullScreen) ShowCursor(false);
}

void TVideoDisplay::ShowCursor(bool shown) {
  const Qt::CursorShape shape = shown ? Qt::ArrowCursor : Qt::BlankCursor;
  Window->setCursor(shape);
  Form->setCursor(shape);
}

}  // namespace tunevale
