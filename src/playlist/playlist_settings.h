#pragma once

#include <cstdint>

namespace tunevale {

// The settings the playlist reads; part of the one settings record.
struct TPlaylistSettings {
  uint8_t OpenBehavior = 0;  // 0 replace and play, 1 add and keep playing, 2 add and play the new files
  uint8_t PlayMode = 2;      // 0 only this track, 1 repeat, 2 play all, 3 repeat all
  bool ShowArtistInPlaylist = false;
};

}  // namespace tunevale
