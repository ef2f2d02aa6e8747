// How the desktop media controls' values map onto the player's: playback
// and loop status, the volume as a linear gain, a client's URI as a location.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tunevale {

// The URI schemes "play" takes: local files and the addresses the engine streams.
inline constexpr std::string_view SupportedUriSchemes[] = {"file", "http", "https", "ftp", "rtsp", "mms"};

// "Playing" while the graph runs, "Paused" while it is paused, else "Stopped".
const char* PlaybackStatusName(int graphState);

// The play mode as a loop status: "Repeat" is "Track", "Repeat all" is
// "Playlist"; "Play all" and "Only this track" both stop at some end: "None".
const char* LoopStatusName(uint8_t playMode);
// The play mode a client's loop status asks for, or -1 for an unknown name.
// "None" keeps "Only this track" when that is the mode, else it is "Play all".
int PlayModeForLoopStatus(std::string_view loopStatus, uint8_t currentMode);

// The amplitude factor the engine applies at a volume (0..10000) on the
// logarithmic scale; the bottom of the scale is silence, 0. The way back is
// LogVolumeForGain (playback/volume_scale.h).
double VolumeGain(int32_t volume);

// The location "play" gets for a client's URI: a "file://" URI's local path,
// an address of another supported scheme as it is; empty when the URI names
// no local file, has another scheme, or holds a byte the command cannot carry.
std::string LocationOfUri(std::string_view uri);

}  // namespace tunevale
