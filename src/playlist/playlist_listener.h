// What the playlist tells its views (a Qt item model, the remote protocol).
// Every call arrives on the main thread after the playlist's state changed;
// a listener must not delete rows from inside a call.
#pragma once

#include <cstdint>
#include <string>

namespace tunevale {

enum TPlaylistChangeKind : uint8_t {
  pcInserted,  // rows [Index, Index + Count) are new
  pcChanged,   // rows [Index, Index + Count) show other contents (caption, marker, selection)
  pcRemoved,   // rows [Index, Index + Count) were removed; later rows moved up by Count
  pcReset,     // anything may have changed (reordering, sorting, clearing)
};

struct TPlaylistChange {
  TPlaylistChangeKind Kind = pcReset;
  int Index = 0;
  int Count = 0;
};

class TPlaylistListener {
 public:
  virtual ~TPlaylistListener() = default;
  // The rows changed; a model forwards this as begin/end insert, dataChanged, ...
  virtual void PlaylistRowsChanged(const TPlaylistChange& change) { (void)change; }
  // The playlist-changed notification for remote listeners (after removal,
  // clearing, shuffling, sorting, dragging and reading track info).
  virtual void PlaylistChanged() {}
  // The view should scroll so that `index` shows with two rows above it.
  virtual void ScrollToRowRequested(int index) { (void)index; }
  // The busy indicator is shown (busy) or hidden; `text` is its hint.
  virtual void PlaylistBusyChanged(bool busy, const std::string& text) { (void)busy, (void)text; }
  // The selection-dependent actions became enabled or disabled.
  virtual void SelectionActionsChanged(bool enabled) { (void)enabled; }
  // SetPlayMode chose a mode: the settings record stores it, views check it.
  virtual void PlayModeChanged(uint8_t mode) { (void)mode; }
};

}  // namespace tunevale
