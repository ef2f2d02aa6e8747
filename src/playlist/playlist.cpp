#include "playlist/playlist.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "util/path.h"
#include "util/text.h"

namespace tunevale {

namespace {

bool IsDirectory(const std::string& path) {
  struct stat st;
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

int DefaultRandom(int n) {
  static std::mt19937 engine{std::random_device{}()};
  return std::uniform_int_distribution<int>(0, n - 1)(engine);
}

}  // namespace

TPlaylist::TPlaylist(const TPlaylistSettings& settings, const TFileExtensions& extensions, TMessagePump& pump)
    : Settings(settings),
      ExtensionTable(extensions),
      Pump(pump),
      Random(DefaultRandom),
      PlayModeValue(settings.PlayMode) {}

TPlaylist::~TPlaylist() = default;

void TPlaylist::AddListener(TPlaylistListener* listener) { Listeners.push_back(listener); }

void TPlaylist::RemoveListener(TPlaylistListener* listener) {
  Listeners.erase(std::remove(Listeners.begin(), Listeners.end(), listener), Listeners.end());
}

void TPlaylist::Emit(TPlaylistChangeKind kind, int index, int count) {
  const TPlaylistChange change{kind, index, count};
  ForEachListener([&](TPlaylistListener& l) { l.PlaylistRowsChanged(change); });
}

void TPlaylist::NotifyPlaylistChanged() {
  ForEachListener([](TPlaylistListener& l) { l.PlaylistChanged(); });
}

void TPlaylist::SetCaption(int index, const std::string& caption) {
  if (index < 0 || index >= Count() || Rows[index].Caption == caption) return;
  Rows[index].Caption = caption;
  Emit(pcChanged, index, 1);
}

void TPlaylist::SetImageIndex(int index, int imageIndex) {
  if (index < 0 || index >= Count() || Rows[index].ImageIndex == imageIndex) return;
  Rows[index].ImageIndex = imageIndex;
  Emit(pcChanged, index, 1);
}

void TPlaylist::SetSelected(int index, bool selected) {
  if (index < 0 || index >= Count() || Rows[index].Selected == selected) return;
  Rows[index].Selected = selected;
  Emit(pcChanged, index, 1);
  UpdateSelectionActions();
}

void TPlaylist::SelectOnly(int index) {
  for (int i = 0; i < Count(); ++i) {
    if (Rows[i].Selected != (i == index)) {
      Rows[i].Selected = i == index;
      Emit(pcChanged, i, 1);
    }
  }
  if (index >= 0 && index < Count()) ItemIndexValue = index;
  UpdateSelectionActions();
}

void TPlaylist::ClearSelection() { SelectOnly(-1); }

std::vector<int> TPlaylist::SelectedIndices() const {
  std::vector<int> result;
  for (int i = 0; i < Count(); ++i)
    if (Rows[i].Selected) result.push_back(i);
  return result;
}

void TPlaylist::SetItemIndex(int index) { ItemIndexValue = (index >= 0 && index < Count()) ? index : -1; }

void TPlaylist::UpdateSelectionActions() {
  const bool enabled = std::any_of(Rows.begin(), Rows.end(), [](const TPlaylistRow& r) { return r.Selected; });
  if (enabled == SelectionEnabled) return;
  SelectionEnabled = enabled;
  ForEachListener([&](TPlaylistListener& l) { l.SelectionActionsChanged(enabled); });
}

void TPlaylist::StartBusy(const std::string& text) {
  Busy = true;
  BusyTextValue = text;
  CancelFlag = false;
  ForEachListener([&](TPlaylistListener& l) { l.PlaylistBusyChanged(true, text); });
}

void TPlaylist::EndBusy() {
  Busy = false;
  ForEachListener([&](TPlaylistListener& l) { l.PlaylistBusyChanged(false, BusyTextValue); });
}

void TPlaylist::SetBusyText(const std::string& text) {
  BusyTextValue = text;
  if (Busy) ForEachListener([&](TPlaylistListener& l) { l.PlaylistBusyChanged(true, text); });
}

void TPlaylist::AddPlaylistEntry(const std::string& path, const std::string& caption) {
  std::string file = path;
  std::string shown = caption;
  // "*" is legal in a Linux file name: a path that exists as it stands is no "path*caption".
  if (file.find('*') != std::string::npos && !Exists(file)) {
    const size_t star = EntryTextSplit(file);
    shown = file.substr(star + 1);
    file.resize(star);
  }

  if (IsDirectory(file)) {
    static const std::string searching = "Searching for files in folder...";
    if (Busy) {
      // A running addition keeps its busy state; only the hint changes.
      SetBusyText(searching);
      AddFolderEntries(file);
    } else {
      StartBusy(searching);
      AddFolderEntries(file);
      EndBusy();
    }
    return;
  }

  TPlaylistRow row;
  row.Caption = shown.empty() ? FileDisplayName(file) : shown;
  row.Data = std::make_shared<TTrackData>();
  row.Data->FileName = file;
  Rows.push_back(std::move(row));
  Emit(pcInserted, Count() - 1, 1);
}

void TPlaylist::AddFolderEntries(const std::string& folder) {
  std::vector<std::pair<uint64_t, uint64_t>> visited;
  AddFolderLevel(folder, visited);
}

void TPlaylist::AddFolderLevel(const std::string& folder, std::vector<std::pair<uint64_t, uint64_t>>& visited) {
  CancelFlag = false;
  // A folder reached again through a link is not searched twice, so a link
  // to a parent folder cannot make the search endless.
  struct stat st;
  if (stat(folder.c_str(), &st) != 0) return;
  const std::pair<uint64_t, uint64_t> id{st.st_dev, st.st_ino};
  if (std::find(visited.begin(), visited.end(), id) != visited.end()) return;
  visited.push_back(id);

  struct TName {
    std::string Folded, Name;
    bool Folder;
  };
  std::vector<TName> names;
  namespace fs = std::filesystem;
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
    std::string name = it->path().filename().string();
    std::string folded = CaseFold(name);
    std::error_code statError;
    names.push_back({std::move(folded), std::move(name), it->is_directory(statError)});
  }
  std::sort(names.begin(), names.end(), [](const TName& a, const TName& b) {
    return a.Folded != b.Folded ? a.Folded < b.Folded : a.Name < b.Name;
  });
  const std::string base = IncludeTrailingSlash(folder);
  for (const TName& entry : names) {
    const std::string full = base + entry.Name;
    if (entry.Folder) {
      AddFolderLevel(full, visited);
    } else {
      const TMediaKind kind = ExtensionTable.GetFileKind(full);
      if (kind == mkMusic || kind == mkVideo) AddPlaylistEntry(full);
    }
    PumpMessages();
    if (CancelFlag) break;
  }
}

std::string TPlaylist::EntryCaption(const TTrackData& data) const {
  if (Settings.ShowArtistInPlaylist && !data.MetaData.Artist.empty())
    return data.MetaData.Artist + " - " + data.MetaData.Title;
  return data.MetaData.Title;
}

void TPlaylist::ReadTrackInfo(bool refreshCaptions) {
  StartBusy("Reading track info...");
  for (int i = 0; !CancelFlag && i < Count(); ++i) {
    const std::shared_ptr<TTrackData> entry = Rows[i].Data;
    if (!entry->InfoRead) {
      if (TagReader) TagReader(entry->FileName, entry->MetaData);
      if (entry->MetaData.Title.empty()) entry->MetaData.Title = FileDisplayName(entry->FileName);
      const std::string caption = EntryCaption(*entry);
      // The tag reader may have let the rows move; only touch the row if it is still ours.
      if (i < Count() && Rows[i].Data == entry && !SameTextIgnoringCase(caption, Rows[i].Caption))
        SetCaption(i, caption);
      entry->InfoRead = true;
    } else if (refreshCaptions) {
      SetCaption(i, EntryCaption(*entry));
    }
    PumpMessages();
  }
  EndBusy();
  NotifyPlaylistChanged();
}

void TPlaylist::DeleteRows(const std::vector<bool>& doomed) {
  bool playingGone = false;
  std::vector<TPlaylistRow> kept;
  kept.reserve(Rows.size());
  const TTrackData* current = CurrentEntry();
  // Removal records run from the end so each index is valid when it arrives.
  std::vector<TPlaylistChange> removals;
  for (int i = Count() - 1; i >= 0;) {
    if (!doomed[i]) {
      --i;
      continue;
    }
    int first = i;
    while (first > 0 && doomed[first - 1]) --first;
    removals.push_back({pcRemoved, first, i - first + 1});
    i = first - 1;
  }
  for (int i = 0; i < Count(); ++i) {
    if (doomed[i]) {
      if (Rows[i].ImageIndex == piNowPlaying) playingGone = true;
      if (Rows[i].Data.get() == current) current = nullptr;
    } else {
      kept.push_back(std::move(Rows[i]));
    }
  }
  Rows = std::move(kept);
  ItemIndexValue = RowOf(current);
  for (const TPlaylistChange& change : removals)
    ForEachListener([&](TPlaylistListener& l) { l.PlaylistRowsChanged(change); });
  UpdateSelectionActions();
  if (playingGone && Target && IsPausedOrPlaying(Target->State())) Target->Stop();
}

void TPlaylist::DeleteAllRows() {
  if (Rows.empty()) return;
  DeleteRows(std::vector<bool>(Rows.size(), true));
}

void TPlaylist::RemoveTracksActionExecute() {
  std::vector<bool> doomed(Rows.size());
  for (int i = 0; i < Count(); ++i) doomed[i] = Rows[i].Selected;
  if (std::find(doomed.begin(), doomed.end(), true) != doomed.end()) DeleteRows(doomed);
  NotifyPlaylistChanged();
}

void TPlaylist::ClearPlaylistActionExecute() {
  CancelFlag = true;
  DeleteAllRows();
  if (Target) Target->UpdateNowPlayingDisplay(false);
  NotifyPlaylistChanged();
}

}  // namespace tunevale
