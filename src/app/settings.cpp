#include "app/settings.h"

#include <algorithm>

#include "app/settings_values.h"
#include "app/settings_window.h"
#include "library/crawl_tasks.h"
#include "library/track_columns.h"
#include "media/media_kind.h"
#include "util/path.h"
#include "util/text.h"

namespace tunevale {

namespace {

constexpr TSettingsSection Main = TSettingsSection::Main;
constexpr TSettingsSection Tweaks = TSettingsSection::Tweaks;

constexpr TListKeys LibraryFolderKeys{"LibraryFolders", "LibraryFolderCount", "LibraryFolder"};
constexpr TListKeys PlaylistKeys{"CurrentPlaylist", "PlaylistCount", "PlaylistItem"};

int32_t Number(const TSettingsStore& store, TSettingsSection section, std::string_view key,
               int32_t fallback) {
  return store.ReadNumber(section, key).value_or(fallback);
}

std::string Text(const TSettingsStore& store, TSettingsSection section, std::string_view key,
                 std::string_view fallback) {
  std::optional<std::string> value = store.ReadText(section, key);
  return value ? std::move(*value) : std::string(fallback);
}

// Booleans are true only when the stored integer is exactly 1.
bool Flag(const TSettingsStore& store, TSettingsSection section, std::string_view key, bool fallback) {
  return Number(store, section, key, fallback ? 1 : 0) == 1;
}

void WriteFlag(TSettingsStore& store, TSettingsSection section, std::string_view key, bool value) {
  store.WriteNumber(section, key, value ? 1 : 0);
}

std::string ColumnKey(int n, int i, char what) {
  return "List" + std::to_string(n) + "C" + std::to_string(i) + what;
}

std::string TrackColumnKey(int i) { return "List3C" + std::to_string(i) + "V"; }

// A colour tweak: "" is "not set", a text that does not convert leaves the value.
int32_t ReadColour(const TSettingsStore& store, std::string_view key, std::string_view fallback,
                   int32_t current) {
  const std::string text = Text(store, Tweaks, key, fallback);
  if (text.empty()) return clNone;
  return ColourFromText(text).value_or(current);
}

// "1" asks for the switch when the window's state is still the other one.
void SwitchOnce(TSettingsContext& context, std::string_view key, bool current, bool fallback,
                TWindowSwitch which) {
  if (Flag(context.Store, Main, key, fallback) && !current) context.Window->RunSwitch(which);
}

void ReadWindowKeys(TSettingsContext& context) {
  TSettings& s = context.Settings;
  const TSettingsStore& store = context.Store;
  TSettingsWindow& window = *context.Window;
  window.StoreWindowState();

  // Read like the other view switches ("1" while in list mode), so a reload
  // at run time does not flip a details view back to a list.
  SwitchOnce(context, "LibraryViewMode", s.LibraryViewMode == 1, s.LibraryViewMode == 1,
             TWindowSwitch::LibraryViewMode);
  SwitchOnce(context, "VolumeMuted", s.VolumeMuted, false, TWindowSwitch::Mute);
  // The slider holds 0 to 10000.
  s.Volume = std::clamp(Number(store, Main, "Volume", 10000), 0, 10000);
  // A play mode outside the list selects nothing and keeps the current one.
  const int32_t playMode = Number(store, Main, "PlayMode", 2);
  if (playMode >= 0 && playMode <= 3) s.PlayMode = static_cast<uint8_t>(playMode);
  s.WindowLeft = Number(store, Main, "WindowLeft", s.WindowLeft);
  s.WindowTop = Number(store, Main, "WindowTop", s.WindowTop);
  s.WindowWidth = Number(store, Main, "WindowWidth", s.WindowWidth);
  s.WindowHeight = Number(store, Main, "WindowHeight", s.WindowHeight);
  SwitchOnce(context, "HidePanels", s.HidePanels, s.HidePanels, TWindowSwitch::Panels);
  SwitchOnce(context, "HideSidePanels", s.HideSidePanels, s.HideSidePanels, TWindowSwitch::SidePanels);
  SwitchOnce(context, "SmallTopPanel", s.SmallTopPanel, s.SmallTopPanel, TWindowSwitch::SmallTopPanel);
  SwitchOnce(context, "MicroMode", s.MicroMode, false, TWindowSwitch::MicroMode);
  s.MiniMode = Flag(store, Main, "MiniMode", false);
  if (Flag(store, Main, "Maximized", false)) s.Maximized = true;

  // One group: a bad column value ends the reading of the rest of it.
  [&] {
    if (!ReadColumnLayout(store, s.ListLayouts[0], llArtists)) return;
    if (!ReadColumnLayout(store, s.ListLayouts[1], llAlbums)) return;
    for (int i = 0; i < 6; ++i) s.TrackColumns[i] = Number(store, Main, TrackColumnKey(i), i);
    RebuildTrackColumns(s.ListLayouts[2], s.TrackColumns);
    for (int n = llTracks; n <= llVideos; ++n)
      if (!ReadColumnLayout(store, s.ListLayouts[n - 1], n)) return;
  }();
  window.WindowSettingsRead();
}

void ReadTweaks(TSettingsContext& context) {
  TSettings& s = context.Settings;
  const TSettingsStore& store = context.Store;
  s.TopPanelImage = Text(store, Tweaks, "TopPanelImage", "");
  s.TopPanelBevelInner = ReadColour(store, "TopPanelBevelInner", "", s.TopPanelBevelInner);
  s.TopPanelBevelOuter = ReadColour(store, "TopPanelBevelOuter", "", s.TopPanelBevelOuter);
  s.TopPanelFontColor = ReadColour(store, "TopPanelFontColor", "clWhite", s.TopPanelFontColor);
  if (s.TopPanelFontColor == clNone) s.TopPanelFontColor = clWhite;
  s.ForceNoGlass = Flag(store, Tweaks, "ForceNoGlass", false);
  s.HideVersionLabel = Flag(store, Tweaks, "HideVersionLabel", false);
  s.ShowTrayControlsBackground = Flag(store, Tweaks, "ShowTrayControlsBackground", false);
  s.TrayControlsFadeInTime = Number(store, Tweaks, "TrayControlsFadeInTime", 300);
  s.UpdateSite = Text(store, Tweaks, "UpdateSite", "");
  context.Window->TweaksRead();
}

void SettingsPass(TSettingsContext& context) {
  TSettings& s = context.Settings;
  const TSettingsStore& store = context.Store;
  // Settings of build 11 ask for every file to be read again.
  if (s.StoredVersion == 11 && context.CrawlTasks)
    context.CrawlTasks->AddTask("", /*recursive=*/true, /*searchNew=*/true, /*forceReread=*/true);

  s.CustomMusicExtensions = Text(store, Main, "CustomMusicExtensions", "");
  s.CustomVideoExtensions = Text(store, Main, "CustomVideoExtensions", "");
  s.CustomPlaylistExtensions = Text(store, Main, "CustomPlaylistExtensions", "");
  if (context.Window) ReadWindowKeys(context);

  s.OpenBehavior = static_cast<uint8_t>(Number(store, Main, "OpenBehavior", s.OpenBehavior) & 0xFF);
  s.PreferOverlay = Flag(store, Main, "PreferOverlay", false);
  s.HZoom = Number(store, Main, "HZoom", 0);
  s.VZoom = Number(store, Main, "VZoom", 0);
  if (context.Window) s.ZoomMark = ZoomMarkFor(s.HZoom, s.VZoom);
  s.ResumePlaybackAfterClose = Flag(store, Main, "ResumePlaybackAfterClose", false);
  s.EnableGlobalHotkeys = Flag(store, Main, "EnableGlobalHotkeys", false);
  s.CheckForUpdates = Flag(store, Main, "CheckForUpdates", true);
  // Never in the future, so the next daily check comes within 24 hours.
  const double now = context.Now ? context.Now() : 0;
  const double lastCheck =
      DateTimeFromText(Text(store, Main, "LastUpdateCheck", DateTimeToText(now))).value_or(now);
  s.LastUpdateCheck = std::min(lastCheck, now);
  s.ShowArtistInPlaylist = Flag(store, Main, "ShowArtistInPlaylist", false);
  s.PictureDuration = Number(store, Main, "PictureDuration", 7);
  s.ArtistDoubleclickTab = Number(store, Main, "ArtistDoubleclickTab", 0);
  s.AlwaysShowAlbumArtist = Flag(store, Main, "AlwaysShowAlbumArtist", false);
  s.HideIncompleteAlbums = Flag(store, Main, "HideIncompleteAlbums", false);
  s.DontSwitchToPlaylist = Flag(store, Main, "DontSwitchToPlaylist", false);
  s.FirstRun = Flag(store, Main, "FirstRun", true);
  s.UseLibrary = Flag(store, Main, "UseLibrary", true);
  if (std::optional<std::vector<std::string>> folders = store.ReadList(Main, LibraryFolderKeys)) {
    s.LibraryFolders = std::move(*folders);
  } else {
    // Cleared first so that a reload does not add the defaults twice.
    s.LibraryFolders.clear();
    DefaultLibraryFolders(s, s.LibraryFolders);
  }
  if (context.Window) ReadTweaks(context);
}

TPendingPlaylist ReadSavedPlaylist(const TSettingsContext& context) {
  const TSettingsStore& store = context.Store;
  TPendingPlaylist saved;
  saved.Active = true;
  saved.Items = store.ReadList(Main, PlaylistKeys).value_or(std::vector<std::string>());
  // Builds below 17 separated file name and caption with "?".
  if (store.JoinsLists() && context.Settings.StoredVersion < 17)
    for (std::string& item : saved.Items) std::replace(item.begin(), item.end(), '?', '*');
  saved.NowPlaying = Number(store, Main, "NowPlaying", -1);
  saved.NowPlayingPosition = Number(store, Main, "NowPlayingPosition", 0);
  return saved;
}

void PlaylistPass(TSettingsContext& context) {
  TSettingsWindow& window = *context.Window;
  TPendingPlaylist local;
  TPendingPlaylist& saved = context.Pending ? *context.Pending : local;
  if (!saved.Active) saved = ReadSavedPlaylist(context);
  // Restored, or given up by a cancel or an error, once the pass ends.
  struct TRelease {
    TPendingPlaylist& Saved;
    ~TRelease() { Saved = TPendingPlaylist{}; }
  } release{saved};
  window.StartPlaylistBusy("Loading playlist...");
  try {
    while (saved.Restored < saved.Items.size() && !window.PlaylistCancelled()) {
      window.AddSavedRow(TSavedPlaylistRow::FromEntryText(saved.Items[saved.Restored]));
      ++saved.Restored;
      window.PlaylistBusyTick();
    }
  } catch (...) {
    window.EndPlaylistBusy();
    throw;
  }
  window.EndPlaylistBusy();

  if (saved.NowPlaying >= 0 && saved.NowPlaying < window.PlaylistRowCount()) {
    window.MarkNowPlaying(saved.NowPlaying);
    if (saved.NowPlayingPosition > 0) window.ResumeAt(saved.NowPlaying, saved.NowPlayingPosition);
  }
  window.ProcessPendingMessages();
}

void WriteTweaks(TSettingsStore& store, const TSettings& s) {
  store.WriteText(Tweaks, "TopPanelImage", s.TopPanelImage);
  store.WriteText(Tweaks, "TopPanelBevelInner", ColourToText(s.TopPanelBevelInner));
  store.WriteText(Tweaks, "TopPanelBevelOuter", ColourToText(s.TopPanelBevelOuter));
  store.WriteText(Tweaks, "TopPanelFontColor", ColourToText(s.TopPanelFontColor));
  WriteFlag(store, Tweaks, "ShowTrayControlsBackground", s.ShowTrayControlsBackground);
  WriteFlag(store, Tweaks, "ForceNoGlass", s.ForceNoGlass);
}

void WriteWindowKeys(TSettingsContext& context, TSaveSettingsFlags flags) {
  TSettings& s = context.Settings;
  TSettingsStore& store = context.Store;
  TSettingsWindow& window = *context.Window;
  window.StoreWindowState();
  store.WriteNumber(Main, "WindowLeft", s.WindowLeft);
  store.WriteNumber(Main, "WindowTop", s.WindowTop);
  store.WriteNumber(Main, "WindowWidth", s.WindowWidth);
  store.WriteNumber(Main, "WindowHeight", s.WindowHeight);
  WriteFlag(store, Main, "Maximized", s.Maximized);
  const TPendingPlaylist* pending = context.Pending && context.Pending->Active ? context.Pending : nullptr;
  store.WriteNumber(Main, "NowPlaying", pending ? pending->NowPlaying : window.PlayingIndex());
  const bool keep = (s.ResumePlaybackAfterClose || flags.KeepPosition) && window.MediaPausedOrPlaying() &&
                    !flags.NoPosition;
  int32_t position = keep ? window.PositionMs() : 0;
  if (pending) position = flags.NoPosition ? 0 : pending->NowPlayingPosition;
  store.WriteNumber(Main, "NowPlayingPosition", position);
  std::vector<std::string> entries;
  for (const TSavedPlaylistRow& row : window.SavedPlaylistRows()) entries.push_back(row.EntryText());
  if (pending)
    entries.insert(entries.end(), pending->Items.begin() + static_cast<std::ptrdiff_t>(pending->Restored),
                   pending->Items.end());
  store.WriteList(Main, PlaylistKeys, entries);
  for (int n = llArtists; n <= llTracks; ++n) WriteColumnLayout(store, s.ListLayouts[n - 1], n);
  for (int i = 0; i < 6; ++i) store.WriteNumber(Main, TrackColumnKey(i), s.TrackColumns[i]);
  for (int n = llPlaylists; n <= llVideos; ++n) WriteColumnLayout(store, s.ListLayouts[n - 1], n);
}

void WriteMainKeys(TSettingsStore& store, const TSettings& s) {
  store.WriteText(Main, "AppVersion", SettingsAppVersion);
  WriteFlag(store, Main, "PreferOverlay", s.PreferOverlay);
  store.WriteNumber(Main, "HZoom", s.HZoom);
  store.WriteNumber(Main, "VZoom", s.VZoom);
  WriteFlag(store, Main, "ResumePlaybackAfterClose", s.ResumePlaybackAfterClose);
  WriteFlag(store, Main, "EnableGlobalHotkeys", s.EnableGlobalHotkeys);
  WriteFlag(store, Main, "CheckForUpdates", s.CheckForUpdates);
  store.WriteText(Main, "LastUpdateCheck", DateTimeToText(s.LastUpdateCheck));
  WriteFlag(store, Main, "ShowArtistInPlaylist", s.ShowArtistInPlaylist);
  WriteFlag(store, Main, "DontSwitchToPlaylist", s.DontSwitchToPlaylist);
  store.WriteNumber(Main, "OpenBehavior", s.OpenBehavior);
  store.WriteNumber(Main, "LibraryViewMode", s.LibraryViewMode);
  WriteFlag(store, Main, "HideIncompleteAlbums", s.HideIncompleteAlbums);
  store.WriteNumber(Main, "Volume", s.Volume);
  WriteFlag(store, Main, "VolumeMuted", s.VolumeMuted);
  store.WriteNumber(Main, "PlayMode", s.PlayMode);
  store.WriteNumber(Main, "PictureDuration", s.PictureDuration);
  store.WriteNumber(Main, "ArtistDoubleclickTab", s.ArtistDoubleclickTab);
  WriteFlag(store, Main, "AlwaysShowAlbumArtist", s.AlwaysShowAlbumArtist);
  store.WriteText(Main, "CustomMusicExtensions", s.CustomMusicExtensions);
  store.WriteText(Main, "CustomVideoExtensions", s.CustomVideoExtensions);
  store.WriteText(Main, "CustomPlaylistExtensions", s.CustomPlaylistExtensions);
  store.WriteNumber(Main, "FirstRun", 0);
  store.WriteList(Main, LibraryFolderKeys, s.LibraryFolders);
  WriteFlag(store, Main, "UseLibrary", s.UseLibrary);
  WriteFlag(store, Main, "HidePanels", s.HidePanels);
  WriteFlag(store, Main, "HideSidePanels", s.HideSidePanels);
  WriteFlag(store, Main, "MiniMode", s.MiniMode);
  WriteFlag(store, Main, "MicroMode", s.MicroMode);
  WriteFlag(store, Main, "SmallTopPanel", s.SmallTopPanel);
}

}  // namespace

std::array<TListLayout, 5> TSettings::DefaultListLayouts() {
  std::array<TListLayout, 5> layouts;
  layouts[llArtists - 1].Columns = {{200, 0}, {100, 1}};
  layouts[llAlbums - 1].Columns = {{150, 0}, {150, 1}, {100, 2}};
  RebuildTrackColumns(layouts[llTracks - 1], {0, 1, 2, 3, 4, 5});
  layouts[llPlaylists - 1].Columns = {{150, 0}, {100, 1}};
  layouts[llVideos - 1].Columns = {{150, 0}, {100, 1}};
  return layouts;
}

TSavedPlaylistRow TSavedPlaylistRow::FromEntryText(std::string_view text) {
  const size_t star = EntryTextSplit(text);
  if (star == std::string_view::npos) return {std::string(text), std::string()};
  return {std::string(text.substr(0, star)), std::string(text.substr(star + 1))};
}

int32_t BuildNumberOf(std::string_view appVersion) {
  const size_t dot = appVersion.rfind('.');
  const std::string_view build = dot == std::string_view::npos ? appVersion : appVersion.substr(dot + 1);
  return StrToIntDef(build, 0);
}

TZoomMark ZoomMarkFor(int32_t hZoom, int32_t vZoom) {
  if (hZoom != vZoom) return zmCustom;
  if (hZoom == 0) return zmFitToScreen;
  if (hZoom == 100) return zmCrop;
  if (hZoom == -1) return zmStretch;
  return zmCustom;
}

void RebuildTrackColumns(TListLayout& layout, const std::array<int32_t, 6>& trackColumns) {
  std::array<int32_t, 6> table = trackColumns;
  layout.Columns.clear();
  for (const int field : TTrackColumns(table).Fields())
    layout.Columns.push_back({TrackFieldInfo(field).Width, static_cast<int32_t>(layout.Columns.size())});
}

bool ReadColumnLayout(const TSettingsStore& store, TListLayout& layout, int n) {
  layout.Tag = Number(store, Main, "List" + std::to_string(n) + "S", layout.Tag);
  const int count = static_cast<int>(layout.Columns.size());
  for (int i = 0; i < count; ++i) {
    TListColumn& column = layout.Columns[i];
    column.Width = Number(store, Main, ColumnKey(n, i, 'W'), column.Width);
    const int32_t position = Number(store, Main, ColumnKey(n, i, 'I'), column.Position);
    if (position < 0 || position >= count) return false;
    column.Position = position;
  }
  return true;
}

void WriteColumnLayout(TSettingsStore& store, const TListLayout& layout, int n) {
  store.WriteNumber(Main, "List" + std::to_string(n) + "S", layout.Tag);
  for (int i = 0; i < static_cast<int>(layout.Columns.size()); ++i) {
    store.WriteNumber(Main, ColumnKey(n, i, 'W'), layout.Columns[i].Width);
    store.WriteNumber(Main, ColumnKey(n, i, 'I'), layout.Columns[i].Position);
  }
}

void DefaultLibraryFolders(const TSettings& settings, std::vector<std::string>& folders) {
  // The shared music and video folders of other systems have no counterpart here.
  for (const std::string* folder : {&settings.MyMusicFolder, &settings.MyVideoFolder})
    if (!folder->empty()) folders.push_back(*folder);
}

void LoadSettings(TSettingsContext& context, bool playlistOnly) {
  try {
    context.Store.Load();  // a missing or unreadable file reads as all defaults
    context.Settings.StoredVersion =
        BuildNumberOf(Text(context.Store, Main, "AppVersion", SettingsAppVersion));
    if (!playlistOnly)
      SettingsPass(context);
    else if (context.Window)
      PlaylistPass(context);
  } catch (...) {
    ApplySettings(context);
    throw;
  }
  ApplySettings(context);
}

void HoldSavedPlaylist(TSettingsContext& context) {
  if (context.Pending) *context.Pending = ReadSavedPlaylist(context);
}

bool SaveSettings(TSettingsContext& context, TSaveSettingsFlags flags, std::string* error) {
  TSettingsStore& store = context.Store;
  // Saving over a file that exists but cannot be read would lose what only
  // that file holds (the tweaks, other sections).
  if (store.Load() == TStoreLoadResult::Failed) {
    if (error) *error = "the settings file cannot be read";
    return false;
  }
  if (flags.TweaksOnly) {
    WriteTweaks(store, context.Settings);
  } else {
    store.EraseSection(Main);
    if (context.Window) WriteWindowKeys(context, flags);
    WriteMainKeys(store, context.Settings);
  }
  return store.Save(error);
}

void ApplySettings(TSettingsContext& context) {
  const TSettings& s = context.Settings;
  if (context.Extensions)
    context.Extensions->ApplyCustomExtensions(s.CustomMusicExtensions, s.CustomVideoExtensions,
                                              s.CustomPlaylistExtensions);
  if (context.Window) context.Window->SettingsApplied();
}

}  // namespace tunevale
