// Where the picture goes: the video window's rectangle for a video size in the
// panel (windowed) or on the full-screen window, and the main window size that
// shows a video at a given percentage. Pure arithmetic, no widgets.
//
// Rounding: every "round" here is to the nearest integer with halves away from
// zero (73.5 gives 74), done on integers so no binary fraction can tip a half.
// Centring divides truncating toward zero, as C++ does.
#pragma once

#include <cstdint>
#include <optional>

namespace tunevale {

struct TVideoRect {
  int32_t Left = 0, Top = 0, Width = 0, Height = 0;
  bool operator==(const TVideoRect&) const = default;
};

struct TVideoSize {
  int32_t Width = 0, Height = 0;
  bool operator==(const TVideoSize&) const = default;
};

// Percent zooms: 0 fits the whole picture, 100 fills the area and crops, values
// between blend the two; -1 (horizontal) stretches to the area.
struct TZoom {
  int32_t H = 0, V = 0;
  bool operator==(const TZoom&) const = default;
};

// The zooms as a hand-edited settings file may hold them, made safe: each is
// clamped to -1..100, and -1 on one axis only (stretch is both or neither)
// becomes 0 on that axis.
TZoom ClampZoom(int32_t hZoom, int32_t vZoom);

// The zoom mode menu's item for a zoom: 0 fit, 1 crop, 2 stretch, 3 custom.
int ZoomModeOf(TZoom zoom);

// n / d rounded half away from zero; d > 0.
int64_t RoundDiv(int64_t n, int64_t d);

struct TVideoLayoutInput {
  TVideoSize Video;         // 0 on either axis: unknown, nothing is placed
  TVideoSize Area;          // the panel (windowed) or the full-screen window's client area
  bool FullScreen = false;  // windowed: the panel minus 2 on each axis, at (1, 1), never zoomed
  TZoom Zoom;               // full screen only; clamped here
};

// The video window's bounds, or nothing while the video size is unknown.
std::optional<TVideoRect> LayoutVideo(const TVideoLayoutInput& input);

struct TVideoSizeInput {
  int32_t Percent = 100;
  TVideoSize Video;
  TVideoSize Window;     // the main window's outer size
  TVideoSize Panel;      // the video panel's size
  TVideoSize Available;  // the screen's available area
};

// The main window size whose video area shows the video at Percent, never
// larger than the available area. Nothing when the video size is unknown.
std::optional<TVideoSize> VideoSizeWindow(const TVideoSizeInput& input);

}  // namespace tunevale
