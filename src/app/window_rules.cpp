#include "app/window_rules.h"

#include <algorithm>

namespace tunevale {

int TrackInfoPanelHeight(const TSettings& settings) {
  return TrackInfoPanelFullHeight - (settings.SmallTopPanel ? SmallTopPanelShrink : 0);
}

int ControlsPanelHeight(const TSettings& settings) {
  return settings.MicroMode ? ControlsPanelSlimHeight : ControlsPanelFullHeight;
}

int MinimumClientWidth(const TSettings& settings) {
  return settings.MicroMode ? SlimMinimumClientWidth : VolumeTrackBarRight;
}

int MiniClientHeight(const TSettings& settings) {
  return TrackInfoPanelHeight(settings) + ControlsPanelHeight(settings);
}

void FormCanResize(TSettings& settings, const TSizingContext& context, int& width, int& height) {
  if (!context.NormalState || context.VideoFullScreen || width + context.FrameWidth >= context.ScreenWidth)
    return;
  width = std::max(width, MinimumClientWidth(settings));
  const int base = MiniClientHeight(settings);
  if (height < base + NormalMinimumMargin) {
    settings.MiniMode = height <= base + MiniSnapMargin;
    height = settings.MiniMode ? base : base + NormalMinimumMargin;
  } else {
    settings.MiniMode = false;
  }
  if (!settings.MiniMode) {
    settings.WindowWidth = width;
    settings.WindowHeight = height;
  }
}

TTabVisibility UpdateTabs(bool libraryHidden, bool videoHidden, bool slim) {
  TTabVisibility tabs;
  tabs.Library = !libraryHidden && !slim;
  tabs.Video = !videoHidden && !slim;
  // Decided from the other two only: a rule that also read the Playlist
  // page's own hide flag, which it sets itself, would flip at every call.
  tabs.Playlist = tabs.Library || tabs.Video;
  return tabs;
}

bool MenuButtonInStrip(bool miniMode, bool playlistTabVisible) { return miniMode || !playlistTabVisible; }

TBox MenuButtonBox(bool inStrip, const TBox& hideInTrayButton, int clientWidth, int panelSize) {
  if (inStrip)
    return {hideInTrayButton.Left, hideInTrayButton.Height, hideInTrayButton.Width, hideInTrayButton.Height};
  return {clientWidth - panelSize, 0, panelSize, panelSize};
}

bool VersionLabelVisible(const TSettings& settings, int timeLabelRight, int versionLabelLeft) {
  return timeLabelRight < versionLabelLeft && !settings.HideVersionLabel && !settings.SmallTopPanel;
}

TBox DockedResize(const TBox& before, const TBox& workArea, int newWidth, int newHeight) {
  TBox after{before.Left, before.Top, newWidth, newHeight};
  if (before.Right() >= workArea.Right()) after.Left -= newWidth - before.Width;
  if (before.Bottom() >= workArea.Bottom()) after.Top -= newHeight - before.Height;
  return after;
}

}  // namespace tunevale
