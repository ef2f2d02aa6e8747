// The playback controller over a playlist with default settings, on the
// engine and runtime a test chooses; test fixtures derive from it.
#pragma once

#include "playback/playback_controller.h"
#include "playlist/playlist.h"

namespace tunevale::test {

template <class TGraph, class TClock>
struct TControllerRig {
  TClock Runtime;
  TMessagePump Pump{Runtime};
  TPlaylistSettings PlaylistSettings;
  TPlaybackSettings Settings;
  TLibrarySettings LibrarySettings;
  TFileExtensions Extensions;
  TGraph Graph;
  TPlaylist Playlist{PlaylistSettings, Extensions, Pump};
  TPlaybackController Controller{Graph, Playlist, Runtime, Settings, LibrarySettings, Extensions};
};

}  // namespace tunevale::test
