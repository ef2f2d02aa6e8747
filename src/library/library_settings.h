#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tunevale {

// The settings the library reads; part of the one settings record.
struct TLibrarySettings {
  bool UseLibrary = true;
  std::vector<std::string> LibraryFolders;  // as written: absolute, or relative to the program's folder
  std::string LibraryDbPath;
  int32_t ArtistDoubleclickTab = 0;  // 0 view albums, 1 view tracks
  bool AlwaysShowAlbumArtist = false;
  bool HideIncompleteAlbums = false;
  uint8_t LibraryViewMode = 0;  // 0 list, 1 details
  std::array<int32_t, 6> TrackColumns = {0, 1, 2, 3, 4, 5};
  bool DontSwitchToPlaylist = false;
};

}  // namespace tunevale
