#include "app/remote_reply.h"

#include "app/remote_command.h"

namespace tunevale {

namespace {

void AppendField(std::string& out, std::string_view value) {
  for (char c : value) out.push_back(c == '\0' || c == RemoteItemSeparator || c == RemoteFieldSeparator ? ' ' : c);
}

std::string FormatEntries(std::string prefix, const std::vector<TRemoteEntry>& entries) {
  std::string out = std::move(prefix);
  for (const TRemoteEntry& e : entries) {
    AppendField(out, e.Path);
    out += RemoteFieldSeparator;
    AppendField(out, e.Name);
    out += RemoteItemSeparator;
  }
  return out;
}

}  // namespace

std::string RemoteFieldText(std::string_view value) {
  std::string out;
  AppendField(out, value);
  return out;
}

std::string FormatPlaylistNames(const std::vector<std::string>& captions) {
  std::string out = "playlistnames=";
  for (const std::string& caption : captions) {
    AppendField(out, caption);
    out += RemoteItemSeparator;
  }
  return out;
}

std::string FormatState(const TRemoteState& state, bool withTrackInfo) {
  std::string out = "state=graphstate=" + std::to_string(state.GraphState) + RemoteItemSeparator + "time=";
  AppendField(out, state.TimeText);
  if (!withTrackInfo) return out;
  out += RemoteItemSeparator;
  out += "playlistindex=" + std::to_string(state.PlaylistIndex) + RemoteItemSeparator + "artist=";
  AppendField(out, state.Artist);
  out += RemoteItemSeparator;
  out += "album=";
  AppendField(out, state.Album);
  out += RemoteItemSeparator;
  out += "title=";
  AppendField(out, state.Title);
  out += RemoteItemSeparator;
  out += state.IsVideo ? "isvideo=1" : "isvideo=0";
  return out;
}

std::string FormatVolume(int position, bool muted) {
  return "volume=" + std::to_string(position) + RemoteItemSeparator + (muted ? "1" : "0");
}

std::string FormatArtists(const std::vector<TRemoteArtist>& artists) {
  std::string out = "artists=";
  for (const TRemoteArtist& a : artists) {
    out += std::to_string(a.Index) + RemoteFieldSeparator;
    AppendField(out, a.Name);
    out += RemoteItemSeparator;
  }
  return out;
}

std::string FormatAlbums(const std::vector<TRemoteAlbum>& albums) {
  std::string out = "albums=";
  for (const TRemoteAlbum& a : albums) {
    out += std::to_string(a.ArtistIndex) + RemoteFieldSeparator + std::to_string(a.AlbumIndex) + RemoteFieldSeparator;
    AppendField(out, a.Name);
    out += RemoteItemSeparator;
  }
  return out;
}

std::string FormatTracks(const std::vector<TRemoteEntry>& tracks) { return FormatEntries("tracks=", tracks); }
std::string FormatVideos(const std::vector<TRemoteEntry>& videos) { return FormatEntries("videos=", videos); }
std::string FormatPlaylists(const std::vector<TRemoteEntry>& playlists) {
  return FormatEntries("playlists=", playlists);
}

}  // namespace tunevale
