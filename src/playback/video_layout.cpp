#include "playback/video_layout.h"

#include <algorithm>

namespace tunevale {

int64_t RoundDiv(int64_t n, int64_t d) { return n >= 0 ? (2 * n + d) / (2 * d) : -((-2 * n + d) / (2 * d)); }

TZoom ClampZoom(int32_t hZoom, int32_t vZoom) {
  TZoom zoom{std::clamp(hZoom, -1, 100), std::clamp(vZoom, -1, 100)};
  if ((zoom.H == -1) != (zoom.V == -1)) {
    if (zoom.H == -1) zoom.H = 0;
    if (zoom.V == -1) zoom.V = 0;
  }
  return zoom;
}

int ZoomModeOf(TZoom zoom) {
  if (zoom == TZoom{0, 0}) return 0;
  if (zoom == TZoom{100, 100}) return 1;
  return zoom == TZoom{-1, -1} ? 2 : 3;
}

std::optional<TVideoRect> LayoutVideo(const TVideoLayoutInput& input) {
  const int64_t w = input.Video.Width, h = input.Video.Height;
  if (w <= 0 || h <= 0) return std::nullopt;
  const int32_t inset = input.FullScreen ? 0 : 2;
  const int64_t areaW = std::max(input.Area.Width - inset, 0), areaH = std::max(input.Area.Height - inset, 0);
  const int32_t offset = input.FullScreen ? 0 : 1;
  const TZoom zoom = input.FullScreen ? ClampZoom(input.Zoom.H, input.Zoom.V) : TZoom{};
  TVideoRect rect;
  if (zoom.H == -1) {
    rect.Width = static_cast<int32_t>(areaW);
    rect.Height = static_cast<int32_t>(areaH);
  } else {
    // Fit: the whole picture inside the area (a = w / h, so area / a = area * h / w).
    int64_t fitW = areaW, fitH = RoundDiv(areaW * h, w);
    if (fitH > areaH) {
      fitH = areaH;
      fitW = RoundDiv(areaH * w, h);
    }
    // Fill: the area covered, the overflow cropped.
    int64_t fillH = areaH, fillW = RoundDiv(areaH * w, h);
    if (fillW < areaW) {
      fillW = areaW;
      fillH = RoundDiv(areaW * h, w);
    }
    rect.Width = static_cast<int32_t>(RoundDiv((100 - zoom.H) * fitW + fillW * zoom.H, 100));
    rect.Height = static_cast<int32_t>(RoundDiv((100 - zoom.V) * fitH + fillH * zoom.V, 100));
  }
  rect.Left = static_cast<int32_t>((areaW - rect.Width) / 2) + offset;
  rect.Top = static_cast<int32_t>((areaH - rect.Height) / 2) + offset;
  return rect;
}

std::optional<TVideoSize> VideoSizeWindow(const TVideoSizeInput& input) {
  if (input.Video.Width <= 0 || input.Video.Height <= 0) return std::nullopt;
  const auto scaled = [&](int32_t size) {
    return static_cast<int32_t>(RoundDiv(int64_t{input.Percent} * size, 100));
  };
  const int32_t width = input.Window.Width - input.Panel.Width + 2 + scaled(input.Video.Width);
  const int32_t height = input.Window.Height - input.Panel.Height + 2 + scaled(input.Video.Height);
  return TVideoSize{std::min(width, input.Available.Width), std::min(height, input.Available.Height)};
}

}  // namespace tunevale
