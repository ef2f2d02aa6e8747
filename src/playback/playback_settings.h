#pragma once

#include <cstdint>

namespace tunevale {

// The settings playback reads; part of the one settings record.
struct TPlaybackSettings {
  int32_t Volume = 10000;  // 0 to 10000
  bool VolumeMuted = false;
  int32_t PictureDuration = 7;  // seconds
  bool PreferOverlay = false;
  int32_t HZoom = 0;
  int32_t VZoom = 0;
  bool ResumePlaybackAfterClose = false;
};

}  // namespace tunevale
