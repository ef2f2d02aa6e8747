// The play queue: its rows (caption, marker, selection, entry record), the
// play order and the manual reordering operations. Views only show it.
//
// Re-entrancy: PlayEntry (through OpenMedia), ReadTrackInfo and the folder
// search process pending messages, so any command can run in the middle of
// them and add, remove or reorder rows. They keep the entry they work on alive
// (rows share ownership of their record with a running operation), re-read the
// row count on every pass and check an index before using it again.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "media/media_kind.h"
#include "playlist/playback_target.h"
#include "playlist/playlist_listener.h"
#include "playlist/playlist_settings.h"
#include "playlist/track_data.h"
#include "util/runtime.h"

namespace tunevale {

// Row markers (image index).
inline constexpr int piNormal = 0;
inline constexpr int piNowPlaying = 1;
inline constexpr int piFailed = 2;

// Play modes (the PlayMode setting).
inline constexpr uint8_t pmOnlyThisTrack = 0;
inline constexpr uint8_t pmRepeat = 1;
inline constexpr uint8_t pmPlayAll = 2;
inline constexpr uint8_t pmRepeatAll = 3;

// Sort keys.
enum TPlaylistSortKey : int {
  skTitle = 0,
  skTrack = 1,
  skArtist = 2,
  skAlbum = 3,
  skFileName = 4,
  skFileDate = 5,  // the file's modification time; addresses and missing files last
};

// An automatic skipping run ends after this many failed opens in a row.
inline constexpr int MaxConsecutiveFailures = 5;
// Playlists whose first entry is a playlist are followed this deep.
inline constexpr int MaxPlaylistNesting = 8;

struct TPlaylistRow {
  std::string Caption;
  int ImageIndex = piNormal;
  bool Selected = false;
  // Owned by the row; an operation that processes messages holds a second
  // reference so the record outlives a deletion of its row meanwhile.
  std::shared_ptr<TTrackData> Data;
};

// Comparison of two entries by a sort key: texts ignoring case, an empty text
// before any other (the +-20000 results); track numbers by their difference.
int ComparePlaylistEntries(const TTrackData& a, const TTrackData& b, int key);

class TPlaylist {
 public:
  // Reads the tags of a file for the playlist (the library's NoticeFile with
  // from-library on): fills `meta`.
  using TTagReader = std::function<void(const std::string& path, TMetaData& meta)>;
  // A uniform integer in [0, n) for the shuffle.
  using TRandomSource = std::function<int(int n)>;

  TPlaylist(const TPlaylistSettings& settings, const TFileExtensions& extensions, TMessagePump& pump);
  ~TPlaylist();
  TPlaylist(const TPlaylist&) = delete;
  TPlaylist& operator=(const TPlaylist&) = delete;

  // Wiring, done once by whoever creates the player.
  void SetPlaybackTarget(TPlaybackTarget* target) { Target = target; }
  void SetTagReader(TTagReader reader) { TagReader = std::move(reader); }
  void SetRandomSource(TRandomSource source) { Random = std::move(source); }
  void AddListener(TPlaylistListener* listener);
  void RemoveListener(TPlaylistListener* listener);

  // Rows.
  int Count() const { return static_cast<int>(Rows.size()); }
  const TPlaylistRow& Row(int index) const { return Rows[index]; }
  TTrackData& Entry(int index) { return *Rows[index].Data; }
  void SetCaption(int index, const std::string& caption);
  void SetImageIndex(int index, int imageIndex);

  // Selection and the current row (the list's item index, -1 for none).
  void SetSelected(int index, bool selected);
  void SelectOnly(int index);
  void ClearSelection();
  std::vector<int> SelectedIndices() const;
  int ItemIndex() const { return ItemIndexValue; }
  void SetItemIndex(int index);
  // Remove, up, down, play-selected, properties, open-location and
  // search-in-library are enabled exactly when a row is selected.
  bool SelectionActionsEnabled() const { return SelectionEnabled; }

  // Adding. A path holding "*" is "path*caption" unless it names a file as it
  // stands (EntryTextSplit). A folder is searched for music and video; a row
  // naming a folder could never play. Reads no tags.
  void AddPlaylistEntry(const std::string& path, const std::string& caption = std::string());
  // Depth-first search of a folder. Each level is taken in name order (case
  // folded, bytes as the tie-break), files and subfolders alike, since the
  // file system lists names in no useful order.
  void AddFolderEntries(const std::string& folder);
  std::string EntryCaption(const TTrackData& data) const;
  // Reads the tags of every entry not read yet; `refreshCaptions` recomputes
  // the captions of the others as well.
  void ReadTrackInfo(bool refreshCaptions);

