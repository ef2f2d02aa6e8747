#include "mpris/mpris_mapping.h"

#include <algorithm>

#include "playback/volume_scale.h"
#include "playlist/playback_target.h"
#include "playlist/playlist.h"
#include "playlist/playlist_file.h"
#include "util/text.h"

namespace tunevale {

const char* PlaybackStatusName(int graphState) {
  if (graphState == psPlaying) return "Playing";
  return graphState == psPaused ? "Paused" : "Stopped";
}

const char* LoopStatusName(uint8_t playMode) {
  if (playMode == pmRepeat) return "Track";
  return playMode == pmRepeatAll ? "Playlist" : "None";
}

int PlayModeForLoopStatus(std::string_view loopStatus, uint8_t currentMode) {
  if (loopStatus == "Track") return pmRepeat;
  if (loopStatus == "Playlist") return pmRepeatAll;
  if (loopStatus == "None") return currentMode == pmOnlyThisTrack ? pmOnlyThisTrack : pmPlayAll;
  return -1;
}

double VolumeGain(int32_t volume) {
  return volume <= 0 ? 0.0 : HundredthsDbToGain(VolumeToHundredthsDb(volume, true));
}

std::string LocationOfUri(std::string_view uri) {
  const size_t colon = uri.find("://");
  if (colon == std::string_view::npos) return {};
  const std::string scheme = AsciiLower(uri.substr(0, colon));
  if (std::find(std::begin(SupportedUriSchemes), std::end(SupportedUriSchemes), scheme) ==
      std::end(SupportedUriSchemes))
    return {};
  std::string location = scheme == "file" ? LocalPathOfFileUrl(uri) : std::string(uri);
  // A file on another host stays a "file://" address: nothing to open here.
  if (scheme == "file" && (location.empty() || location.front() != '/')) return {};
  // The command separates its arguments by byte 1; a NUL would cut the path.
  if (location.find_first_of(std::string_view("\0\x01", 2)) != std::string::npos) return {};
  return location;
}

}  // namespace tunevale
