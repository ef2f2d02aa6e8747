// The player: the main window's logic without its widgets. It owns, in one
// place, the settings record, the extension tables, the library with its
// crawler, scheduler and search driver, the playlist with its file and adder
// operations, the playback controller, the remote control with its listeners
// and the library-save heartbeat. The window (ui/TMainForm) owns a TPlayer,
// shows its state and forwards input to it; tests drive it headless.
//
// Start-up runs in steps the window drives, so the window shows before the
// slow work: construct, Create(files), show the window, AfterShow(). Shutdown:
// FormCloseQuery() when the window is asked to close, FormDestroy() when it goes.
//
// Re-entrancy: adding files, restoring the playlist, reading tags, loading the
// library and crawling pump messages, so remote commands, timer ticks and user
// input run in the middle of them. The guards are the playlist cancel flag,
// the controller's opening and stop-requested flags, the crawler's Crawling
// flag with CancelCrawl, and the remote continuation window.
#pragma once

#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/app_paths.h"
#include "app/desktop.h"
#include "app/hot_keys.h"
#include "app/library_commands.h"
#include "app/message_kind.h"
#include "app/message_queue.h"
#include "app/remote_control.h"
#include "app/remote_server.h"
#include "app/remote_target.h"
#include "app/secondary_windows.h"
#include "app/settings.h"
#include "app/settings_dialog_model.h"
#include "app/settings_window.h"
#include "library/crawler.h"
#include "library/library.h"
#include "library/library_loader.h"
#include "library/library_navigator.h"
#include "library/library_scheduler.h"
#include "library/library_search.h"
#include "media/media_kind.h"
#include "playback/playback_controller.h"
#include "playlist/media_adder.h"
#include "playlist/playlist.h"
#include "playlist/playlist_file.h"
#include "util/http_client.h"
#include "util/runtime.h"

namespace tunevale {

class TFolderWatcher;

inline constexpr const char* ApplicationTitle = "Tunevale";
inline constexpr const char* VersionLabelText = "Version 2 Beta 5";
inline constexpr int LibrarySaveIntervalMs = 60000;

// Main pages of the window; the hidden page has no tab (F11 shows it).
enum TMainPage : int { mpPlaylist = 0, mpLibrary = 1, mpVideo = 2, mpHidden = 3 };

// The keys the window handles besides the action shortcuts.
enum class TWindowKey {
  F11,
  F,  // with any modifiers
  B,
  MediaNext,
  MediaPrevious,
  MediaStop,
  MediaPlayPause,
  BrowserBack,
  BrowserForward,
  Escape,
};

// What the player asks of its window. Every method has a harmless default, so
// a headless player (tests, tools) needs none. Called on the main thread.
// The playlist's rows, busy indicator and play mode reach the window through
// a TPlaylistListener it adds to Playlist(); the labels and transport state
// through TPlaybackView::NowPlayingChanged.
class TPlayerView : public TPlaybackView {
 public:
  // A modal message box with the caption "Tunevale" (only where nothing
  // else can run meanwhile: closing, the fatal-error restart).
  virtual void ShowMessage(const std::string& text, TMessageKind kind) { (void)text, (void)kind; }
  // Shows a message box with the caption "Tunevale" that does not wait and
  // returns at once; the window calls TPlayer::MessageBoxClosed when the user
  // closes it. False when there is no window to show it in.
  virtual bool OpenMessageBox(const TMessage& message) { return (void)message, false; }
  // The open box's message came again; it has now come `count` times.
  virtual void MessageBoxRepeated(int count) { (void)count; }
  // Select a main page (TMainPage).
  virtual void ShowPage(int page) { (void)page; }
  // A yes/no question (question icon); true for yes. Headless: no.
  virtual bool Confirm(const std::string& question) {
    (void)question;
    return false;
  }
  // The library busy indicator shows `text` (busy) or is hidden.
  virtual void LibraryBusyChanged(bool busy, const std::string& text) { (void)busy, (void)text; }
  // A library list got new rows (TLibraryPage); its FocusedRow is the row to select.
  virtual void LibraryListRefilled(int page) { (void)page; }
  // Whether the window shows its Library page, which library page is in front,
  // and the search box's text (empty while it shows its placeholder).
  virtual bool LibraryPageShown() const { return false; }
  virtual int CurrentLibraryPage() const { return 0; }
  virtual std::string SearchText() const { return {}; }

