// The ways media reach the playlist: the open command, add tracks, add
// folder, add URL and files dropped on the window. The dialogs belong to the
// window; these operations take what a dialog or a drop produced.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "playlist/playlist_settings.h"

namespace tunevale {

class TPlaylist;
class TPlaylistFile;

// Whether the open command plays what it added: always for OpenBehavior 0 and
// 2, for 1 only when the engine is neither paused nor playing.
bool ShouldPlayNewFiles(int openBehavior, int playbackState);

class TMediaAdder {
 public:
  // Shows the open dialog (modal; it may run the message loop) and fills
  // `files` with the chosen files in order; false when it was cancelled.
  using TOpenDialog = std::function<bool(std::vector<std::string>& files)>;

  TMediaAdder(TPlaylist& playlist, TPlaylistFile& playlistFile, const TPlaylistSettings& settings);

  // The open command: the dialog, then OpenFiles on its choice.
  void OpenActionExecute(const TOpenDialog& dialog);
  // Files chosen for the open command: a playlist file among all but the last
  // one replaces the playlist (the other files are ignored); otherwise the
  // files are added (after emptying the playlist for OpenBehavior 0) and the
  // first new one plays when ShouldPlayNewFiles holds. Then tags are read.
  void OpenFiles(const std::vector<std::string>& files);
  // Adds the chosen files as rows (playlist files too); never replaces or plays.
  void AddTracksActionExecute(const TOpenDialog& dialog);
  // A folder chosen in the folder chooser ("" when cancelled): searched, not played.
  void AddFolderActionExecute(const std::string& folder);
  // The add-URL dialog closed; the text is taken unchanged. Plays it when the
  // engine is neither paused nor playing.
  void AddURLActionExecute(bool confirmed, const std::string& url);
  // Files dropped from the desktop: playlist files replace the playlist, any
  // other path is added; nothing starts playing.
  void DropFiles(const std::vector<std::string>& paths);
  // The busy indicator's cancel: running additions stop after the entry in hand.
  void CancelPlaylistActionActionExecute();

  // True while the open dialog shows or the add-tracks command adds; another
  // open or add command meanwhile does nothing.
  bool DialogOpen() const { return DialogOpenFlag; }

 private:
  // Adds `files` in order under the busy state until done or cancelled.
  void AddFiles(const std::vector<std::string>& files, bool replace);

  TPlaylist& Playlist;
  TPlaylistFile& PlaylistFile;
  const TPlaylistSettings& Settings;
  bool DialogOpenFlag = false;
};

}  // namespace tunevale
