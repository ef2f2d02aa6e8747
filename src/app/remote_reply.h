// The texts the player sends to registered listeners: notifications and the
// replies to library queries. Records end with the character 1, fields of a
// record are parted by the character 2.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tunevale {

// What the state notification reports.
struct TRemoteState {
  int GraphState = 0;      // 0 none, 1 stopped, 2 paused, 3 playing
  std::string TimeText;    // the text of the time label
  int PlaylistIndex = -1;  // the now-playing row as last recorded, -1 none
  std::string Artist;
  std::string Album;
  std::string Title;
  bool IsVideo = false;    // the current media shows a picture of non-zero width
};

struct TRemoteArtist {
  int Index = 0;  // position in the library's artist list (for "playartist")
  std::string Name;
};

struct TRemoteAlbum {
  int ArtistIndex = 0;  // for "playalbum"
  int AlbumIndex = 0;   // within that artist
  std::string Name;
};

// A track, video or playlist-file entry of the library.
struct TRemoteEntry {
  std::string Path;
  std::string Name;  // the tag title for tracks
};

// A value as it may appear inside a reply: the characters 0, 1 and 2 would
// cut the frame or split the record at the listener, so they become blanks.
std::string RemoteFieldText(std::string_view value);

// "playlistnames=" + caption + 1 for each row.
std::string FormatPlaylistNames(const std::vector<std::string>& captions);
// "state=graphstate=" + state + 1 + "time=" + time; with `withTrackInfo` also
// the playlist index, artist, album, title and "isvideo=".
std::string FormatState(const TRemoteState& state, bool withTrackInfo);
// "volume=" + position + 1 + muted (1 or 0).
std::string FormatVolume(int position, bool muted);
std::string FormatArtists(const std::vector<TRemoteArtist>& artists);
std::string FormatAlbums(const std::vector<TRemoteAlbum>& albums);
std::string FormatTracks(const std::vector<TRemoteEntry>& tracks);
std::string FormatVideos(const std::vector<TRemoteEntry>& videos);
std::string FormatPlaylists(const std::vector<TRemoteEntry>& playlists);

}  // namespace tunevale