  // Settings pass: put the window's geometry, view flags and column layout
  // into the record before it is written.
  virtual void StoreWindowState(TSettings& settings) { (void)settings; }
  // A view switch ran: the player already inverted its record flag (with the
  // couplings of the panel switches); the window follows the record.
  virtual void WindowSwitched(TWindowSwitch which, const TSettings& settings) { (void)which, (void)settings; }
  // The window keys were read: place the window (mini view, normal geometry,
  // maximized) and rebuild the columns. Slider and play mode are done.
  virtual void WindowSettingsRead(const TSettings& settings) { (void)settings; }
  // The tweaks were read: apply them.
  virtual void TweaksRead(const TSettings& settings) { (void)settings; }
  // The window's part of ApplySettings (menu button, Library page hide flag
  // after UseLibrary, hot keys, zoom mark).
  virtual void SettingsApplied(const TSettings& settings) { (void)settings; }

  // Video window.
  virtual bool IsVideoFullScreen() const { return false; }
  virtual void ToggleFullScreen() {}
  virtual void SetFullScreenRect(int left, int top, int width, int height) {
    (void)left, (void)top, (void)width, (void)height;
  }
  virtual void HideVideo() {}
  virtual void ShowVideo() {}
  // Control mode: hide the main window when on, show it when off.
  virtual void SetMainWindowHidden(bool hidden) { (void)hidden; }
  // The empty remote text: the show/hide command when the window is hidden.
  virtual void ShowIfHidden() {}
  // The window's show handling after each remote command (restore from
  // minimized, layout, tray icon).
  virtual void ShowHandling() {}
  // Remove the notification-area icon.
  virtual void RemoveTrayIcon() {}

  // "terminate" and the exit action: close the window as its close button
  // does; the window then runs FormCloseQuery. False when there is no window
  // to close (the player then runs FormCloseQuery itself).
  virtual bool CloseWindow() { return false; }
  // The seamless upgrade saved everything: end the process at once.
  virtual void EndProcessNow() {}
  // The fatal-error restart: start this executable with "/forcestart", then
  // end the process at once with status 0.
  virtual void RestartProcess() {}
  // The daily update check is due.
  virtual void UpdateCheckDue() {}

