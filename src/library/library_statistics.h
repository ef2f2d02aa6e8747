// The texts of the library statistics window: counts, the artists with the
// most albums and tracks (ties listed together), the total track length and
// the artist whose tracks last longest. Lengths are summed in 64 bits, so a
// large library does not wrap after 596 hours.
#pragma once

#include <cstdint>
#include <string>

namespace tunevale {

class TLibrary;

struct TLibraryStatistics {
  int ArtistCount = 0;
  int AlbumCount = 0;
  int TrackCount = 0;
  int VideoCount = 0;
  std::string MostAlbums;  // "A, B (3)"; empty when nobody has any
  std::string MostTracks;
  std::string TotalLength;          // "H:mm:ss", from one day on "N days and H:mm:ss"; empty for 0
  std::string LongestArtistLength;  // "Name (H:mm:ss)"; empty when no track has a length

  static TLibraryStatistics Of(const TLibrary& library);
  bool operator==(const TLibraryStatistics&) const = default;
};

}  // namespace tunevale
