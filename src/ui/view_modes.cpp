#include "ui/view_modes.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLayout>
#include <QMenu>
#include <QScreen>
#include <QTabWidget>
#include <QToolButton>
#include <algorithm>

#include "app/player.h"
#include "app/window_rules.h"
#include "ui/controls_panel.h"
#include "ui/glyphs.h"
#include "ui/library_sheet.h"
#include "ui/main_actions.h"
#include "ui/main_form.h"
#include "ui/main_menus.h"
#include "ui/playlist_sheet.h"
#include "ui/skin_picture.h"
#include "ui/tessel_form.h"
#include "ui/track_info_panel.h"
#include "ui/video_sheet.h"

namespace tunevale {

namespace {

TBox BoxOf(const QRect& r) { return {r.x(), r.y(), r.width(), r.height()}; }

// The caption colours of the desktop's palette for a strip without glass:
// a light tint of the selection colour while active, grey while inactive.
QColor CaptionColour(bool active) {
  const QPalette palette = QApplication::palette();
  const QColor base = palette.color(QPalette::Active, QPalette::Window);
  const QColor tint = active ? palette.color(QPalette::Active, QPalette::Highlight)
                             : palette.color(QPalette::Inactive, QPalette::Mid);
  const auto mix = [](int a, int b) { return (a * 3 + b * 2) / 5; };
  return QColor(mix(base.red(), tint.red()), mix(base.green(), tint.green()), mix(base.blue(), tint.blue()));
}

}  // namespace

TViewModes::TViewModes(TPlayer& player, TMainForm& form) : Player(player), Form(form) {}

QSize TViewModes::FormCanResize(QSize requested) {
  TSizingContext context;
  context.NormalState =
      !(Form.windowState() & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen));
  context.VideoFullScreen = Form.IsVideoFullScreen();
  const QScreen* screen = Form.screen();
  context.ScreenWidth = screen ? screen->geometry().width() : INT_MAX;
  context.FrameWidth = Form.frameGeometry().width() - Form.width();
  int width = requested.width();
  int height = requested.height();
  tunevale::FormCanResize(Player.Settings(), context, width, height);
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
  Form.Menus().ApplyViewState(Player.Settings());
  PlaceMenuButton();
  Form.TrackInfoPanel().PlaceControls();
}

void TViewModes::ToggleMiniModeActionExecute() {
  if (Form.TrayControlsVisible()) return;
  QRect frame = Form.frameGeometry();
  if (Form.windowState() == Qt::WindowNoState) {
    const TSettings& s = Player.Settings();
    const QSize margins = frame.size() - Form.size();
    // The sizing rule turns the smallest size into the mini view.
    const QSize request =
        Form.height() == s.WindowHeight ? QSize(0, 0) : QSize(s.WindowWidth, s.WindowHeight);
    const QSize target = FormCanResize(request);
    Form.resize(target);
    const QScreen* screen = Form.screen();
    const TBox after = DockedResize(BoxOf(frame), BoxOf(screen ? screen->availableGeometry() : frame),
                                    target.width() + margins.width(), target.height() + margins.height());
    frame = QRect(after.Left, after.Top, after.Width, after.Height);
  }
  MoveFullyOnScreen(Form, frame);
}

void TViewModes::ShowOptionsMenu() {
  const QToolButton& button = Form.MenuButton();
  PopupMenu(Form.Menus().OptionsPopupMenu(), button.mapToGlobal(QPoint(0, button.height())));
}

void TViewModes::WindowSwitched(TWindowSwitch which) {
  if (which == TWindowSwitch::LibraryViewMode || which == TWindowSwitch::Mute) return;
  ApplyViewFlags();
  if (which == TWindowSwitch::MicroMode) UpdateGlass();
}

void TViewModes::ApplyViewFlags() {
  const TSettings& s = Player.Settings();
  Form.TrackInfoPanel().SetSmall(s.SmallTopPanel);
  Form.ControlsPanel().SetSlim(s.MicroMode);
  Form.PlaylistSheet().SetPanelsShown(!s.HidePanels, !s.HideSidePanels);
  Form.LibrarySheet().SetTopPanelShown(!s.HidePanels);
  Form.VideoSheet().SetTopPanelShown(!s.HidePanels);
  Form.Actions().UpdateStates();
  Form.Menus().ApplyViewState(s);
  UpdateTabs();
  Form.setMinimumSize(MinimumClientWidth(s), MiniClientHeight(s));
  // The strips changed height: a mini view stays exactly the strips.
  if (s.MiniMode && Form.isVisible()) Form.resize(FormCanResize(QSize(Form.width(), 0)));
  Form.TrackInfoPanel().PlaceControls();
}

