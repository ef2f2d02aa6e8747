#include "playback/volume_scale.h"

#include <algorithm>
#include <cmath>

namespace tunevale {

int32_t VolumeToHundredthsDb(int32_t volume, bool logarithmic) {
  volume = std::clamp(volume, 0, 10000);
  if (!logarithmic) return volume - 10000;
  // nearbyint rounds halves to even in the default rounding mode.
  return static_cast<int32_t>(std::nearbyint(std::log(volume + 1.0) * 1085.73)) - 10000;
}

double HundredthsDbToGain(int32_t hundredthsDb) { return std::pow(10.0, hundredthsDb / 2000.0); }

}  // namespace tunevale
