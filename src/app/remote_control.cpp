#include "app/remote_control.h"

#include <algorithm>

#include "app/command_line.h"
#include "app/remote_reply.h"
#include "playlist/media_adder.h"

namespace tunevale {

// Compared in this order; unknown words do nothing.
const TRemoteControl::TEntry TRemoteControl::Table[] = {
    {"seamlessupgrade", &TRemoteControl::SeamlessUpgrade},
    {"|seamlessupgrade|", &TRemoteControl::SeamlessUpgrade},
    {"savesettings", &TRemoteControl::SaveSettings},
    {"loadsettings", &TRemoteControl::LoadSettings},
    {"playpause", &TRemoteControl::PlayPause},
    {"stop", &TRemoteControl::Stop},
    {"next", &TRemoteControl::Next},
    {"previous", &TRemoteControl::Previous},
    {"togglefullscreen", &TRemoteControl::ToggleFullScreen},
    {"setfullscreen", &TRemoteControl::SetFullScreenCommand},
    {"setvideowindowposition", &TRemoteControl::SetVideoWindowPosition},
    {"hidevideo", &TRemoteControl::HideVideo},
    {"showvideo", &TRemoteControl::ShowVideo},
    {"setcontrolmode", &TRemoteControl::SetControlMode},
    {"registerwindow", &TRemoteControl::RegisterWindow},
    {"getplaylistnames", &TRemoteControl::GetPlaylistNames},
    {"getartists", &TRemoteControl::GetArtists},
    {"getalbums", &TRemoteControl::GetAlbums},
    {"gettracks", &TRemoteControl::GetTracks},
    {"getvideos", &TRemoteControl::GetVideos},
    {"getplaylists", &TRemoteControl::GetPlaylists},
    {"playfromplaylist", &TRemoteControl::PlayFromPlaylist},
    {"playartist", &TRemoteControl::PlayArtist},
    {"playalbum", &TRemoteControl::PlayAlbum},
    {"setvolume", &TRemoteControl::SetVolume},
    {"terminate", &TRemoteControl::Terminate},
    {"play", &TRemoteControl::Play},
    {"add", &TRemoteControl::Add},
    {"clearplaylist", &TRemoteControl::ClearPlaylist},
    {"", &TRemoteControl::EmptyText},
};

TRemoteControl::TRemoteControl(TRemoteTarget& target, TRemoteOutput& output, const TRuntime& runtime)
    : Target(target), Output(output), Window(runtime) {}

void TRemoteControl::HandleMessage(TConnectionId sender, std::string_view text) {
  const bool continuation = Window.Begin();
  try {
    const TRemoteCommand command = ParseRemoteCommand(text);
    for (const TEntry& entry : Table)
      if (entry.Word == command.Word) {
        (this->*entry.Handler)(TContext{sender, command, continuation});
        break;
      }
  } catch (...) {
    // A failed command must not leave the window a day ahead: every "play"
    // of the next day would only append and never start playing.
    Window.End();
    throw;
  }
  Window.End();
  Target.ShowHandling();
}

void TRemoteControl::Send(std::string_view text) { RegisteredListeners.Send(Output, text); }

void TRemoteControl::NotifyState(bool sendState, bool sendTrackInfo, bool sendVolume) {
  if (RegisteredListeners.Empty()) return;
  if (sendState) Send(FormatState(Target.State(), sendTrackInfo));
  if (sendVolume) Send(FormatVolume(Target.Volume(), Target.VolumeMuted()));
}

void TRemoteControl::NotifyPlaylistChanged() {
  if (RegisteredListeners.Empty()) return;
  Send(FormatPlaylistNames(Target.PlaylistCaptions()));
}

void TRemoteControl::SetFullScreen(bool on) {
  if (Target.IsVideoFullScreen() != on) Target.ToggleFullScreen();
}

void TRemoteControl::SeamlessUpgrade(const TContext&) { Target.SeamlessUpgrade(); }
void TRemoteControl::SaveSettings(const TContext&) { Target.SaveSettings(); }
void TRemoteControl::LoadSettings(const TContext&) { Target.LoadSettings(); }
void TRemoteControl::PlayPause(const TContext&) { Target.PlayPause(); }
void TRemoteControl::Stop(const TContext&) { Target.Stop(); }
void TRemoteControl::Next(const TContext&) { Target.Next(); }
void TRemoteControl::Previous(const TContext&) { Target.Previous(); }
void TRemoteControl::ToggleFullScreen(const TContext&) { Target.ToggleFullScreen(); }
void TRemoteControl::SetFullScreenCommand(const TContext& c) { SetFullScreen(c.Command.Arg(0) == "1"); }

void TRemoteControl::SetVideoWindowPosition(const TContext& c) {
  // All four numbers first, so a malformed command changes nothing.
  const int left = c.Command.IntArg(0), top = c.Command.IntArg(1);
  const int width = c.Command.IntArg(2), height = c.Command.IntArg(3);
  SetFullScreen(true);
  Target.SetFullScreenRect(left, top, width, height);
}

void TRemoteControl::HideVideo(const TContext&) { Target.HideVideo(); }
void TRemoteControl::ShowVideo(const TContext&) { Target.ShowVideo(); }

void TRemoteControl::SetControlMode(const TContext& c) {
  const bool on = c.Command.Arg(0) == "1";
  Target.SetControlMode(on);
  SetFullScreen(on);
}

void TRemoteControl::RegisterWindow(const TContext& c) {
  if (!RegisteredListeners.Register(c.Command.IntArg(0), c.Sender, Output)) return;
  NotifyPlaylistChanged();
  NotifyState(true, true, true);
}

void TRemoteControl::GetPlaylistNames(const TContext&) { NotifyPlaylistChanged(); }

// Replies go to every listener; without one nothing is searched.
void TRemoteControl::GetArtists(const TContext& c) {
  if (!RegisteredListeners.Empty()) Send(FormatArtists(Target.FindArtists(c.Command.Arg(0))));
}
void TRemoteControl::GetAlbums(const TContext& c) {
  if (!RegisteredListeners.Empty()) Send(FormatAlbums(Target.FindAlbums(c.Command.Arg(0))));
}
void TRemoteControl::GetTracks(const TContext& c) {
  if (!RegisteredListeners.Empty()) Send(FormatTracks(Target.FindTracks(c.Command.Arg(0))));
}
void TRemoteControl::GetVideos(const TContext& c) {
  if (!RegisteredListeners.Empty()) Send(FormatVideos(Target.FindVideos(c.Command.Arg(0))));
}
void TRemoteControl::GetPlaylists(const TContext& c) {
  if (!RegisteredListeners.Empty()) Send(FormatPlaylists(Target.FindPlaylists(c.Command.Arg(0))));
}

// An index outside the playlist stops, as PlayEntry does.
void TRemoteControl::PlayFromPlaylist(const TContext& c) { Target.PlayEntry(c.Command.IntArg(0)); }

// Indices from an older "artists=" reply may no longer be valid: such a
// command leaves the playlist alone.
void TRemoteControl::PlayArtist(const TContext& c) {
  const int artist = c.Command.IntArg(0);
  if (artist < 0 || artist >= Target.ArtistCount()) return;
  Target.ClearPlaylist();
  Target.AddArtistTracks(artist);
  NotifyPlaylistChanged();
  if (Target.PlaylistCount() > 0) Target.PlayEntry(0);
}

void TRemoteControl::PlayAlbum(const TContext& c) {
  const int artist = c.Command.IntArg(0);
  const int album = c.Command.IntArg(1);
  if (artist < 0 || artist >= Target.ArtistCount()) return;
  if (album < 0 || album >= Target.AlbumCount(artist)) return;
  Target.ClearPlaylist();
  Target.AddAlbumTracks(artist, album);
  NotifyPlaylistChanged();
  if (Target.PlaylistCount() > 0) Target.PlayEntry(0);
}

// The slider keeps its position within its range.
void TRemoteControl::SetVolume(const TContext& c) { Target.SetVolume(std::clamp(c.Command.IntArg(0), 0, 10000)); }

void TRemoteControl::Terminate(const TContext&) { Target.Close(); }

void TRemoteControl::Play(const TContext& c) {
  if (Target.OpenBehavior() == 0 && !c.Continuation) Target.ClearPlaylist();
  // The first new row is where playback starts; counting back from the end
  // by the number of arguments would land inside an added folder.
  const int firstNew = Target.PlaylistCount();
  for (const std::string& item : c.Command.Args)
    if (!item.empty()) Target.AddPlaylistEntry(item);
  if (!c.Continuation && ShouldPlayNewFiles(Target.OpenBehavior(), Target.State().GraphState) &&
      firstNew < Target.PlaylistCount())
    Target.PlayEntry(firstNew);
  Target.ReadTrackInfo();
}

void TRemoteControl::Add(const TContext& c) {
  for (const std::string& item : c.Command.Args)
    if (!item.empty()) Target.AddPlaylistEntry(item);
  Target.ReadTrackInfo();
}

void TRemoteControl::ClearPlaylist(const TContext&) { Target.ClearPlaylist(); }
void TRemoteControl::EmptyText(const TContext&) { Target.ShowIfHidden(); }

}  // namespace tunevale
