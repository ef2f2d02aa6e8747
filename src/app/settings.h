// The one settings record and the passes that load, save and apply it.
//
// Field names are the names of their storage keys. Each layer is handed only
// its own part (TMediaSettings, TLibrarySettings, ...); what no layer below the
// application reads lives here. The record is created once (by the player or
// a tool) and passed in; there is no global instance.
//
// Re-entrancy: the playlist pass processes pending messages (through the busy
// indicator's tick and before seeking), so any command may run in the middle
// of it; it stops when the playlist's cancel flag rises.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "app/settings_store.h"
#include "library/library_settings.h"
#include "media/media_settings.h"
#include "playback/playback_settings.h"
#include "playlist/playlist_settings.h"

namespace tunevale {

class TCrawlTasks;
class TFileExtensions;
class TSettingsWindow;

inline constexpr const char* SettingsAppVersion = "2.0.0.18";

// One column of a list view: its width and its place in the column order.
struct TListColumn {
  int32_t Width = 0;
  int32_t Position = 0;
};

// The persisted layout of one of the five lists ("List<n>..." keys).
struct TListLayout {
  int32_t Tag = 0;  // sort state: +(k + 1) ascending, -(k + 1) descending, 0 unsorted
  std::vector<TListColumn> Columns;
};

// List numbers of the column keys: "List1..." is the artists list and so on.
enum TListKeyNumber : int { llArtists = 1, llAlbums = 2, llTracks = 3, llPlaylists = 4, llVideos = 5 };

// The zoom menu item checked after loading.
enum TZoomMark : uint8_t { zmCustom, zmFitToScreen, zmCrop, zmStretch };

struct TSettings : TMediaSettings, TLibrarySettings, TPlaylistSettings, TPlaybackSettings {
  // Window geometry and view switches (kept current by the main window).
  int32_t WindowLeft = 0;
  int32_t WindowTop = 0;
  int32_t WindowWidth = 270;
  int32_t WindowHeight = 320;
  bool Maximized = false;
  bool MiniMode = false;
  bool MicroMode = false;
  bool HidePanels = false;
  bool HideSidePanels = false;
  bool SmallTopPanel = false;
  // The five lists in key order: index n - 1 holds "List<n>".
  std::array<TListLayout, 5> ListLayouts = DefaultListLayouts();

  bool EnableGlobalHotkeys = false;
  bool CheckForUpdates = true;
  double LastUpdateCheck = 0;  // days since 1899-12-30
  bool FirstRun = true;

  // Tweaks (section "Tweaks").
  bool ForceNoGlass = false;
  bool HideVersionLabel = false;
  bool ShowTrayControlsBackground = false;
  int32_t TopPanelFontColor = 0xFFFFFF;
  int32_t TopPanelBevelInner = 0x1FFFFFFF;  // clNone: not set
  int32_t TopPanelBevelOuter = 0x1FFFFFFF;
  std::string TopPanelImage;
  int32_t TrayControlsFadeInTime = 300;  // milliseconds
  // The product site the update check reads ("" : no site, the check fails).
  std::string UpdateSite;

  // Not stored: set at start-up or by a load.
  bool IsInstalled = false;  // selects the key store instead of the INI file
  std::string AppDataDir;    // with a trailing "/"
  std::string IniFilePath;   // "Tunevale.ini" beside the executable
  std::string KeyStorePath;  // the per-user key store
  std::string MyMusicFolder;
  std::string MyVideoFolder;
  int32_t StoredVersion = 0;  // the build number of the stored "AppVersion"
  TZoomMark ZoomMark = zmFitToScreen;

  static std::array<TListLayout, 5> DefaultListLayouts();
};

// A row of the saved playlist: the entry's file name or URL and its caption,
// stored as FileName "*" Caption.
struct TSavedPlaylistRow {
  std::string FileName;
  std::string Caption;

  std::string EntryText() const { return FileName + "*" + Caption; }
  // Splits as EntryTextSplit says; a text without "*" is all file name.
  static TSavedPlaylistRow FromEntryText(std::string_view text);
  bool operator==(const TSavedPlaylistRow&) const = default;
};

// The saved playlist while start-up restores it: the entry texts and the
// now-playing keys as the file held them, and how many rows are back. Until
// the restore has finished a save writes the rows restored so far followed
// by the rest of these, so a close during start-up never shrinks it.
struct TPendingPlaylist {
  bool Active = false;
  std::vector<std::string> Items;
  size_t Restored = 0;
  int32_t NowPlaying = -1;
  int32_t NowPlayingPosition = 0;
};

struct TSaveSettingsFlags {
  bool KeepPosition = false;  // save the position even without ResumePlaybackAfterClose (seamless upgrade)
  bool NoPosition = false;    // save the position as 0 (restart after a fatal error)
  bool TweaksOnly = false;    // write only the tweaks (loading or resetting a skin)
};

// What the passes act on besides the record.
struct TSettingsContext {
  TSettings& Settings;
  TSettingsStore& Store;
  TSettingsWindow* Window = nullptr;      // the main window, while it exists
  TFileExtensions* Extensions = nullptr;  // rebuilt by ApplySettings
  std::function<double()> Now;            // days since 1899-12-30 (TRuntime::Now)
  // Settings of build 11 queue a full library refresh here.
  TCrawlTasks* CrawlTasks = nullptr;
  // Kept by the player from HoldSavedPlaylist to the end of the playlist pass.
  TPendingPlaylist* Pending = nullptr;
};

// With `playlistOnly` false the settings pass (every key but the saved
// playlist and the now-playing keys), with true the playlist pass (only while
// the window exists). Both end with ApplySettings, also after an error.
void LoadSettings(TSettingsContext& context, bool playlistOnly);
// Takes the saved playlist and its now-playing keys from the store as last
// loaded into `context.Pending`, so that saves keep them until the playlist
// pass has restored them.
void HoldSavedPlaylist(TSettingsContext& context);
// False when nothing could be written (the file stays as it was; `error` says why).
bool SaveSettings(TSettingsContext& context, TSaveSettingsFlags flags = {}, std::string* error = nullptr);
// Makes the program follow the record: the extension tables, then the window.
void ApplySettings(TSettingsContext& context);
// Adds the default library folders (the user's music and video folders) to
// `folders`, each only when not empty, without clearing it.
void DefaultLibraryFolders(const TSettings& settings, std::vector<std::string>& folders);

// The column keys of list `n` ("List<n>S", "List<n>C<i>W", "List<n>C<i>I").
// Reading stops at a position outside the list's columns and returns false.
bool ReadColumnLayout(const TSettingsStore& store, TListLayout& layout, int n);
void WriteColumnLayout(TSettingsStore& store, const TListLayout& layout, int n);
// The tracks list's columns after its optional columns changed: "Title" and
// the shown optional columns in their order, each at its design width.
void RebuildTrackColumns(TListLayout& layout, const std::array<int32_t, 6>& trackColumns);

// The zoom menu mark for a zoom pair: "Fit to screen" for 0/0, "Crop" for
// 100/100, "Stretch" for -1/-1, "Custom..." otherwise.
TZoomMark ZoomMarkFor(int32_t hZoom, int32_t vZoom);

// The build number of an "AppVersion" text: what follows its last "." as a
// number, 0 when that is not one.
int32_t BuildNumberOf(std::string_view appVersion);

}  // namespace tunevale