  // Runs the window action `name` as its shortcut would (nothing when it is
  // hidden or disabled): hot keys and keys reach window commands this way.
  virtual void RunAction(const std::string& name) { (void)name; }
  // F11: the page without a tab.
  virtual void ShowHiddenPage() {}
};

// What the player is built on. The references must outlive the player.
struct TPlayerPorts {
  TRuntime& Runtime;
  TFilterGraph& Graph;  // the media engine: GStreamer in the program, a fake in tests
  THttpClient& Http;
  TFolderWatcher* FolderWatcher = nullptr;  // none: the library only learns by crawling
  TRemoteServer* RemoteServer = nullptr;    // none: commands only through HandleRemoteMessage
  THotKeyPort* HotKeys = nullptr;           // none: no global hot keys
  TDesktop* Desktop = nullptr;              // none: web pages and "Clone me" do nothing
};

class TPlayer final : public TRemoteTarget,
                      private TSettingsWindow,
                      private TPlaylistListener,
                      private TPlaybackListener,
                      private TLibrarySearchHost,
                      private TLibraryCommandsHost,
                      private TSettingsDialogTarget {
 public:
  // Builds every part (the window creation's first steps); reads nothing yet.
  TPlayer(const TPlayerPorts& ports, const TAppPaths& paths);
  ~TPlayer() override;
  TPlayer(const TPlayer&) = delete;
  TPlayer& operator=(const TPlayer&) = delete;

  // The window, once it exists (may stay null).
  void SetView(TPlayerView* view);
  // A second view of the playback state beside the window (the desktop media
  // controls): told what the remote listeners are told, and of seeks. Null: none.
  void SetPlaybackObserver(TPlaybackListener* observer) { PlaybackObserver = observer; }

  // --- Start-up and shutdown -----------------------------------------------------
  // Start-up restore before the window shows: holds the continuation window,
  // starts the remote server, loads the settings (not the playlist). `files` are the command line's
  // files (empty: restore the saved playlist in AfterShow). True when the
  // introduction should show instead of the window (FirstRun).
  bool Create(const std::vector<std::string>& files);
  // After the window shows: starts the library load on a worker thread; adds
  // the command-line files (and plays them when ShouldPlayNewFiles) or
  // restores the saved playlist, entry and position; runs the remote "play"
  // commands held meanwhile. Once both the playlist and the library are in
  // place (the library may come later, between two messages of the loop):
  // fills the library lists, points the folder watcher at the library folders
  // and reads track info.
  void AfterShow();
  // Handles messages until the library load under way is handed over and
  // what waited for it ran (tools, tests, benchmarks).
  void WaitForLibrary() { LoaderObject.Wait(); }
  // Runs when the playlist and the library are both in place and the library
  // lists are filled (the start-up trace marks it).
  std::function<void()> StartUpDone;
  // The window is asked to close: sets the playlist cancel flag, saves the
  // settings and the playlist, stops playback, removes the tray icon, cancels
  // a crawl. Never refuses; errors are reported and the close goes on.
  bool FormCloseQuery();
  // The window goes: stops the folder watcher and saves the library (once).
  void FormDestroy();
  // True once FormCloseQuery ran: the window's loop should end.
  bool Terminating() const { return TerminatingFlag; }
  // The central error handler: shows the error's message and carries on
  // (the floating point error restarts the program).
  void HandleException(const std::exception& error);
  // Shows a message without waiting for the user: one box at a time, the
  // others queued (TMessageQueue).
  void QueueMessage(std::string text, TMessageKind kind);
  // The window's message box was closed: the next queued message shows.
  void MessageBoxClosed();
  // Runs `operation`, sending whatever it raises to HandleException.
  template <class F>
  void Guarded(F&& operation);
  // Whether newly opened files start playing now (OpenBehavior and the engine).
  bool ShouldPlayNewFiles() const;

  // --- Remote control ------------------------------------------------------------
  // One frame's text from a remote client; errors go to the error handler.
  void HandleRemoteMessage(TConnectionId sender, std::string_view text);
  TRemoteControl& Remote() { return RemoteControl; }

  // --- Heartbeats ----------------------------------------------------------------
  // LibrarySaveTimer: saves the library when it changed; the update check.
  void LibrarySaveTimerTimer();
  // The Playlist/Library/Video tab changed: restarts the library save timer.
  void PageControlChange();

  // --- Window operations ---------------------------------------------------------
  // The exit action and the close button go through the window's close.
  void ExitActionExecute();
  // Saves the settings with `flags`; a failure is reported in a modal box, false.
  bool SaveSettingsReporting(TSaveSettingsFlags flags = {});
  // Saves the settings with `flags`; the message of a failure, else "".
  std::string SaveSettingsError(TSaveSettingsFlags flags = {});

  // --- Window commands (player_window.cpp) -----------------------------------------
  // A view switch of the options menu or a double-click, as the settings
  // loader runs it: the record flag flips with its couplings, then the window follows.
  void ToggleView(TWindowSwitch which) { RunSwitch(which); }
  // FormKeyDown for the keys of TWindowKey. `inTextBox`: a text box has the
  // focus, so F and B type instead of seeking. `repeat`: the key's
  // auto-repeat, which keeps a key seek going and does nothing else.
  // True when the key was used.
  bool FormKeyDown(TWindowKey key, bool inTextBox, bool repeat);
  // FormKeyUp: releasing a seek key ends the seek; releasing a media
  // next/previous key first advances, unless the hold already seeked.
  bool FormKeyUp(TWindowKey key);
  // Opens one of the help pages ("faq.html#library1") in the default
  // browser; a failure is ignored.
  void OpenWebPage(std::string_view page);
  // Opens the folder of the playlist's current entry in the file manager.
  void PlaylistOpenFileLocation();
  // Opens the folder holding a file (for an address: the address up to its
  // last "/") in the file manager.
  void OpenFileLocation(const std::string& fileName) override;
  // Opens a web address from a tag in the default browser; anything but
  // http, https and ftp is refused, so a file cannot start local programs.
  void OpenWebAddress(const std::string& url);
  // Starts this program again with "/forcestart" beside the running one.
  bool StartForced() { return StartOwnExecutable({"/forcestart"}); }
  // Starts this program's executable with `args` (a maintenance pass); false
  // when it could not start.
  bool StartOwnExecutable(const std::vector<std::string>& args);
  // What the settings dialog's OK sets going.
  TSettingsDialogTarget& SettingsDialogTarget() { return *this; }
  // Loads the skin file at `path` ("Background.bmp" beside the library
  // database), saves the tweaks and applies them. Throws, changing nothing,
  // when the skin is bad.
  void LoadSkin(const std::string& path);
  // Back to the plain look; saves the tweaks and applies them.
  void ResetSkinActionExecute();
  THotKeys& HotKeys() { return HotKeysObject; }
  // The modeless secondary windows the heartbeat frees once hidden.
  TSecondaryWindows& SecondaryWindows() { return SecondaryWindowsObject; }
  // A secondary window was hidden: the heartbeat comes at once to free it.
  void HeartbeatSoon();

  // --- What the window shows and drives -------------------------------------------
  TSettings& Settings() { return SettingsRecord; }
  const TSettings& Settings() const { return SettingsRecord; }
  TFileExtensions& Extensions() { return ExtensionTable; }
  TLibrary& Library() { return LibraryObject; }
  TCrawler& Crawler() { return CrawlerObject; }
  TLibraryScheduler& Scheduler() { return SchedulerObject; }
  TLibrarySearch& Search() { return SearchObject; }
  // Browsing and history; its view is the Library page.
  TLibraryNavigator& Navigator() { return NavigatorObject; }
  TLibraryCommands& LibraryCommands() { return LibraryCommandsObject; }
  TPlaylist& Playlist() { return PlaylistObject; }
  TPlaylistFile& PlaylistFile() { return PlaylistFileObject; }
  TMediaAdder& MediaAdder() { return MediaAdderObject; }
  TPlaybackController& Controller() { return ControllerObject; }
  TMessagePump& Pump() { return MessagePump; }
  TTimer& LibrarySaveTimer() { return *SaveTimer; }
  const TAppPaths& Paths() const { return AppPaths; }
  // The library busy indicator (empty text: hidden).
  const std::string& LibraryBusyText() const { return LibraryBusy; }
  bool ControlMode() const { return ControlModeFlag; }
  // Settings pass / playlist pass / save through the player's store.
  void LoadSettingsPass(bool playlistOnly);

  // --- TRemoteTarget (the operations the window's commands use too) ----------------
  void SeamlessUpgrade() override;
  void SaveSettings() override;
  void LoadSettings() override;
  void PlayPause() override;
  void Stop() override;
  void Next() override;
  void Previous() override;
  bool IsVideoFullScreen() const override;
  void ToggleFullScreen() override;
  void SetFullScreenRect(int left, int top, int width, int height) override;
  void HideVideo() override;
  void ShowVideo() override;
  void SetControlMode(bool on) override;
  std::vector<TRemoteArtist> FindArtists(const std::string& query) const override;
  std::vector<TRemoteAlbum> FindAlbums(const std::string& query) const override;
  std::vector<TRemoteEntry> FindTracks(const std::string& query) const override;
  std::vector<TRemoteEntry> FindVideos(const std::string& query) const override;
  std::vector<TRemoteEntry> FindPlaylists(const std::string& query) const override;
  int ArtistCount() const override;
  int AlbumCount(int artistIndex) const override;
  void AddArtistTracks(int artistIndex) override;
  void AddAlbumTracks(int artistIndex, int albumIndex) override;
  int PlaylistCount() const override;
  std::vector<std::string> PlaylistCaptions() const override;
  void ClearPlaylist() override;
  void AddPlaylistEntry(const std::string& fileName) override;
  void PlayEntry(int index) override;
  void ReadTrackInfo() override;
  int OpenBehavior() const override;
  TRemoteState State() const override;
  int Volume() const override;
  bool VolumeMuted() const override;
  void SetVolume(int position) override;
  void Close() override;
  void ShowIfHidden() override;
  void ShowHandling() override;

 private:
  // TSettingsWindow: the settings passes reach the window through the player.
  void StoreWindowState() override;
  void RunSwitch(TWindowSwitch which) override;
  void WindowSettingsRead() override;
  void TweaksRead() override;
  void SettingsApplied() override;
  void StartPlaylistBusy(const std::string& text) override;
  void PlaylistBusyTick() override;
  void EndPlaylistBusy() override;
  bool PlaylistCancelled() const override;
  void AddSavedRow(const TSavedPlaylistRow& row) override;
  int PlaylistRowCount() const override;
  void MarkNowPlaying(int index) override;
  void ResumeAt(int index, int positionMs) override;
  void ProcessPendingMessages() override;
  std::vector<TSavedPlaylistRow> SavedPlaylistRows() const override;
  int PlayingIndex() const override;
  bool MediaPausedOrPlaying() const override;
  int PositionMs() const override;

  // TPlaylistListener.
  void PlaylistChanged() override;
  void PlayModeChanged(uint8_t mode) override;
  // TPlaybackListener.
  void NotifyState(bool sendState, bool sendTrackInfo, bool sendVolume) override;
  void Seeked(int32_t positionMs) override;
  // TLibrarySearchHost.
  bool LibraryPageShown() const override;
  TLibraryPage CurrentPage() const override;
  std::string SearchText() const override;
  bool BusyVisible() const override;
  std::string BusyText() const override;
  void ShowBusy(std::string_view text) override;
  void HideBusy() override;
  void ListRefilled(TLibraryList& list) override;
  // TLibraryCommandsHost.
  void ShowPlaylistPage() override;
  void ShowVideoPage() override;
  bool Confirm(const std::string& question) override;
  void ShowError(const std::string& text) override;
  // TSettingsDialogTarget.
  TCrawlTasks& CrawlQueue() override { return LibraryObject.CrawlTasks; }
  void ApplySettings() override;
  void RebuildCaptions() override;
  void RefreshLibraryViewsSoon() override { SchedulerObject.RefreshViews = true; }
  void UpdateRelativeFlags() override { LibraryObject.UpdateRelativeFlags(); }

  void LibraryLoaded();
  void AfterStartUp();
  void WatchLibraryFoldersIfChanged();
  void OpenShowingMessage();
  bool SaveLibraryIfLoaded(std::string& error);
  TSettingsContext Context();
  // The window, or the stand-in while there is none.
  TPlayerView& V();
  const TPlayerView& V() const;

  TAppPaths AppPaths;
  TRuntime& Runtime;
  TFolderWatcher* Watcher;
  TRemoteServer* RemoteServer;
  TDesktop* Desktop;
  TPlayerView* View = nullptr;
  TPlayerView NoView;  // stands in while there is no window
  TPlaybackListener* PlaybackObserver = nullptr;

  TMessageQueue Messages;
  TSettings SettingsRecord;
  std::unique_ptr<TSettingsStore> Store;
  TFileExtensions ExtensionTable;
  TMessagePump MessagePump;
  TLibrary LibraryObject;
  TCrawler CrawlerObject;
  TLibraryScheduler SchedulerObject;
  TLibraryLoader LoaderObject;
  TLibrarySearch SearchObject;
  TPlaylist PlaylistObject;
  TPlaylistFile PlaylistFileObject;
  TMediaAdder MediaAdderObject;
  TLibraryNavigator NavigatorObject;
  TLibraryCommands LibraryCommandsObject;
  TPlaybackController ControllerObject;
  class TNullOutput : public TRemoteOutput {
    void SendFrame(TConnectionId, std::string_view) override {}
  } NullOutput;
  TRemoteControl RemoteControl;
  std::unique_ptr<TTimer> SaveTimer;
  THotKeys HotKeysObject;
  TSecondaryWindows SecondaryWindowsObject;

  // Remote "play" commands put aside during start-up, with whether each
  // was a continuation when it arrived; run in order once the playlist is in place.
  struct THeldPlay {
    TConnectionId Sender;
    std::string Text;
    bool Continuation;
  };
  void RunHeldPlays();

  std::vector<std::string> StartFiles;
  TPendingPlaylist PendingPlaylist;
  std::deque<THeldPlay> HeldPlays;
  bool HoldingPlays = false;
  std::vector<std::string> WatchedFolders;
  std::string LibraryBusy;
  bool ControlModeFlag = false;
  bool TerminatingFlag = false;
  bool Destroyed = false;
  bool WatcherStarted = false;
  bool StartUpRestored = false;    // AfterShow put the playlist in place
  bool LibrarySaveFailed = false;  // reported once until a save works again
};

template <class F>
void TPlayer::Guarded(F&& operation) {
  try {
    operation();
  } catch (const std::exception& error) {
    HandleException(error);
  }
}

}  // namespace tunevale
