// The volume scale: the player's 0..10000 volume as an attenuation in hundredths
// of a decibel, and that attenuation as a linear amplitude factor.
#pragma once

#include <cstdint>

namespace tunevale {

// logarithmic true: round(ln(v + 1) * 1085.73) - 10000, halves to even, so equal steps
// of the volume bar sound like equal steps (10000 -> 0, 1000 -> -2499, 0 -> -10000).
// logarithmic false: v - 10000. The volume is clamped to 0..10000 first.
int32_t VolumeToHundredthsDb(int32_t volume, bool logarithmic);

// 10^(dB / 20) with dB = hundredths / 100: 0 -> 1.0, -2000 -> 0.1.
double HundredthsDbToGain(int32_t hundredthsDb);

// The way back from a gain on the logarithmic scale: the volume whose gain is
// nearest `gain`, within 0..10000 (0 for no gain at all).
int32_t LogVolumeForGain(double gain);

}  // namespace tunevale
