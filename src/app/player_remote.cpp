// The player's operations as the remote commands and the window's library
// actions use them.
#include "app/player.h"
#include "library/search_results.h"

namespace tunevale {

namespace {

template <class TItem, class TName>
std::vector<TRemoteEntry> Entries(const std::vector<TItem*>& items, TName name) {
  std::vector<TRemoteEntry> out;
  out.reserve(items.size());
  for (const TItem* item : items) out.push_back({std::string(item->Path()), std::string(name(*item))});
  return out;
}

}  // namespace

// A command's failure must not wait for the user inside the command.
void TPlayer::SaveSettings() {
  if (std::string error = SaveSettingsError(); !error.empty()) QueueMessage(std::move(error), mtError);
}
void TPlayer::LoadSettings() { LoadSettingsPass(false); }
void TPlayer::PlayPause() { ControllerObject.PlayPauseActionExecute(); }
void TPlayer::Stop() { ControllerObject.StopActionExecute(); }
void TPlayer::Next() { PlaylistObject.NextActionExecute(); }
void TPlayer::Previous() { PlaylistObject.PreviousActionExecute(); }
bool TPlayer::IsVideoFullScreen() const { return V().IsVideoFullScreen(); }
void TPlayer::ToggleFullScreen() { V().ToggleFullScreen(); }
void TPlayer::SetFullScreenRect(int left, int top, int width, int height) {
  V().SetFullScreenRect(left, top, width, height);
}
void TPlayer::HideVideo() { V().HideVideo(); }
void TPlayer::ShowVideo() { V().ShowVideo(); }

void TPlayer::SetControlMode(bool on) {
  ControlModeFlag = on;
  V().SetMainWindowHidden(on);
}

// ---- Library queries --------------------------------------------------------------

std::vector<TRemoteArtist> TPlayer::FindArtists(const std::string& query) const {
  std::vector<TRemoteArtist> out;
  for (const TArtistResult& r : tunevale::FindArtists(LibraryObject, MatcherFor(LibraryObject, query)))
    out.push_back({r.ArtistIndex, r.Artist->Name()});
  return out;
}

std::vector<TRemoteAlbum> TPlayer::FindAlbums(const std::string& query) const {
  std::vector<TRemoteAlbum> out;
  for (const TAlbumResult& r : tunevale::FindAlbums(LibraryObject, MatcherFor(LibraryObject, query)))
    out.push_back({r.ArtistIndex, r.AlbumIndex, r.Album->Name()});
  return out;
}

std::vector<TRemoteEntry> TPlayer::FindTracks(const std::string& query) const {
  return Entries(tunevale::FindTracks(LibraryObject, MatcherFor(LibraryObject, query)),
                 [](const TTrack& t) { return t.Title(); });
}

std::vector<TRemoteEntry> TPlayer::FindVideos(const std::string& query) const {
  return Entries(FindItems(LibraryObject.Videos, MatcherFor(LibraryObject, query)),
                 [](const TLibraryItem& i) { return i.Name(); });
}

std::vector<TRemoteEntry> TPlayer::FindPlaylists(const std::string& query) const {
  return Entries(FindItems(LibraryObject.Playlists, MatcherFor(LibraryObject, query)),
                 [](const TLibraryItem& i) { return i.Name(); });
}

int TPlayer::ArtistCount() const { return LibraryObject.ArtistCount(); }

int TPlayer::AlbumCount(int artistIndex) const {
  if (artistIndex < 0 || artistIndex >= LibraryObject.ArtistCount()) return 0;
  return LibraryObject.Artist(artistIndex)->AlbumCount();
}

// ---- Library to playlist -----------------------------------------------------------

std::vector<std::string> TPlayer::ArtistTrackPaths(int artistIndex, int albumIndex) const {
  std::vector<std::string> paths;
  if (artistIndex < 0 || artistIndex >= LibraryObject.ArtistCount()) return paths;
  const TArtist* artist = LibraryObject.Artist(artistIndex);
  const int first = albumIndex < 0 ? 0 : albumIndex;
  const int last = albumIndex < 0 ? artist->AlbumCount() - 1 : albumIndex;
  if (first >= artist->AlbumCount() || last >= artist->AlbumCount()) return paths;
  for (int b = first; b <= last; ++b) {
    const TAlbum* album = artist->Album(b);
    for (int t = 0; t < album->TrackCount(); ++t) paths.emplace_back(album->Track(t)->Path());
  }
  return paths;
}

// The paths are taken before adding: adding pumps messages, and a crawl may
// change the library meanwhile.
void TPlayer::AddLibraryTracks(const std::vector<std::string>& paths) {
  TPlaylistBusyScope busy(PlaylistObject, "Adding tracks...");
  for (const std::string& path : paths) {
    if (PlaylistObject.Cancelled()) break;
    PlaylistObject.AddPlaylistEntry(path);
    PlaylistObject.PumpMessages();
  }
}

void TPlayer::PlayLibraryTracks(const std::vector<std::string>& paths) {
  if (paths.empty()) return;
  V().ShowPage(mpPlaylist);
  PlaylistObject.DeleteAllRows();
  AddLibraryTracks(paths);
  PlaylistObject.NotifyPlaylistChanged();
  if (PlaylistObject.Count() > 0) PlaylistObject.PlayEntry(0, true);
}

void TPlayer::AddArtistTracks(int artistIndex) { AddLibraryTracks(ArtistTrackPaths(artistIndex, -1)); }

void TPlayer::AddAlbumTracks(int artistIndex, int albumIndex) {
  if (albumIndex >= 0) AddLibraryTracks(ArtistTrackPaths(artistIndex, albumIndex));
}

void TPlayer::LibraryAddArtist(int artistIndex) {
  AddArtistTracks(artistIndex);
  PlaylistObject.ReadTrackInfo(false);
}

void TPlayer::LibraryAddAlbum(int artistIndex, int albumIndex) {
  AddAlbumTracks(artistIndex, albumIndex);
  PlaylistObject.ReadTrackInfo(false);
}

void TPlayer::LibraryPlayArtist(int artistIndex) { PlayLibraryTracks(ArtistTrackPaths(artistIndex, -1)); }

void TPlayer::LibraryPlayAlbum(int artistIndex, int albumIndex) {
  if (albumIndex >= 0) PlayLibraryTracks(ArtistTrackPaths(artistIndex, albumIndex));
}

// ---- Playlist ------------------------------------------------------------------------

int TPlayer::PlaylistCount() const { return PlaylistObject.Count(); }

std::vector<std::string> TPlayer::PlaylistCaptions() const {
  std::vector<std::string> captions;
  captions.reserve(static_cast<size_t>(PlaylistObject.Count()));
  for (int i = 0; i < PlaylistObject.Count(); ++i) captions.push_back(PlaylistObject.Row(i).Caption);
  return captions;
}

void TPlayer::ClearPlaylist() { PlaylistObject.DeleteAllRows(); }
void TPlayer::AddPlaylistEntry(const std::string& fileName) { PlaylistObject.AddPlaylistEntry(fileName); }

void TPlayer::PlayEntry(int index) { PlaylistObject.PlayEntry(index, true); }

void TPlayer::ReadTrackInfo() { PlaylistObject.ReadTrackInfo(false); }
int TPlayer::OpenBehavior() const { return SettingsRecord.OpenBehavior; }

// ---- State ---------------------------------------------------------------------------

TRemoteState TPlayer::State() const {
  TRemoteState state;
  state.GraphState = ControllerObject.State();
  state.TimeText = ControllerObject.TimeLabel();
  state.PlaylistIndex = ControllerObject.RememberedPlayingIndex();
  const TMetaData& tags = ControllerObject.NowPlaying();
  state.Artist = tags.Artist;
  state.Album = tags.Album;
  state.Title = tags.Title;
  state.IsVideo = ControllerObject.VideoWidth() > 0;
  return state;
}

int TPlayer::Volume() const { return ControllerObject.VolumeTrackBarPosition(); }
bool TPlayer::VolumeMuted() const { return SettingsRecord.VolumeMuted; }
void TPlayer::SetVolume(int position) { ControllerObject.VolumeTrackBarChange(position); }
void TPlayer::ShowIfHidden() { V().ShowIfHidden(); }
void TPlayer::ShowHandling() { V().ShowHandling(); }

}  // namespace tunevale
