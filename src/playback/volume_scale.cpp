#include "playback/volume_scale.h"

#include <algorithm>
#include <cmath>

namespace tunevale {

namespace {

constexpr double LogScaleFactor = 1085.73;

}  // namespace

int32_t VolumeToHundredthsDb(int32_t volume, bool logarithmic) {
  volume = std::clamp(volume, 0, 10000);
  if (!logarithmic) return volume - 10000;
  // nearbyint rounds halves to even in the default rounding mode.
  return static_cast<int32_t>(std::nearbyint(std::log(volume + 1.0) * LogScaleFactor)) - 10000;
}

double HundredthsDbToGain(int32_t hundredthsDb) { return std::pow(10.0, hundredthsDb / 2000.0); }

int32_t LogVolumeForGain(double gain) {
  if (!(gain > 0)) return 0;  // also NaN
  const double hundredthsDb = 2000.0 * std::log10(gain);
  const double volume = std::exp((hundredthsDb + 10000.0) / LogScaleFactor) - 1.0;
  return static_cast<int32_t>(std::lround(std::clamp(volume, 0.0, 10000.0)));
}

}  // namespace tunevale
