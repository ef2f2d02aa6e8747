// The window's button and marker glyphs, drawn in code so the program needs
// no image files.
#pragma once

#include <QColor>
#include <QIcon>

namespace tunevale {

enum class TGlyph {
  Play,
  Pause,
  Stop,
  Previous,
  Next,
  Mute,
  Unmuted,
  HideInTray,
  ShowMainWindow,
  FullScreen,
  NextFrame,
  Menu,
  ShowSidePanels,
  Open,
  Clear,
  Shuffle,
  Sort,
  Save,
  Busy,
  NowPlayingMarker,
  FailedMarker,
  NormalMarker,
};

// A 16 x 16 icon of `glyph` in `color` (the markers keep their own colours).
QIcon GlyphIcon(TGlyph glyph, const QColor& color = QColor(230, 230, 230));

}  // namespace tunevale
