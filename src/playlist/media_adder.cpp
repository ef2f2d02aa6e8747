#include "playlist/media_adder.h"

#include "playlist/playlist.h"
#include "playlist/playlist_file.h"

namespace tunevale {

namespace {

// Clears a flag when the scope ends, also by an exception.
class TFlagScope {
 public:
  explicit TFlagScope(bool& flag) : Flag(flag) { Flag = true; }
  ~TFlagScope() { Flag = false; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

 private:
  bool& Flag;
};

const std::string AddingTracks = "Adding tracks...";

}  // namespace

bool ShouldPlayNewFiles(int openBehavior, int playbackState) {
  switch (openBehavior) {
    case 0:
    case 2:
      return true;
    case 1:
      return !IsPausedOrPlaying(playbackState);
    default:
      return false;
  }
}

TMediaAdder::TMediaAdder(TPlaylist& playlist, TPlaylistFile& playlistFile, const TPlaylistSettings& settings)
    : Playlist(playlist), PlaylistFile(playlistFile), Settings(settings) {}

void TMediaAdder::AddFiles(const std::vector<std::string>& files, bool replace) {
  if (replace) Playlist.DeleteAllRows();
  for (const std::string& file : files) {
    if (Playlist.Cancelled()) break;
    Playlist.AddPlaylistEntry(file);
    Playlist.PumpMessages();
  }
}

void TMediaAdder::OpenActionExecute(const TOpenDialog& dialog) {
  if (DialogOpenFlag) return;
  std::vector<std::string> files;
  bool chosen;
  {
    TFlagScope open(DialogOpenFlag);
    chosen = dialog(files);
  }
  if (chosen && !files.empty())
    OpenFiles(files);
  else
    Playlist.ReadTrackInfo(false);
}

void TMediaAdder::OpenFiles(const std::vector<std::string>& files) {
  for (size_t i = 0; i + 1 < files.size(); ++i) {
    if (Playlist.Extensions().GetFileKind(files[i]) == mkPlaylist) {
      PlaylistFile.OpenPlaylistFile(files[i]);
      Playlist.ReadTrackInfo(false);
      return;
    }
  }
  {
    TPlaylistBusyScope busy(Playlist, AddingTracks);
    const bool replace = Settings.OpenBehavior == 0;
    // The first new row, also when a file turned out to be a folder of many.
    const int first = replace ? 0 : Playlist.Count();
    AddFiles(files, replace);
    if (ShouldPlayNewFiles(Settings.OpenBehavior, Playlist.PlaybackState()) && first < Playlist.Count())
      Playlist.PlayEntry(first, true);
  }
  Playlist.ReadTrackInfo(false);
}

void TMediaAdder::AddTracksActionExecute(const TOpenDialog& dialog) {
  if (DialogOpenFlag) return;
  {
    TFlagScope open(DialogOpenFlag);
    std::vector<std::string> files;
    if (dialog(files)) {
      TPlaylistBusyScope busy(Playlist, AddingTracks);
      AddFiles(files, false);
    }
  }
  Playlist.ReadTrackInfo(false);
}

void TMediaAdder::AddFolderActionExecute(const std::string& folder) {
  if (!folder.empty()) Playlist.AddPlaylistEntry(folder);
}

void TMediaAdder::AddURLActionExecute(bool confirmed, const std::string& url) {
  if (confirmed) Playlist.AddPlaylistEntry(url);
  Playlist.ReadTrackInfo(false);
  if (confirmed && !IsPausedOrPlaying(Playlist.PlaybackState())) Playlist.PlayEntry(Playlist.Count() - 1, true);
}

void TMediaAdder::DropFiles(const std::vector<std::string>& paths) {
  {
    TPlaylistBusyScope busy(Playlist, AddingTracks);
    for (const std::string& path : paths) {
      if (Playlist.Cancelled()) break;
      if (Playlist.Extensions().GetFileKind(path) == mkPlaylist)
        PlaylistFile.OpenPlaylistFile(path);
      else
        Playlist.AddPlaylistEntry(path);
      Playlist.PumpMessages();
    }
  }
  Playlist.ReadTrackInfo(false);
}

void TMediaAdder::CancelPlaylistActionActionExecute() { Playlist.CancelPlaylistActionActionExecute(); }

}  // namespace tunevale
