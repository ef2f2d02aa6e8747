#include "app/settings_dialog_model.h"

#include <algorithm>

#include "util/path.h"

namespace tunevale {

TSettingsDialogModel::TSettingsDialogModel(TSettings& settings, TSettingsDialogTarget& target,
                                           std::string programFolder)
    : Settings(settings), Target(target), ProgramFolder(std::move(programFolder)) {}

void TSettingsDialogModel::Show() {
  if (Filled) return;
  Filled = true;
  const TSettings& s = Settings;
  Draft = TSettingsDraft{s.OpenBehavior,
                         s.PreferOverlay,
                         s.EnableGlobalHotkeys,
                         s.CheckForUpdates,
                         s.ShowArtistInPlaylist,
                         s.DontSwitchToPlaylist,
                         s.PictureDuration,
                         s.ArtistDoubleclickTab,
                         s.AlwaysShowAlbumArtist,
                         s.HideIncompleteAlbums,
                         s.UseLibrary,
                         s.LibraryFolders,
                         s};
  SelectedIndex = -1;
}

void TSettingsDialogModel::TakeOver() {
  TSettings& s = Settings;
  const TSettingsDraft& d = Draft;
  s.OpenBehavior = d.OpenBehavior;
  s.PreferOverlay = d.PreferOverlay;
  s.EnableGlobalHotkeys = d.EnableGlobalHotkeys;
  s.CheckForUpdates = d.CheckForUpdates;
  const bool captionsChanged =
      d.ShowArtistInPlaylist != s.ShowArtistInPlaylist || d.AlwaysShowAlbumArtist != s.AlwaysShowAlbumArtist;
  s.ShowArtistInPlaylist = d.ShowArtistInPlaylist;
  s.DontSwitchToPlaylist = d.DontSwitchToPlaylist;
  s.ArtistDoubleclickTab = d.ArtistDoubleclickTab;
  s.AlwaysShowAlbumArtist = d.AlwaysShowAlbumArtist;
  s.PictureDuration = d.PictureDuration;
  if (d.HideIncompleteAlbums != s.HideIncompleteAlbums) Target.RefreshLibraryViewsSoon();
  s.HideIncompleteAlbums = d.HideIncompleteAlbums;
  static_cast<TMediaSettings&>(s) = d.CustomExtensions;
  s.LibraryFolders = d.LibraryFolders;
  s.UseLibrary = d.UseLibrary && !d.LibraryFolders.empty();

  TCrawlTasks& queue = Target.CrawlQueue();
  for (int i = 0; i < Tasks.Count(); ++i) {
    const TCrawlTask& task = Tasks.Task(i);
    queue.AddTask(task.Path, task.Recursive, task.SearchNew, task.ForceReread);
  }
  const bool relativeChanged = RelativeChanged;
  Reset();
  Target.ApplySettings();
  if (captionsChanged) Target.RebuildCaptions();
  if (relativeChanged) Target.UpdateRelativeFlags();
  Target.SaveSettings();
}

void TSettingsDialogModel::Cancel() { Reset(); }

void TSettingsDialogModel::Reset() {
  Tasks.Clear();
  RelativeChanged = false;
  Filled = false;
}

void TSettingsDialogModel::Select(int index) {
  SelectedIndex = index >= 0 && index < static_cast<int>(Draft.LibraryFolders.size()) ? index : -1;
}

std::string TSettingsDialogModel::Absolute(const std::string& entry) const {
  return NormalizePath(ExpandPath(ProgramFolder, entry));
}

bool TSettingsDialogModel::AddFolder(const std::string& picked) {
  if (picked.empty()) return false;
  const std::string folder = Absolute(picked);
  if (folder == "/" && !(AskWholeDrive && AskWholeDrive(kWholeDriveText))) return false;
  std::vector<std::string>& list = Draft.LibraryFolders;
  // Every refusal is found before anything is removed, so a refused folder changes nothing.
  for (const std::string& entry : list) {
    const std::string absolute = Absolute(entry);
    const char* refusal = absolute == folder                 ? kSameFolderText
                          : IsPathInFolder(folder, absolute) ? kSubfolderText
                                                             : nullptr;
    if (!refusal) continue;
    if (Inform) Inform(refusal);
    return false;
  }
  const size_t removed =
      std::erase_if(list, [&](const std::string& entry) { return IsPathInFolder(Absolute(entry), folder); });
  if (removed && Inform) Inform(kSubfolderRemovedText);
  list.push_back(folder);
  Tasks.AddTask(folder, true, true, false);
  Select(removed ? -1 : SelectedIndex);
  return true;
}

void TSettingsDialogModel::RemoveSelected() {
  if (SelectedIndex < 0) return;
  std::vector<std::string>& list = Draft.LibraryFolders;
  Tasks.AddTask(list[static_cast<size_t>(SelectedIndex)], true, false, false);
  list.erase(list.begin() + SelectedIndex);
  Select(std::max(SelectedIndex - 1, 0));
}

bool TSettingsDialogModel::SelectedIsRelative() const {
  return SelectedIndex >= 0 && !IsAbsolutePath(Draft.LibraryFolders[static_cast<size_t>(SelectedIndex)]);
}

void TSettingsDialogModel::SetSelectedRelative(bool relative) {
  if (SelectedIndex < 0) return;
  std::string& entry = Draft.LibraryFolders[static_cast<size_t>(SelectedIndex)];
  const std::string absolute = Absolute(entry);
  entry = relative ? RelativePath(ProgramFolder, absolute) : absolute;
  RelativeChanged = true;
}

void TSettingsDialogModel::RestoreDefaults() {
  if (!Draft.UseLibrary) SetUseLibrary(true);
  Draft.LibraryFolders.clear();
  DefaultLibraryFolders(Settings, Draft.LibraryFolders);
  Select(-1);
  if (!Draft.LibraryFolders.empty()) RefreshAll();
}

void TSettingsDialogModel::SetUseLibrary(bool checked) {
  Draft.UseLibrary = checked;
  RefreshAll();
}

std::vector<std::string> TSettingsDialogModel::FileTypesArguments() const {
  const TMediaSettings& e = Draft.CustomExtensions;
  return {"/setassoc", e.CustomMusicExtensions, e.CustomVideoExtensions, e.CustomPlaylistExtensions};
}

std::string TSettingsDialogModel::HelpPage(int page) {
  static const char* const kAnchors[] = {"", "#library", "#library_folders", "#other", "#installation"};
  return std::string("settings.html") + (page >= 0 && page < 5 ? kAnchors[page] : "");
}

}  // namespace tunevale
