#include "ui/view_modes.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QTabWidget>
#include <algorithm>

#include "app/player.h"
#include "ui/controls_panel.h"
#include "ui/main_form.h"
#include "ui/track_info_panel.h"

namespace tunevale {

namespace {

constexpr int StripsHeight = TTrackInfoPanel::Height + TControlsPanel::Height;
// Below the strips + MiniSnap the window snaps to the mini view, below the
// strips + NormalMinimum to the smallest normal view.
constexpr int MiniSnap = 50;
constexpr int NormalMinimum = 110;

}  // namespace

TViewModes::TViewModes(TPlayer& player, TMainForm& form) : Player(player), Form(form) {}

QSize TViewModes::FormCanResize(QSize requested) {
  if (Form.isMaximized() || Form.isFullScreen()) return requested;
  TSettings& settings = Player.Settings();
  int width = std::max(requested.width(), TControlsPanel::MinimumWidth);
  int height = requested.height();
  if (height < StripsHeight + NormalMinimum) {
    settings.MiniMode = height <= StripsHeight + MiniSnap;
    height = settings.MiniMode ? StripsHeight : StripsHeight + NormalMinimum;
  } else {
    settings.MiniMode = false;
  }
  if (!settings.MiniMode) NormalClientSize = QSize(width, height);
  return {width, height};
}

void TViewModes::FormResized() {
  if (Placing) return;
  const QSize wanted = FormCanResize(Form.size());
  QTabWidget& pages = Form.PageControl();
  if (pages.isHidden() != Player.Settings().MiniMode) {
    pages.setVisible(!Player.Settings().MiniMode);
    // The window's minimum follows the hidden pages before the snap below.
    Form.centralWidget()->layout()->activate();
    Form.layout()->activate();
  }
  if (wanted != Form.size()) {
    Placing = true;
    Form.resize(wanted);
    Placing = false;
  }
  Form.TrackInfoPanel().PlaceControls();
}

void TViewModes::ToggleMiniModeActionExecute() {
  if (!Form.windowState().testFlag(Qt::WindowNoState)) return;
  // The sizing rule turns the smallest height into the mini view.
  Form.resize(Player.Settings().MiniMode ? NormalClientSize : QSize(Form.width(), 0));
}

void TViewModes::StoreWindowState(TSettings& settings) const {
  settings.Maximized = Form.isMaximized();
  const QRect frame = Form.normalGeometry();
  settings.WindowLeft = frame.x();
  settings.WindowTop = frame.y();
  settings.WindowWidth = NormalClientSize.width();
  settings.WindowHeight = NormalClientSize.height();
}

void TViewModes::WindowSettingsRead(const TSettings& settings) {
  NormalClientSize = QSize(std::max(settings.WindowWidth, TControlsPanel::MinimumWidth),
                           std::max(settings.WindowHeight, StripsHeight + NormalMinimum));
  const bool mini = settings.MiniMode;
  QRect area(settings.WindowLeft, settings.WindowTop, NormalClientSize.width(), NormalClientSize.height());
  // A window saved on a screen that is gone comes back on the primary one.
  if (QScreen* screen = QGuiApplication::primaryScreen(); screen && !QGuiApplication::screenAt(area.center()))
    area.moveCenter(screen->availableGeometry().center());
  // The client area's place, as stored: a frame-inclusive move would shift the
  // window by the frame at every start.
  Form.setGeometry(QRect(area.topLeft(), mini ? QSize(NormalClientSize.width(), 0) : NormalClientSize));
  if (settings.Maximized) Form.setWindowState(Form.windowState() | Qt::WindowMaximized);
}

}  // namespace tunevale
