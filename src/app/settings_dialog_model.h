// What the settings dialog holds and decides, without its widgets: the
// values its controls show, the library folder list with its rules, and the
// library work the folder operations ask for. Nothing reaches the settings
// record or the library before TakeOver (the dialog's OK); Cancel drops it all.
//
// Folders compare by whole path components after relative entries are
// resolved against the program's folder, exactly (letter case counts), so
// "music2" is neither inside "music" nor the other way round. There is one
// root, so every folder has a relative form.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/settings.h"
#include "library/crawl_tasks.h"

namespace tunevale {

// The values of the dialog's controls.
struct TSettingsDraft {
  uint8_t OpenBehavior = 0;
  bool PreferOverlay = false;
  bool EnableGlobalHotkeys = false;
  bool CheckForUpdates = true;
  bool ShowArtistInPlaylist = false;
  bool DontSwitchToPlaylist = false;
  int32_t PictureDuration = 7;
  int32_t ArtistDoubleclickTab = 0;
  bool AlwaysShowAlbumArtist = false;
  bool HideIncompleteAlbums = false;
  bool UseLibrary = true;  // the check box; the setting also needs a folder
  std::vector<std::string> LibraryFolders;
  TMediaSettings CustomExtensions;  // the custom file types dialog's boxes
};

// What OK sets going, in the order it is called.
class TSettingsDialogTarget {
 public:
  virtual ~TSettingsDialogTarget() = default;
  // The library's crawl queue, which receives the dialog's tasks.
  virtual TCrawlTasks& CrawlQueue() = 0;
  virtual void ApplySettings() = 0;
  // Playlist captions again for every row, then the now-playing texts.
  virtual void RebuildCaptions() = 0;
  // The library views are rebuilt (queries forgotten) at the next idle moment.
  virtual void RefreshLibraryViewsSoon() = 0;
  virtual void UpdateRelativeFlags() = 0;
  virtual void SaveSettings() = 0;
};

inline constexpr const char* kSameFolderText = "You can't add the same folder twice to the library folders.";
inline constexpr const char* kSubfolderText =
    "You can't add a folder that is a subfolder of a folder that is already added.";
inline constexpr const char* kSubfolderRemovedText =
    "There is a library folder that is a subfolder of the folder you've added. It has been automatically "
    "removed for you.";
inline constexpr const char* kWholeDriveText =
    "Are you sure you want to add the entire drive to your library?\r\rCrawling can take very long to "
    "complete and there are probably files added you don't want. Reccomended to add a subfolder instead.";

class TSettingsDialogModel {
 public:
  // `programFolder` resolves relative entries.
  TSettingsDialogModel(TSettings& settings, TSettingsDialogTarget& target, std::string programFolder);

  // The dialog shows: fills the draft from the record, unless it is already
  // filled (shown again before it went: the edits stay).
  void Show();
  // OK: everything over into the record, the tasks into the library, then
  // apply, captions, relative flags and save.
  void TakeOver();
  // Cancel: the edits and the queued tasks go.
  void Cancel();

  TSettingsDraft Draft;

  // --- The folder list -------------------------------------------------------------
  int Selected() const { return SelectedIndex; }
  // -1: none.
  void Select(int index);
  // A folder picked by the user ("" : none). Asks about the root, refuses
  // what is or lies in an entry, removes entries lying in it (telling once).
  // True when it was added.
  bool AddFolder(const std::string& folder);
  // Removes the selected entry; the one before it is selected next.
  void RemoveSelected();
  bool RemoveEnabled() const { return SelectedIndex >= 0; }
  bool RelativeEnabled() const { return SelectedIndex >= 0; }
  // The selected entry is written relative to the program's folder.
  bool SelectedIsRelative() const;
  // Writes the selected entry in its relative or absolute form.
  void SetSelectedRelative(bool relative);
  // "Restore defaults": the library on, the default folders.
  void RestoreDefaults();
  // The "Use the library" box changed by the user.
  void SetUseLibrary(bool checked);
  // "Refresh library".
  void RefreshAll() { Tasks.AddTask("", true, true, false); }

  // "File types": the arguments that start this program's association pass
  // with the boxes' lists as they are now.
  std::vector<std::string> FileTypesArguments() const;
  // The help page of a page of the dialog.
  static std::string HelpPage(int page);

  const TCrawlTasks& QueuedTasks() const { return Tasks; }
  bool RelativeFormsChanged() const { return RelativeChanged; }

  // Shows a message (information icon).
  std::function<void(const std::string&)> Inform;
  // The question about adding a whole drive; true for Yes.
  std::function<bool(const std::string&)> AskWholeDrive;

 private:
  std::string Absolute(const std::string& entry) const;
  void Reset();

  TSettings& Settings;
  TSettingsDialogTarget& Target;
  std::string ProgramFolder;
  TCrawlTasks Tasks;
  int SelectedIndex = -1;
  bool RelativeChanged = false;
  bool Filled = false;
};

}  // namespace tunevale
