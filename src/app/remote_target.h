// What the remote commands need of the player. The player implements it with
// the same operations its window uses; TRemoteControl decides which ones a
// command runs. Everything is called on the main thread, inside the handling
// of one command; operations that add files or read tags may pump messages,
// so a further command can run inside them.
#pragma once

#include <string>
#include <vector>

#include "app/remote_reply.h"

namespace tunevale {

class TRemoteTarget {
 public:
  virtual ~TRemoteTarget() = default;

  // "seamlessupgrade": save the settings keeping the position, save the
  // library, remove the tray icon and end the process at once.
  virtual void SeamlessUpgrade() = 0;
  // "savesettings": SaveSettings with no flags.
  virtual void SaveSettings() = 0;
  // "loadsettings": LoadSettings(false).
  virtual void LoadSettings() = 0;
  // The transport commands of the window: play/pause, stop, next, previous.
  virtual void PlayPause() = 0;
  virtual void Stop() = 0;
  virtual void Next() = 0;
  virtual void Previous() = 0;
  // Whether the video window is full screen now.
  virtual bool IsVideoFullScreen() const = 0;
  // The full-screen switch of the video window.
  virtual void ToggleFullScreen() = 0;
  // Stores the full-screen rectangle (width or height 0: maximized on its
  // monitor) and lays the video window out again.
  virtual void SetFullScreenRect(int left, int top, int width, int height) = 0;
  virtual void HideVideo() = 0;
  virtual void ShowVideo() = 0;
  // Sets the control-mode flag; hides the main window when on, shows it when off.
  virtual void SetControlMode(bool on) = 0;

  // Library queries: the entries that match `query` (the library search
  // syntax; empty lists what the library views show with an empty search).
  virtual std::vector<TRemoteArtist> FindArtists(const std::string& query) const = 0;
  virtual std::vector<TRemoteAlbum> FindAlbums(const std::string& query) const = 0;
  virtual std::vector<TRemoteEntry> FindTracks(const std::string& query) const = 0;
  virtual std::vector<TRemoteEntry> FindVideos(const std::string& query) const = 0;
  virtual std::vector<TRemoteEntry> FindPlaylists(const std::string& query) const = 0;
  // Sizes of the library's artist list and of one artist's album list, to
  // check the indices of "playartist" and "playalbum".
  virtual int ArtistCount() const = 0;
  virtual int AlbumCount(int artistIndex) const = 0;
  // The library's add-artist and add-album operations (valid indices only).
  virtual void AddArtistTracks(int artistIndex) = 0;
  virtual void AddAlbumTracks(int artistIndex, int albumIndex) = 0;

  // Playlist rows: their count and captions in list order.
  virtual int PlaylistCount() const = 0;
  virtual std::vector<std::string> PlaylistCaptions() const = 0;
  // Deletes all rows, nothing else (no cancel flag, no notification).
  virtual void ClearPlaylist() = 0;
  // AddPlaylistEntry(fileName, no caption, without pictures of folders).
  virtual void AddPlaylistEntry(const std::string& fileName) = 0;
  // PlayEntry(index, forward); an index outside the rows runs the stop command.
  virtual void PlayEntry(int index) = 0;
  // ReadTrackInfo without forcing a re-read; ends with NotifyPlaylistChanged.
  virtual void ReadTrackInfo() = 0;
  // The OpenBehavior setting.
  virtual int OpenBehavior() const = 0;

  // What the state notification reports now.
  virtual TRemoteState State() const = 0;
  // The volume slider's position 0..10000 and the VolumeMuted setting.
  virtual int Volume() const = 0;
  virtual bool VolumeMuted() const = 0;
  // Sets the volume slider (its change handler applies the volume and calls
  // TRemoteControl::NotifyState(false, false, true)).
  virtual void SetVolume(int position) = 0;

  // "terminate": close exactly as the close button does.
  virtual void Close() = 0;
  // The empty text: the show/hide command when the main window is hidden.
  virtual void ShowIfHidden() = 0;
  // After every command handled without an error: the window's show handling.
  virtual void ShowHandling() = 0;
};

}  // namespace tunevale
