// The main window's side of loading and saving the settings. The window (or
// the player standing in for it) implements this; a process without a main
// window passes none, and the window keys, tweaks and playlist are then
// neither read nor written.
#pragma once

#include <string>
#include <vector>

#include "app/settings.h"

namespace tunevale {

// The window's own switches that a stored value can ask to run once.
enum class TWindowSwitch {
  LibraryViewMode,  // the list/details switch of the library lists
  Mute,             // the mute action
  Panels,           // the panel switch (the side panels follow it)
  SidePanels,
  SmallTopPanel,
  MicroMode,  // the slim view
};

class TSettingsWindow {
 public:
  virtual ~TSettingsWindow() = default;

  // --- Settings pass and save -------------------------------------------------
  // Before the window keys are read or written: puts the window's position,
  // normal size, maximized state, view flags and column layout into the record.
  virtual void StoreWindowState() = 0;
  // Runs a switch once, exactly as the user's action does: it inverts its
  // record flag (LibraryViewMode, VolumeMuted, HidePanels, ...) with its couplings.
  virtual void RunSwitch(TWindowSwitch which) = 0;
  // After the window keys and the column layout are read: the record holds
  // Volume, PlayMode, the geometry, MiniMode, Maximized, TrackColumns and the
  // list layouts. The window moves its slider, selects the play mode, places
  // itself (mini view, else the normal geometry unless maximized, then
  // maximized) and rebuilds its columns.
  virtual void WindowSettingsRead() = 0;
  // After the tweaks are read: applies them (TopPanelImage names a colour
  // when ColourFromText accepts it, otherwise a picture file).
  virtual void TweaksRead() = 0;
  // The window's part of ApplySettings: menu button, library page and its
  // search action after UseLibrary, global hot keys after EnableGlobalHotkeys,
  // and the zoom mark.
  virtual void SettingsApplied() = 0;

  // --- Playlist pass -------------------------------------------------------------
  // StartBusy with the text on the playlist; clears the playlist cancel flag.
  virtual void StartPlaylistBusy(const std::string& text) = 0;
  // Lets the busy indicator tick (and pending messages be processed).
  virtual void PlaylistBusyTick() = 0;
  virtual void EndPlaylistBusy() = 0;
  virtual bool PlaylistCancelled() const = 0;
  // AddPlaylistEntry (file name, caption), without pictures of folders.
  virtual void AddSavedRow(const TSavedPlaylistRow& row) = 0;
  virtual int PlaylistRowCount() const = 0;
  // Gives the row the now-playing mark and scrolls to it.
  virtual void MarkNowPlaying(int index) = 0;
  // PlayEntry (index, forward), processes pending messages, then seeks the
  // current entry to `positionMs`.
  virtual void ResumeAt(int index, int positionMs) = 0;
  virtual void ProcessPendingMessages() = 0;

  // --- Saving the playlist -------------------------------------------------------
  virtual std::vector<TSavedPlaylistRow> SavedPlaylistRows() const = 0;
  virtual int PlayingIndex() const = 0;
  // True while the media graph is paused or playing.
  virtual bool MediaPausedOrPlaying() const = 0;
  virtual int PositionMs() const = 0;
};

}  // namespace tunevale