  // Play order.
  int PlayingIndex() const;
  void PlayEntry(int index, bool forward);
  void MarkNowPlaying(int index, const TPlayResult& result, bool forward);
  void AdvancePlayOrder(bool forward);
  // The row AdvancePlayOrder (forward) opens when the playing entry ends, or -1
  // when it stops there or restarts that entry.
  int FollowingIndex() const;
  void NextActionExecute();
  void PreviousActionExecute();
  void PlaylistPlayActionExecute();
  // The Enter key on the list: plays the current row, or stops when there is none.
  void PlayItemIndex();
  void ScrollToPlaying();
  // Starts as the PlayMode setting; SetPlayMode tells the listeners, and the
  // player stores the new mode in the settings record from there.
  uint8_t PlayMode() const { return PlayModeValue; }
  void SetPlayMode(uint8_t mode);
  int ConsecutiveFailures() const { return Failures; }
  // A successful open ends a failure run (called by the controller).
  void ResetConsecutiveFailures() { Failures = 0; }

  // Arranging.
  void UpActionExecute();
  void DownActionExecute();
  // Moves the selected rows, keeping their order, to just before the row
  // `targetIndex` (appended when it is past the last row).
  void DragReorder(int targetIndex);
  void ShuffleActionExecute();
  // Sorts once by a TPlaylistSortKey (stable; later additions append). The
  // file date is read from the file system at the time of sorting.
  void SortPlaylist(int key, bool descending = false);

  // Removing.
  void RemoveTracksActionExecute();
  void ClearPlaylistActionExecute();
  // Deletes every row (the playing one stops the engine) without notifying
  // remote listeners; used before replacing the playlist.
  void DeleteAllRows();

  // The cancel flag polled by long playlist loops.
  void CancelPlaylistActionActionExecute() { CancelFlag = true; }
  bool Cancelled() const { return CancelFlag; }
  void ClearCancel() { CancelFlag = false; }

  // The busy indicator of the playlist; StartBusy clears the cancel flag.
  void StartBusy(const std::string& text);
  void EndBusy();
  bool IsBusy() const { return Busy; }
  const std::string& BusyText() const { return BusyTextValue; }
  void SetBusyText(const std::string& text);

  void PumpMessages() { Pump.PumpMessages(); }
  TMessagePump& MessagePump() { return Pump; }
  TPlaybackTarget* PlaybackTarget() const { return Target; }
  int PlaybackState() const { return Target ? Target->State() : psNoGraph; }
  const TFileExtensions& Extensions() const { return ExtensionTable; }

  void NotifyPlaylistChanged();

 private:
  void AddFolderLevel(const std::string& folder, std::vector<std::pair<uint64_t, uint64_t>>& visited);
  // The row holding `entry` now (rows may move or go while an open runs), or -1.
  int RowOf(const TTrackData* entry) const;
  // The row the next command plays; Count() means past the end.
  int NextIndex() const;
  void SwapRows(int a, int b);
  // Takes the rows in their new order; the current row is found again by its record.
  void Reorder(std::vector<TPlaylistRow>&& rows, const TTrackData* current);
  void SortByFileDate(bool descending);
  const TTrackData* CurrentEntry() const {
    return ItemIndexValue >= 0 ? Rows[ItemIndexValue].Data.get() : nullptr;
  }
  // Removes the rows whose flag is set, stopping the engine when the playing
  // row goes while it plays.
  void DeleteRows(const std::vector<bool>& doomed);
  void UpdateSelectionActions();
  void Emit(TPlaylistChangeKind kind, int index, int count);
  template <typename F>
  void ForEachListener(F&& f) {
    // A copy, so a listener may unsubscribe from inside its call.
    const std::vector<TPlaylistListener*> listeners = Listeners;
    for (TPlaylistListener* listener : listeners) f(*listener);
  }

  const TPlaylistSettings& Settings;
  const TFileExtensions& ExtensionTable;
  TMessagePump& Pump;
  TPlaybackTarget* Target = nullptr;
  TTagReader TagReader;
  TRandomSource Random;
  std::vector<TPlaylistListener*> Listeners;

  std::vector<TPlaylistRow> Rows;
  int ItemIndexValue = -1;
  bool SelectionEnabled = false;
  uint8_t PlayModeValue;
  int Failures = 0;
  int WebPageSkips = 0;
  int PlayDepth = 0;
  int ExpansionDepth = 0;
  bool CancelFlag = false;
  bool Busy = false;
  std::string BusyTextValue;
};

// Shows the playlist's busy indicator while a block runs, also when it throws.
class TPlaylistBusyScope {
 public:
  TPlaylistBusyScope(TPlaylist& playlist, const std::string& text) : Playlist(playlist) {
    Playlist.StartBusy(text);
  }
  ~TPlaylistBusyScope() { Playlist.EndBusy(); }
  TPlaylistBusyScope(const TPlaylistBusyScope&) = delete;
  TPlaylistBusyScope& operator=(const TPlaylistBusyScope&) = delete;

 private:
  TPlaylist& Playlist;
};

}  // namespace tunevale
