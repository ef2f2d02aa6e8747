// The main window's layout rules that need no widget: how big its fixed
// strips are in each view, the sizing rule with its snap to the mini view,
// which page tabs show, where the menu button sits, when the version label
// shows and how a docked window moves when its size changes. The window
// measures itself, asks these and places its widgets by the answers.
#pragma once

#include "app/settings.h"

namespace tunevale {

// Fixed sizes of the window's parts, in pixels of the client area.
inline constexpr int TrackInfoPanelFullHeight = 57;
inline constexpr int SmallTopPanelShrink = 16;      // the small strip is this much lower
inline constexpr int ControlsPanelFullHeight = 36;  // transport buttons' top + height
inline constexpr int ControlsPanelSlimHeight = 12;  // progress bar's top + height
inline constexpr int VolumeTrackBarRight = 242;     // the volume bar's right edge
inline constexpr int SlimMinimumClientWidth = 150;
inline constexpr int MiniSnapMargin = 50;        // at most base + this snaps to the mini view
inline constexpr int NormalMinimumMargin = 110;  // below base + this snaps up to it

int TrackInfoPanelHeight(const TSettings& settings);
int ControlsPanelHeight(const TSettings& settings);
// The client width the window never goes below in the current view.
int MinimumClientWidth(const TSettings& settings);
// The client height of the mini view: both strips and nothing between.
int MiniClientHeight(const TSettings& settings);

// What the sizing rule needs to know besides the record.
struct TSizingContext {
  bool NormalState = true;  // neither maximized, minimized nor full screen
  bool VideoFullScreen = false;
  int ScreenWidth = 0;
  int FrameWidth = 0;  // window width - client width
};

// The sizing rule on a requested client size, changed in place: raised to the
// minimum width; heights between the strips and a usable page snap to the
// mini view (MiniMode set) or up to the smallest normal view. Outside the
// mini view the result becomes the normal size (WindowWidth/WindowHeight).
// A window that is not in its normal state, shows video full screen or asks
// for at least the screen's width passes unchanged.
void FormCanResize(TSettings& settings, const TSizingContext& context, int& width, int& height);

// Which page tabs show: the Library and Video tabs only while their page is
// not hidden and the slim view is off; the Playlist tab only while one of
// them shows, so a lone Playlist page has no tab strip at all.
struct TTabVisibility {
  bool Playlist = false;
  bool Library = false;
  bool Video = false;
};
TTabVisibility UpdateTabs(bool libraryHidden, bool videoHidden, bool slim);

// The menu button moves into the track strip in the mini view and while the
// Playlist tab is not shown (no tab strip to sit beside).
bool MenuButtonInStrip(bool miniMode, bool playlistTabVisible);

struct TBox {
  int Left = 0;
  int Top = 0;
  int Width = 0;
  int Height = 0;
  int Right() const { return Left + Width; }
  int Bottom() const { return Top + Height; }
  bool operator==(const TBox&) const = default;
};

// The menu button's place: in the strip directly below the hide button with
// its size; on the page area in the top right corner at `panelSize`.
TBox MenuButtonBox(bool inStrip, const TBox& hideInTrayButton, int clientWidth, int panelSize);

// The version label shows only while the time text ends left of it, in the
// full-height strip, and unless the tweak hides it.
bool VersionLabelVisible(const TSettings& settings, int timeLabelRight, int versionLabelLeft);

// Where a window `before` (frame rectangle) goes when it becomes
// `newWidth` x `newHeight`: an edge that touched the work area's right or
// bottom edge stays on it; otherwise the top left corner stays.
TBox DockedResize(const TBox& before, const TBox& workArea, int newWidth, int newHeight);

}  // namespace tunevale
