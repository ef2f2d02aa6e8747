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

void TPlayer::AddArtistTracks(int artistIndex) {
  if (artistIndex >= 0 && artistIndex < LibraryObject.ArtistCount())
    LibraryCommandsObject.AppendArtist(*LibraryObject.Artist(artistIndex));
}

void TPlayer::AddAlbumTracks(int artistIndex, int albumIndex) {
  if (artistIndex < 0 || artistIndex >= LibraryObject.ArtistCount()) return;
  const TArtist& artist = *LibraryObject.Artist(artistIndex);
  if (albumIndex >= 0 && albumIndex < artist.AlbumCount())
    LibraryCommandsObject.AppendAlbum(*artist.Album(albumIndex));
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
