// The remote command interpreter: one command text in, operations on the
// player and texts to the registered listeners out. No sockets here; the
// transport hands each frame to HandleMessage and gives the output port.
//
// Re-entrancy: operations such as AddPlaylistEntry pump messages, so
// HandleMessage can run inside itself. The continuation window makes every
// nested "play" an append; the listener list is only appended to.
#pragma once

#include <string_view>

#include "app/remote_command.h"
#include "app/remote_continuation.h"
#include "app/remote_listeners.h"
#include "app/remote_target.h"

namespace tunevale {

class TRemoteControl {
 public:
  TRemoteControl(TRemoteTarget& target, TRemoteOutput& output, const TRuntime& runtime);

  // Handles one frame's text sent by `sender`. Errors of the command
  // (ERemoteCommandError, or whatever the player raises) propagate to the
  // caller, which reports them; the continuation window is closed anyway.
  void HandleMessage(TConnectionId sender, std::string_view text);

  // Sends the state notification (with the track part when `sendTrackInfo`)
  // and, separately, the volume notification; nothing without listeners.
  void NotifyState(bool sendState, bool sendTrackInfo, bool sendVolume);
  // Sends "playlistnames=" to the listeners.
  void NotifyPlaylistChanged();

  TContinuationWindow& Continuation() { return Window; }
  const TRemoteListeners& Listeners() const { return RegisteredListeners; }

 private:
  struct TContext {
    TConnectionId Sender;
    const TRemoteCommand& Command;
    bool Continuation;
  };
  using THandler = void (TRemoteControl::*)(const TContext&);
  struct TEntry {
    std::string_view Word;
    THandler Handler;
  };
  static const TEntry Table[];

  void Send(std::string_view text);
  void SetFullScreen(bool on);

  void SeamlessUpgrade(const TContext&);
  void SaveSettings(const TContext&);
  void LoadSettings(const TContext&);
  void PlayPause(const TContext&);
  void Stop(const TContext&);
  void Next(const TContext&);
  void Previous(const TContext&);
  void ToggleFullScreen(const TContext&);
  void SetFullScreenCommand(const TContext&);
  void SetVideoWindowPosition(const TContext&);
  void HideVideo(const TContext&);
  void ShowVideo(const TContext&);
  void SetControlMode(const TContext&);
  void RegisterWindow(const TContext&);
  void GetPlaylistNames(const TContext&);
  void GetArtists(const TContext&);
  void GetAlbums(const TContext&);
  void GetTracks(const TContext&);
  void GetVideos(const TContext&);
  void GetPlaylists(const TContext&);
  void PlayFromPlaylist(const TContext&);
  void PlayArtist(const TContext&);
  void PlayAlbum(const TContext&);
  void SetVolume(const TContext&);
  void Terminate(const TContext&);
  void Play(const TContext&);
  void Add(const TContext&);
  void ClearPlaylist(const TContext&);
  void EmptyText(const TContext&);

  TRemoteTarget& Target;
  TRemoteOutput& Output;
  TContinuationWindow Window;
  TRemoteListeners RegisteredListeners;
};

}  // namespace tunevale