void TViewModes::SetPageHidden(int page, bool hidden) {
  if (page < 0 || page >= int(HiddenPages.size()) || HiddenPages[page] == hidden) return;
  HiddenPages[page] = hidden;
  UpdateTabs();
}

bool TViewModes::PageHidden(int page) const {
  return page >= 0 && page < int(HiddenPages.size()) && HiddenPages[page];
}

void TViewModes::UpdateTabs() {
  QTabWidget& pages = Form.PageControl();
  const int page = pages.currentIndex();
  const TTabVisibility tabs =
      tunevale::UpdateTabs(HiddenPages[mpLibrary], HiddenPages[mpVideo], Player.Settings().MicroMode);
  pages.setTabVisible(mpPlaylist, tabs.Playlist);
  pages.setTabVisible(mpLibrary, tabs.Library);
  pages.setTabVisible(mpVideo, tabs.Video);
  // Tabs come and go, the page in front stays (the slim view hides tabs, not
  // pages), unless it is hidden for its own reason: then the playlist shows.
  pages.setCurrentIndex(PageHidden(page) ? mpPlaylist : page);
  ShowCurrentPage();
  PlaceMenuButton();
}

void TViewModes::ShowCurrentPage() {
  // Hiding a tab hides its page too, even the page in front: a lone page shows without its tab.
  if (QWidget* page = Form.PageControl().currentWidget()) page->setVisible(true);
}

void TViewModes::PlaceMenuButton() {
  QTabWidget& pages = Form.PageControl();
  QToolButton& button = Form.MenuButton();
  TTrackInfoPanel& strip = Form.TrackInfoPanel();
  const bool inStrip = MenuButtonInStrip(Player.Settings().MiniMode, pages.isTabVisible(mpPlaylist));
  QWidget* host = inStrip ? static_cast<QWidget*>(&strip) : &pages;
  if (button.parentWidget() != host) {
    button.setParent(host);
    // Light on the strip like the hide button, dark on the page area.
    button.setIcon(inStrip ? GlyphIcon(TGlyph::Menu) : GlyphIcon(TGlyph::Menu, Qt::darkGray));
    button.show();
  }
  const int panelSize = 10 + QFontInfo(Form.font()).pixelSize();
  const TBox box = MenuButtonBox(inStrip, BoxOf(strip.HideInTrayButtonGeometry()), Form.width(), panelSize);
  button.setGeometry(box.Left, box.Top, box.Width, box.Height);
  button.raise();
}

void TViewModes::UpdateGlass() {
  const TSettings& s = Player.Settings();
  const bool active = QGuiApplication::applicationState() == Qt::ApplicationActive;
  // Lent to the tray window (or over full-screen video) the strip is black.
  const bool lent = Form.ControlsPanel().window() != &Form;
  Form.ControlsPanel().SetColour(lent             ? QColor(Qt::black)
                                 : s.ForceNoGlass ? QApplication::palette().color(QPalette::Button)
                                                  : CaptionColour(active));
  if (const QColor font = QtColour(s.TopPanelFontColor); !Form.IsVideoFullScreen() && font.isValid())
    Form.TrackInfoPanel().SetFontColour(font);
}

QSize TViewModes::NormalSize() const {
  const TSettings& s = Player.Settings();
  return {s.WindowWidth, s.WindowHeight};
}

void TViewModes::StoreWindowState(TSettings& settings) const {
  settings.Maximized = Form.isMaximized();
  const QRect frame = Form.normalGeometry();
  settings.WindowLeft = frame.x();
  settings.WindowTop = frame.y();
}

void TViewModes::WindowSettingsRead(const TSettings& settings) {
  TSettings& s = Player.Settings();
  const QSize normal(std::max(settings.WindowWidth, MinimumClientWidth(s)),
                     std::max(settings.WindowHeight, MiniClientHeight(s) + NormalMinimumMargin));
  s.WindowWidth = normal.width();
  s.WindowHeight = normal.height();
  const bool mini = settings.MiniMode;
  QRect area(settings.WindowLeft, settings.WindowTop, normal.width(), normal.height());
  // A window saved on a screen that is gone comes back on the primary one.
  if (QScreen* screen = QGuiApplication::primaryScreen(); screen && !QGuiApplication::screenAt(area.center()))
    area.moveCenter(screen->availableGeometry().center());
  // The client area's place, as stored: a frame-inclusive move would shift the
  // window by the frame at every start.
  Form.setGeometry(QRect(area.topLeft(), mini ? QSize(0, 0) : normal));
  // The mini view leaves the normal size as it was read.
  s.WindowWidth = normal.width();
  s.WindowHeight = normal.height();
  if (settings.Maximized) Form.setWindowState(Form.windowState() | Qt::WindowMaximized);
}

}  // namespace tunevale
