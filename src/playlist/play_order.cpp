// TPlaylist: the play order and the manual reordering operations.
#include <sys/stat.h>

#include <algorithm>
#include <optional>

#include "playlist/playlist.h"
#include "util/text.h"

namespace tunevale {

int TPlaylist::PlayingIndex() const {
  for (int i = Count() - 1; i >= 0; --i)
    if (Rows[i].ImageIndex == piNowPlaying) return i;
  return -1;
}

void TPlaylist::PlayEntry(int index, bool forward) {
  if (!Target) return;
  if (index < 0 || index >= Count()) {
    Target->Stop();
    return;
  }
  // A run of passed-over web pages is counted from the outermost call.
  if (PlayDepth == 0) WebPageSkips = 0;
  struct TDepth {
    int& Depth;
    explicit TDepth(int& depth) : Depth(depth) { ++Depth; }
    ~TDepth() { --Depth; }
  } depth(PlayDepth);
  Target->ClearStopRequest();
  // Held across the open: the row may be deleted while the open processes messages.
  const std::shared_ptr<TTrackData> entry = Rows[index].Data;
  const std::string caption = Rows[index].Caption;
  // Opening a playlist expands it and plays its first row from inside the
  // open; a playlist that names itself (or a ring of them) would never end.
  const bool expands = ExtensionTable.GetFileKind(entry->FileName) == mkPlaylist;
  if (expands && ExpansionDepth >= MaxPlaylistNesting) {
    Target->Stop();
    return;
  }
  TPlayResult result;
  ExpansionDepth += expands;
  try {
    Target->OpenMedia(entry->FileName, caption, result);
  } catch (...) {
    ExpansionDepth -= expands;
    throw;
  }
  ExpansionDepth -= expands;

  if (result.Code != prPlaylistExpanded) entry->PlayResult = result;
  if (result.Code == prWebPage) {
    // A playlist of web pages only would be passed over forever in "Repeat
    // all": once every row has been passed over in a row, stop.
    if (++WebPageSkips > Count()) {
      WebPageSkips = 0;
      Target->Stop();
      return;
    }
    if (const int row = RowOf(entry.get()); row >= 0) MarkNowPlaying(row, TPlayResult{}, true);
    AdvancePlayOrder(forward);
    return;
  }
  if (result.Code == prPlaylistExpanded) return;
  if (result.Code < 0) ++Failures;
  // Rows before it may have gone meanwhile: the marker follows the entry, not the index.
  if (const int row = RowOf(entry.get()); row >= 0) {
    MarkNowPlaying(row, result, forward);
  } else if (!Target->StopRequested() && Failures < MaxConsecutiveFailures) {
    AdvancePlayOrder(forward);
  }
  ScrollToPlaying();
  Target->UpdateNowPlayingDisplay(true);
}

int TPlaylist::RowOf(const TTrackData* entry) const {
  for (int i = 0; i < Count(); ++i)
    if (Rows[i].Data.get() == entry) return i;
  return -1;
}

void TPlaylist::MarkNowPlaying(int index, const TPlayResult& result, bool forward) {
  for (int i = 0; i < Count(); ++i) {
    TPlaylistRow& row = Rows[i];
    if (row.ImageIndex != piNowPlaying) continue;
    row.ImageIndex = piNormal;
    row.Selected = false;
    Emit(pcChanged, i, 1);
  }
  if (index >= 0 && index < Count()) {
    Rows[index].ImageIndex = piNowPlaying;
    Rows[index].Selected = true;
    ItemIndexValue = index;
    Emit(pcChanged, index, 1);
  }
  UpdateSelectionActions();
  if (result.Code != 0) {
    if (Target && !Target->StopRequested() && Failures < MaxConsecutiveFailures) AdvancePlayOrder(forward);
    SetImageIndex(index, piFailed);
  }
}

void TPlaylist::AdvancePlayOrder(bool forward) {
  if (!Target) return;
  switch (PlayModeValue) {
    case pmOnlyThisTrack:
      Target->Stop();
      break;
    case pmRepeat:
      if (Target->OpenKind() == mkPicture) break;  // a picture stays shown
      if (Target->State() == psPlaying)
        Target->SeekToStart();
      else
        Target->Stop();
      break;
    default:
      if (forward)
        NextActionExecute();
      else
        PreviousActionExecute();
      break;
  }
}

int TPlaylist::NextIndex() const {
  const int i = PlayingIndex() + 1;
  return i == Count() && PlayModeValue == pmRepeatAll ? 0 : i;
}

int TPlaylist::FollowingIndex() const {
  if (PlayingIndex() < 0 || (PlayModeValue != pmPlayAll && PlayModeValue != pmRepeatAll)) return -1;
  const int i = NextIndex();
  return i < Count() ? i : -1;
}

void TPlaylist::NextActionExecute() {
  if (!Target) return;
  // Releasing a seek button after a seek step ends the seek, not the track.
  if (Target->SeekStepMadeDuringPress() || Target->IsOpening()) return;
  const int i = NextIndex();
  if (i >= Count()) {
    Target->Stop();
    Target->ShowTrayControls(2000);
  } else {
    PlayEntry(i, true);
  }
}

void TPlaylist::PreviousActionExecute() {
  if (!Target) return;
  if (Target->SeekStepMadeDuringPress() || Target->IsOpening()) return;
  PlayEntry(PlayingIndex() - 1, false);
}

void TPlaylist::PlaylistPlayActionExecute() {
  int i = ItemIndexValue;
  if (i == -1) i = PlayingIndex();
  if (i == -1) i = 0;
  PlayEntry(i, true);
}

void TPlaylist::PlayItemIndex() { PlayEntry(ItemIndexValue, true); }

void TPlaylist::ScrollToPlaying() {
  const int playing = PlayingIndex();
  if (playing < 0 || Count() < 2) return;
  ForEachListener([&](TPlaylistListener& l) { l.ScrollToRowRequested(playing); });
}

void TPlaylist::SetPlayMode(uint8_t mode) {
  if (mode > pmRepeatAll) return;
  PlayModeValue = mode;
  ForEachListener([&](TPlaylistListener& l) { l.PlayModeChanged(mode); });
}

void TPlaylist::SwapRows(int a, int b) {
  if (a == b) return;
  std::swap(Rows[a], Rows[b]);
  if (ItemIndexValue == a)
    ItemIndexValue = b;
  else if (ItemIndexValue == b)
    ItemIndexValue = a;
  Emit(pcChanged, a, 1);
  Emit(pcChanged, b, 1);
}

// A selected row moves past an unselected neighbour only: a selected block
// at the edge stays as it is instead of swapping its own rows.
void TPlaylist::UpActionExecute() {
  for (int i = 1; i < Count(); ++i)
    if (Rows[i].Selected && !Rows[i - 1].Selected) SwapRows(i - 1, i);
}

void TPlaylist::DownActionExecute() {
  for (int i = Count() - 2; i >= 0; --i)
    if (Rows[i].Selected && !Rows[i + 1].Selected) SwapRows(i, i + 1);
}

void TPlaylist::Reorder(std::vector<TPlaylistRow>&& rows, const TTrackData* current) {
  Rows = std::move(rows);
  ItemIndexValue = RowOf(current);
  Emit(pcReset, 0, Count());
}

void TPlaylist::DragReorder(int targetIndex) {
  const int count = Count();
  if (targetIndex < 0 || targetIndex > count) targetIndex = count;
  // Dropping onto a selected row means before the first unselected row after
  // it: the dragged rows leave their places, so a selected row is no target.
  while (targetIndex < count && Rows[targetIndex].Selected) ++targetIndex;
  const TTrackData* current = CurrentEntry();
  std::vector<bool> selected(count);
  std::vector<TPlaylistRow> moved;
  for (int i = 0; i < count; ++i) {
    selected[i] = Rows[i].Selected;
    if (selected[i]) moved.push_back(std::move(Rows[i]));
  }
  if (!moved.empty()) {
    std::vector<TPlaylistRow> rows;
    rows.reserve(count);
    for (int i = 0; i <= count; ++i) {
      if (i == targetIndex)
        for (TPlaylistRow& row : moved) rows.push_back(std::move(row));
      if (i < count && !selected[i]) rows.push_back(std::move(Rows[i]));
    }
    Reorder(std::move(rows), current);
  }
  NotifyPlaylistChanged();
}

void TPlaylist::ShuffleActionExecute() {
  const int count = Count();
  for (int i = 1; i < count; ++i) {
    int j = Random ? Random(count) : 0;
    if (j < 0 || j >= count) j = 0;
    std::swap(Rows[i], Rows[j]);
    if (ItemIndexValue == i)
      ItemIndexValue = j;
    else if (ItemIndexValue == j)
      ItemIndexValue = i;
  }
  Emit(pcReset, 0, Count());
  NotifyPlaylistChanged();
}

namespace {

// Folded once per row so a sort of a long playlist folds each text once.
std::string SortText(const TTrackData& data, int key) {
  switch (key) {
    case skTitle:
      return CaseFold(data.MetaData.Title);
    case skArtist:
      return CaseFold(data.MetaData.Artist);
    case skAlbum:
      return CaseFold(data.MetaData.Album);
    case skFileName:
      return CaseFold(data.FileName);
    default:
      return std::string();
  }
}

int CompareTexts(const std::string& a, const std::string& b) {
  // Both empty count as equal: the sort needs a consistent order, and they
  // still come before every non-empty text.
  if (a.empty() && b.empty()) return 0;
  if (a.empty()) return -20000;
  if (b.empty()) return 20000;
  const int c = a.compare(b);
  return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

int CompareTracks(int32_t a, int32_t b) {
  const int64_t d = int64_t(a) - int64_t(b);
  return d < 0 ? -1 : (d > 0 ? 1 : 0);
}

}  // namespace

int ComparePlaylistEntries(const TTrackData& a, const TTrackData& b, int key) {
  if (key == skTrack) return CompareTracks(a.MetaData.Track, b.MetaData.Track);
  return CompareTexts(SortText(a, key), SortText(b, key));
}

namespace {

// Nanoseconds since the epoch of the file's last change; none for an
// address or a file that cannot be looked up.
std::optional<int64_t> FileTime(const std::string& fileName) {
  struct stat st {};
  if (fileName.find("://") != std::string::npos || stat(fileName.c_str(), &st) != 0) return std::nullopt;
  return int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

}  // namespace

void TPlaylist::SortByFileDate(bool descending) {
  std::vector<std::pair<int64_t, int>> dated;
  std::vector<int> undated;
  for (int i = 0; i < Count(); ++i) {
    if (const auto time = FileTime(Rows[i].Data->FileName))
      dated.emplace_back(*time, i);
    else
      undated.push_back(i);
  }
  std::stable_sort(dated.begin(), dated.end(), [descending](const auto& a, const auto& b) {
    return descending ? a.first > b.first : a.first < b.first;
  });
  const TTrackData* current = CurrentEntry();
  std::vector<TPlaylistRow> rows;
  rows.reserve(Rows.size());
  for (const auto& [time, index] : dated) rows.push_back(std::move(Rows[index]));
  for (const int index : undated) rows.push_back(std::move(Rows[index]));
  Reorder(std::move(rows), current);
  NotifyPlaylistChanged();
}

void TPlaylist::SortPlaylist(int key, bool descending) {
  if (key == skFileDate) return SortByFileDate(descending);
  if (key < skTitle || key > skFileName) return;
  struct TItem {
    std::string Text;
    int32_t Track;
    int Index;
  };
  std::vector<TItem> items;
  items.reserve(Rows.size());
  for (int i = 0; i < Count(); ++i)
    items.push_back({SortText(*Rows[i].Data, key), Rows[i].Data->MetaData.Track, i});
  std::stable_sort(items.begin(), items.end(), [&](const TItem& a, const TItem& b) {
    const int c = key == skTrack ? CompareTracks(a.Track, b.Track) : CompareTexts(a.Text, b.Text);
    return descending ? c > 0 : c < 0;
  });
  const TTrackData* current = CurrentEntry();
  std::vector<TPlaylistRow> rows;
  rows.reserve(Rows.size());
  for (const TItem& item : items) rows.push_back(std::move(Rows[item.Index]));
  Reorder(std::move(rows), current);
  NotifyPlaylistChanged();
}

}  // namespace tunevale
