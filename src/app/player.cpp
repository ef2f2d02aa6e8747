// Construction, the start-up and shutdown sequence, the heartbeats and the
// window's side of the settings passes. The remote operations are in
// player_remote.cpp.
#include "app/player.h"

#include <cmath>
#include <random>

#include "app/command_line.h"
#include "app/remote_command.h"
#include "library/folder_watcher.h"
#include "library/library_database.h"
#include "util/atomic_file.h"
#include "util/path.h"

namespace tunevale {

namespace {

constexpr std::string_view kLoadingLibraryText = "Loading library...";
constexpr std::string_view FloatingPointError = "Invalid floating point operation";
constexpr const char* FatalErrorText =
    "This file caused an unrecoverable error and Tunevale must be restarted.\n"
    "Please contact me about this and tell exactly what you did when you received this message.";

TSettings SettingsFor(const TAppPaths& paths) {
  TSettings settings;
  ApplyPaths(paths, settings);
  return settings;
}

}  // namespace

TPlayer::TPlayer(const TPlayerPorts& ports, const TAppPaths& paths)
    : AppPaths(paths),
      Runtime(ports.Runtime),
      Watcher(ports.FolderWatcher),
      RemoteServer(ports.RemoteServer),
      Desktop(ports.Desktop),
      SettingsRecord(SettingsFor(paths)),
      Store(CreateSettingsStore(SettingsRecord)),
      MessagePump(ports.Runtime),
      LibraryObject(SettingsRecord, paths.ProgramDir),
      CrawlerObject(LibraryObject, ExtensionTable, MessagePump),
      SchedulerObject(ports.Runtime, LibraryObject, CrawlerObject),
      LoaderObject(ports.Runtime, LibraryObject),
      SearchObject(LibraryObject, *this, ports.Runtime, MessagePump),
      PlaylistObject(SettingsRecord, ExtensionTable, MessagePump),
      // Downloads go beside the library file: the program's folder for a portable copy.
      PlaylistFileObject(PlaylistObject, ports.Http, ports.Runtime, LibraryObject.CrawlTasks,
                         ExtractFilePath(paths.LibraryDbPath)),
      MediaAdderObject(PlaylistObject, PlaylistFileObject, SettingsRecord),
      NavigatorObject(LibraryObject, SearchObject, MessagePump),
      LibraryCommandsObject(LibraryObject, PlaylistObject, PlaylistFileObject, SettingsRecord, *this),
      ControllerObject(ports.Graph, PlaylistObject, ports.Runtime, SettingsRecord, SettingsRecord,
                       ExtensionTable),
      RemoteControl(*this, RemoteServer ? static_cast<TRemoteOutput&>(*RemoteServer) : NullOutput,
                    ports.Runtime),
      HotKeysObject(ports.HotKeys, [this](const std::string& action) { V().RunAction(action); }) {
  CrawlerObject.RefreshLibraryLists = [this] { SearchObject.RefreshLibraryLists(false); };
  SearchObject.RefreshTimer = &SchedulerObject.RefreshTimer();
  SchedulerObject.AfterTick = [this] { SecondaryWindowsObject.FreeHidden(); };
  SchedulerObject.RebuildViews = [this] {
    for (int page = 0; page < kLibraryPageCount; ++page)
      SearchObject.List(static_cast<TLibraryPage>(page)).QueryText.clear();
    SearchObject.RefreshLibraryLists(false);
  };

  PlaylistObject.SetPlaybackTarget(&ControllerObject);
  PlaylistObject.SetTagReader(
      [this](const std::string& path, TMetaData& meta) { CrawlerObject.NoticeFile(path, meta, true); });
  PlaylistObject.SetRandomSource([engine = std::make_shared<std::mt19937>(std::random_device{}())](int n) {
    return n > 1 ? std::uniform_int_distribution<int>(0, n - 1)(*engine) : 0;
  });
  PlaylistObject.AddListener(this);

  ControllerObject.SetListener(this);
  ControllerObject.SetTagReader(
      [this](const std::string& path, TMetaData& meta) { CrawlerObject.NoticeFile(path, meta, false); });
  ControllerObject.SetPlaylistFileOpener(
      [this](const std::string& path) { return PlaylistFileObject.OpenPlaylistFile(path); });

  SaveTimer = Runtime.CreateTimer([this] { LibrarySaveTimerTimer(); });
  SaveTimer->SetInterval(LibrarySaveIntervalMs);
  SaveTimer->SetEnabled(true);
}

TPlayer::~TPlayer() {
  // The window is (partly) gone by now: nothing may reach it any more.
  SetView(nullptr);
  FormDestroy();
  ControllerObject.SetListener(nullptr);
  PlaylistObject.RemoveListener(this);
  if (Watcher) Watcher->OnChange = nullptr;
}

void TPlayer::SetView(TPlayerView* view) {
  View = view;
  ControllerObject.SetView(view);
}

TPlayerView& TPlayer::V() { return View ? *View : NoView; }
const TPlayerView& TPlayer::V() const { return View ? *View : NoView; }

TSettingsContext TPlayer::Context() {
  return TSettingsContext{SettingsRecord,
                          *Store,
                          static_cast<TSettingsWindow*>(this),
                          &ExtensionTable,
                          [this] { return Runtime.Now(); },
                          &LibraryObject.CrawlTasks,
                          &PendingPlaylist};
}

// ---- Start-up -------------------------------------------------------------------

bool TPlayer::Create(const std::vector<std::string>& files) {
  StartFiles = files;
  // Saves cut off by a kill (or by an older version of the program) left these.
  for (const std::string* owned :
       {&SettingsRecord.LibraryDbPath, &SettingsRecord.KeyStorePath, &SettingsRecord.IniFilePath})
    if (!owned->empty()) RemoveStaleTemporaries(*owned);
  // Remote "play" commands that arrive while the start-up files are added only
  // append; all of them wait until the playlist is in place.
  RemoteControl.Continuation().Hold();
  HoldingPlays = true;
  if (RemoteServer)
    Guarded([this] {
      RemoteServer->Listen(
          [this](TConnectionId sender, std::string_view text) { HandleRemoteMessage(sender, text); });
    });
  Guarded([this] { LoadSettingsPass(false); });
  // A close before the saved playlist is back must not save a shorter one.
  Guarded([this] {
    TSettingsContext context = Context();
    HoldSavedPlaylist(context);
  });
  ControllerObject.UpdateNowPlayingDisplay(false);
  ControllerObject.UpdateTransportControls();
  return SettingsRecord.FirstRun;
}

void TPlayer::AfterShow() {
  // The library is read meanwhile; the playlist does not need it.
  Guarded([this] {
    ShowBusy(kLoadingLibraryText);
    LoaderObject.Start(SettingsRecord.LibraryDbPath, SettingsRecord.StoredVersion,
                       [this] { LibraryLoaded(); });
  });
  if (!StartFiles.empty()) {
    Guarded([this] {
      if (SettingsRecord.OpenBehavior != 0)
        LoadSettingsPass(true);
      else
        PendingPlaylist = {};  // the files replace it
      // Playback starts at the first new row; counting back from the end by
      // the number of arguments would land inside an added folder.
      const int firstNew = PlaylistObject.Count();
      for (const std::string& file : StartFiles) PlaylistObject.AddPlaylistEntry(file);
      if (ShouldPlayNewFiles() && firstNew < PlaylistObject.Count()) PlaylistObject.PlayEntry(firstNew, true);
    });
    RemoteControl.Continuation().End();
  } else {
    RemoteControl.Continuation().End();
    Runtime.ProcessPendingMessages();
    // Closed meanwhile: the saved playlist is already kept, restoring it would be wasted.
    if (!TerminatingFlag) Guarded([this] { LoadSettingsPass(true); });
  }
  StartFiles.clear();
  RunHeldPlays();
  // Closed while the playlist came back (a remote "terminate"): the loop is ending.
  if (TerminatingFlag) return;
  StartUpRestored = true;
  if (LibraryObject.Loaded) AfterStartUp();
}

// The hand-over of the library load, between two messages of the loop.
void TPlayer::LibraryLoaded() {
  if (LibraryBusy == kLoadingLibraryText) HideBusy();
  if (StartUpRestored && !TerminatingFlag) AfterStartUp();
}

// Both the playlist and the library are in place.
void TPlayer::AfterStartUp() {
  Guarded([this] { SearchObject.RefreshLibraryLists(false); });
  // Watching walks every library folder: only once the window shows.
  Guarded([this] { WatchLibraryFoldersIfChanged(); });
  // Tags of entries the library knows come from it.
  Guarded([this] { PlaylistObject.ReadTrackInfo(false); });
  if (StartUpDone) StartUpDone();
}

// A library that never loaded holds nothing of the file; saving it would
// replace (or delete) the user's library with an empty one.
bool TPlayer::SaveLibraryIfLoaded(std::string& error) {
  return !LibraryObject.Loaded || tunevale::SaveLibrary(LibraryObject, &error);
}

bool TPlayer::ShouldPlayNewFiles() const {
  return tunevale::ShouldPlayNewFiles(static_cast<int>(SettingsRecord.OpenBehavior),
                                      ControllerObject.State());
}

void TPlayer::LoadSettingsPass(bool playlistOnly) {
  TSettingsContext context = Context();
  tunevale::LoadSettings(context, playlistOnly);
}

std::string TPlayer::SaveSettingsError(TSaveSettingsFlags flags) {
  TSettingsContext context = Context();
  std::string error;
  if (tunevale::SaveSettings(context, flags, &error)) return {};
  return "The settings could not be saved: " + error;
}

bool TPlayer::SaveSettingsReporting(TSaveSettingsFlags flags) {
  const std::string error = SaveSettingsError(flags);
  if (!error.empty()) V().ShowMessage(error, mtError);
  return error.empty();
}

// ---- Shutdown -------------------------------------------------------------------

bool TPlayer::FormCloseQuery() {
  PlaylistObject.CancelPlaylistActionActionExecute();
  Guarded([this] { SaveSettingsReporting(); });
  Guarded([this] {
    ControllerObject.StopActionExecute();
    // Nothing may start playing again while the loop winds down.
    ControllerObject.SetTerminating(true);
  });
  Guarded([this] { V().RemoveTrayIcon(); });
  if (LibraryObject.Crawling) LibraryObject.Flags.CancelCrawl = true;
  TerminatingFlag = true;
  return true;
}

void TPlayer::FormDestroy() {
  if (Destroyed) return;
  Destroyed = true;
  SaveTimer->SetEnabled(false);
  HotKeysObject.Apply(false);
  if (Watcher && WatcherStarted) {
    Watcher->SetRoots({});
    Watcher->OnChange = nullptr;
  }
  Guarded([this] {
    std::string error;
    if (!SaveLibraryIfLoaded(error)) V().ShowMessage("The library could not be saved: " + error, mtError);
  });
}

void TPlayer::SeamlessUpgrade() {
  TSaveSettingsFlags flags;
  flags.KeepPosition = true;
  SaveSettingsReporting(flags);
  std::string error;
  SaveLibraryIfLoaded(error);
  V().RemoveTrayIcon();
  TerminatingFlag = true;
  V().EndProcessNow();
}

void TPlayer::HandleException(const std::exception& error) {
  if (error.what() == FloatingPointError) {
    V().ShowMessage(FatalErrorText, mtError);
    V().RemoveTrayIcon();
    TSaveSettingsFlags flags;
    flags.NoPosition = true;
    SaveSettingsReporting(flags);
    std::string ignored;
    SaveLibraryIfLoaded(ignored);
    TerminatingFlag = true;
    V().RestartProcess();
    return;
  }
  QueueMessage(error.what(), mtError);
}

void TPlayer::QueueMessage(std::string text, TMessageKind kind) {
  switch (Messages.Post(std::move(text), kind)) {
    case TMessageQueue::prOpen:
      OpenShowingMessage();
      break;
    case TMessageQueue::prRepeated:
      V().MessageBoxRepeated(Messages.Showing()->Count);
      break;
    case TMessageQueue::prHeld:
      break;
  }
}

void TPlayer::MessageBoxClosed() {
  if (Messages.Closed()) OpenShowingMessage();
}

void TPlayer::OpenShowingMessage() {
  // Without a window nobody would ever close the box: the queue moves on.
  while (Messages.Showing() && !V().OpenMessageBox(*Messages.Showing())) Messages.Closed();
}

void TPlayer::HandleRemoteMessage(TConnectionId sender, std::string_view text) {
  // A "play" in the middle of the start-up restore would mix the two playlists.
  if (HoldingPlays && ParseRemoteCommand(text).Word == "play") {
    HeldPlays.push_back({sender, std::string(text), RemoteControl.Continuation().Note()});
    return;
  }
  Guarded([&] { RemoteControl.HandleMessage(sender, text); });
}

void TPlayer::RunHeldPlays() {
  // Each runs as the continuation it was on arrival; plays that arrive
  // meanwhile join the queue, so all keep their order.
  while (!HeldPlays.empty() && !TerminatingFlag) {
    const THeldPlay play = std::move(HeldPlays.front());
    HeldPlays.pop_front();
    if (play.Continuation)
      RemoteControl.Continuation().Hold();
    else
      RemoteControl.Continuation().Release();
    Guarded([&] { RemoteControl.HandleMessage(play.Sender, play.Text); });
  }
  HeldPlays.clear();
  HoldingPlays = false;
}

// ---- Heartbeats -----------------------------------------------------------------

void TPlayer::LibrarySaveTimerTimer() {
  Guarded([this] {
    std::string error;
    if (SaveLibraryIfLoaded(error)) {
      LibrarySaveFailed = false;
    } else if (!LibrarySaveFailed) {
      // Tried again every minute; said once until it works again.
      LibrarySaveFailed = true;
      V().ShowMessage("The library could not be saved: " + error, mtError);
    }
  });
  const double hours = std::floor(std::fabs(Runtime.Now() - SettingsRecord.LastUpdateCheck) * 24.0);
  if (SettingsRecord.CheckForUpdates && hours >= 24) Guarded([this] { V().UpdateCheckDue(); });
}

void TPlayer::PageControlChange() {
  SaveTimer->SetEnabled(false);
  SaveTimer->SetEnabled(true);
}

void TPlayer::ExitActionExecute() { Close(); }

void TPlayer::Close() {
  if (!V().CloseWindow()) FormCloseQuery();
}

// ---- The window's side of the settings passes ---------------------------------------

void TPlayer::StoreWindowState() { V().StoreWindowState(SettingsRecord); }

void TPlayer::RunSwitch(TWindowSwitch which) {
  TSettings& s = SettingsRecord;
  switch (which) {
    case TWindowSwitch::LibraryViewMode:
      s.LibraryViewMode = s.LibraryViewMode == 0 ? 1 : 0;
      break;
    case TWindowSwitch::Mute:
      ControllerObject.MuteUnmuteActionExecute();
      break;
    case TWindowSwitch::Panels:
      s.HidePanels = !s.HidePanels;
      if (s.HideSidePanels != s.HidePanels) RunSwitch(TWindowSwitch::SidePanels);
      break;
    case TWindowSwitch::SidePanels:
      s.HideSidePanels = !s.HideSidePanels;
      break;
    case TWindowSwitch::SmallTopPanel:
      s.SmallTopPanel = !s.SmallTopPanel;
      break;
    case TWindowSwitch::MicroMode:
      s.MicroMode = !s.MicroMode;
      if (s.MicroMode) {
        if (!s.HidePanels) RunSwitch(TWindowSwitch::Panels);
      } else {
        RunSwitch(TWindowSwitch::Panels);
        if (s.HidePanels) RunSwitch(TWindowSwitch::Panels);
      }
      break;
  }
  V().WindowSwitched(which, s);
}

void TPlayer::WindowSettingsRead() {
  ControllerObject.VolumeTrackBarChange(SettingsRecord.Volume);
  PlaylistObject.SetPlayMode(SettingsRecord.PlayMode);
  V().WindowSettingsRead(SettingsRecord);
}

void TPlayer::TweaksRead() { V().TweaksRead(SettingsRecord); }

void TPlayer::SettingsApplied() {
  if (WatcherStarted) WatchLibraryFoldersIfChanged();
  V().SettingsApplied(SettingsRecord);
  HotKeysObject.Apply(SettingsRecord.EnableGlobalHotkeys);
}

void TPlayer::WatchLibraryFoldersIfChanged() {
  // Watching walks every folder below the roots: only when they changed.
  if (!Watcher || (WatcherStarted && WatchedFolders == SettingsRecord.LibraryFolders)) return;
  CrawlerObject.WatchLibraryFolders(*Watcher);
  WatchedFolders = SettingsRecord.LibraryFolders;
  WatcherStarted = true;
}

void TPlayer::StartPlaylistBusy(const std::string& text) { PlaylistObject.StartBusy(text); }
void TPlayer::PlaylistBusyTick() { PlaylistObject.PumpMessages(); }
void TPlayer::EndPlaylistBusy() { PlaylistObject.EndBusy(); }
bool TPlayer::PlaylistCancelled() const { return PlaylistObject.Cancelled(); }
void TPlayer::AddSavedRow(const TSavedPlaylistRow& row) {
  PlaylistObject.AddPlaylistEntry(row.FileName, row.Caption);
}
int TPlayer::PlaylistRowCount() const { return PlaylistObject.Count(); }

void TPlayer::MarkNowPlaying(int index) {
  PlaylistObject.MarkNowPlaying(index, TPlayResult{}, true);
  PlaylistObject.ScrollToPlaying();
}

void TPlayer::ResumeAt(int index, int positionMs) {
  PlaylistObject.PlayEntry(index, true);
  Runtime.ProcessPendingMessages();
  ControllerObject.SeekTo(positionMs);
}

void TPlayer::ProcessPendingMessages() { Runtime.ProcessPendingMessages(); }

std::vector<TSavedPlaylistRow> TPlayer::SavedPlaylistRows() const {
  std::vector<TSavedPlaylistRow> rows;
  rows.reserve(static_cast<size_t>(PlaylistObject.Count()));
  for (int i = 0; i < PlaylistObject.Count(); ++i) {
    const TPlaylistRow& row = PlaylistObject.Row(i);
    rows.push_back({row.Data->FileName, row.Caption});
  }
  return rows;
}

int TPlayer::PlayingIndex() const { return PlaylistObject.PlayingIndex(); }
bool TPlayer::MediaPausedOrPlaying() const { return IsPausedOrPlaying(ControllerObject.State()); }
int TPlayer::PositionMs() const { return ControllerObject.PositionMs(); }

// ---- Listeners --------------------------------------------------------------------

void TPlayer::PlaylistChanged() { RemoteControl.NotifyPlaylistChanged(); }
void TPlayer::PlayModeChanged(uint8_t mode) { SettingsRecord.PlayMode = mode; }

void TPlayer::NotifyState(bool sendState, bool sendTrackInfo, bool sendVolume) {
  RemoteControl.NotifyState(sendState, sendTrackInfo, sendVolume);
  if (PlaybackObserver) PlaybackObserver->NotifyState(sendState, sendTrackInfo, sendVolume);
}

void TPlayer::Seeked(int32_t positionMs) {
  if (PlaybackObserver) PlaybackObserver->Seeked(positionMs);
}

bool TPlayer::LibraryPageShown() const { return V().LibraryPageShown(); }

TLibraryPage TPlayer::CurrentPage() const {
  const int page = V().CurrentLibraryPage();
  return page >= 0 && page < kLibraryPageCount ? static_cast<TLibraryPage>(page) : lpArtists;
}

std::string TPlayer::SearchText() const { return V().SearchText(); }
bool TPlayer::BusyVisible() const { return !LibraryBusy.empty(); }
std::string TPlayer::BusyText() const { return LibraryBusy; }

void TPlayer::ShowBusy(std::string_view text) {
  LibraryBusy = text;
  V().LibraryBusyChanged(true, LibraryBusy);
}

void TPlayer::HideBusy() {
  LibraryBusy.clear();
  V().LibraryBusyChanged(false, LibraryBusy);
}

void TPlayer::ListRefilled(TLibraryList& list) { V().LibraryListRefilled(list.Page); }

// ---- TLibraryCommandsHost ------------------------------------------------------------

void TPlayer::ShowPlaylistPage() { V().ShowPage(mpPlaylist); }
void TPlayer::ShowVideoPage() { V().ShowPage(mpVideo); }
bool TPlayer::Confirm(const std::string& question) { return V().Confirm(question); }
void TPlayer::ShowError(const std::string& text) { V().ShowMessage(text, mtError); }

}  // namespace tunevale
