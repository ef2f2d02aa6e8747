#include "library/library_statistics.h"

#include "library/album.h"
#include "library/artist.h"
#include "library/library.h"
#include "library/track.h"
#include "util/text.h"

namespace tunevale {

namespace {

constexpr int64_t MsPerDay = 86400000;

// The running maximum of a count over the artists: a higher count replaces
// the names, an equal one joins them.
struct TLeaders {
  int Maximum = 0;
  std::string Names;

  void Offer(const std::string& name, int count) {
    if (count > Maximum) {
      Maximum = count;
      Names = name;
    } else if (count == Maximum && count > 0) {
      Names += ", " + name;
    }
  }
  std::string Text() const { return Maximum > 0 ? Names + " (" + std::to_string(Maximum) + ")" : ""; }
};

std::string TotalLengthText(int64_t ms) {
  if (ms <= 0) return "";
  const std::string time = FormatPlayTime(ms % MsPerDay);
  return ms < MsPerDay ? time : std::to_string(ms / MsPerDay) + " days and " + time;
}

}  // namespace

TLibraryStatistics TLibraryStatistics::Of(const TLibrary& library) {
  TLibraryStatistics s;
  s.ArtistCount = library.ArtistCount();
  s.VideoCount = library.Videos.Count();
  TLeaders albums, tracks;
  int64_t total = 0, longest = 0;
  std::string longestName;
  for (int a = 0; a < library.ArtistCount(); ++a) {
    const TArtist& artist = *library.Artist(a);
    int artistTracks = 0;
    int64_t artistLength = 0;
    for (int b = 0; b < artist.AlbumCount(); ++b) {
      const TAlbum& album = *artist.Album(b);
      artistTracks += album.TrackCount();
      for (int t = 0; t < album.TrackCount(); ++t) artistLength += album.Track(t)->Length();
    }
    s.AlbumCount += artist.AlbumCount();
    s.TrackCount += artistTracks;
    total += artistLength;
    albums.Offer(artist.Name(), artist.AlbumCount());
    tracks.Offer(artist.Name(), artistTracks);
    if (artistLength > longest) {
      longest = artistLength;
      longestName = artist.Name();
    }
  }
  s.MostAlbums = albums.Text();
  s.MostTracks = tracks.Text();
  s.TotalLength = TotalLengthText(total);
  if (longest > 0) s.LongestArtistLength = longestName + " (" + FormatPlayTime(longest) + ")";
  return s;
}

}  // namespace tunevale
