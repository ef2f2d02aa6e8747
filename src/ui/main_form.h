// The main window: draws a TPlayer and forwards input to it. Every state it
// shows (labels, progress, playlist rows, library rows, play mode, volume,
// view flags) lives in the player's objects; the widgets follow their change
// calls. The window is made of parts, each in its own files: the track
// strip, the controls panel, the Playlist, Library, Video and hidden pages,
// the view modes, the action table and the context menus. The window owns
// them and answers the player's view calls by handing each to the part it
// concerns. It sees every key and extra mouse button of the application
// first (an application event filter).
//
// Re-entrancy: opening files, adding folders and refilling the library lists
// process pending messages, so any click may arrive in the middle of them;
// handlers only forward to the player, whose guards cover that.
#pragma once

#include <QMainWindow>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <memory>

#include "app/player.h"
#include "install/update_check.h"

class QMessageBox;
class QTabWidget;
class QToolButton;
class QVBoxLayout;

namespace tunevale {

class TControlsPanel;
class THiddenSheet;
class TLibrarySheet;
class TMainActions;
class TMainMenus;
class TPlaylistSheet;
class TPropertiesWindows;
class TSettingsForm;
class TTrackInfoPanel;
class TTrayForm;
class TTrayIcon;
class TVideoDisplay;
class TVideoSheet;
class TViewModes;
class TWindowDrag;

class TMainForm final : public QMainWindow, public TPlayerView, public TUpdateView {
 public:
  // `setVideoWindow` gives the engine the native window to draw into (0: none).
  TMainForm(TPlayer& player, std::function<void(uintptr_t)> setVideoWindow);
  ~TMainForm() override;

  // The parts.
  TTrackInfoPanel& TrackInfoPanel() const { return *TrackInfoPanelObject; }
  TControlsPanel& ControlsPanel() const { return *ControlsPanelObject; }
  QTabWidget& PageControl() const { return *PageControlObject; }
  TPlaylistSheet& PlaylistSheet() const { return *PlaylistSheetObject; }
  TLibrarySheet& LibrarySheet() const { return *LibrarySheetObject; }
  TVideoSheet& VideoSheet() const { return *VideoSheetObject; }
  THiddenSheet& HiddenSheet() const { return *HiddenSheetObject; }
  QToolButton& MenuButton() const { return *MenuButtonObject; }
  TViewModes& ViewModes() const { return *ViewModesObject; }
  TMainActions& Actions() const { return *ActionsObject; }
  TMainMenus& Menus() const { return *MenusObject; }
  TPropertiesWindows& PropertiesWindows() const { return *PropertiesWindowsObject; }

  // The update check the window runs daily and from its command; `launcher`
  // opens the changelog. Both must outlive the window.
  void SetUpdater(TUpdater& updater, TProcessLauncher& launcher);
  void CheckForUpdatesActionExecute();
  TVideoDisplay& VideoDisplay() const { return *VideoDisplayObject; }
  TTrayForm& TrayForm() const { return *TrayFormObject; }
  TTrayIcon& TrayIcon() const { return *TrayIconObject; }
  // A key pressed in another of the player's windows: the window's actions and keys.
  void ForwardKey(QKeyEvent* event);
  // The device dialog, then the device chosen on the Video page.
  void StartCaptureActionExecute();
  // The modal library statistics and about box, beside the window.
  void ShowLibraryStatistics();
  void ShowAboutActionExecute();
  // The open dialog for skin files, then the skin chosen.
  void LoadSkinButtonClick();

  // Brings main page `page` (TMainPage) to the front unless its tab is
  // hidden; the Library page gives its list in front the focus.
  // Brings main page `page` (TMainPage) to the front unless it is hidden for
  // a reason of its own (no library, no video); the Library page gives its
  // list in front the focus.
  void SelectPage(int page);
  // Hide in the tray, or show again. Without a tray: minimize and restore.
  void ShowHideActionExecute();
  // A modeless secondary window the heartbeat frees once it is hidden.
  void AdoptSecondaryWindow(QWidget& window);
  // Shows the settings dialog on `page` (TSettingsPage), creating it unless
  // it is still there (its unsaved edits then stay).
  void ShowSettings(int page);
  // The settings dialog until the heartbeat frees it; null otherwise.
  TSettingsForm* SettingsForm() const;

  // TPlaybackView.
  void ShowMediaPage(bool hasVideo) override;
  void AttachVideoWindow(bool attach) override;
  bool TitleFits(const std::string& title) const override;
  void NowPlayingChanged() override;
  void VideoSizeChanged() override;
  void ShowTrayControls(int durationMs) override;
  bool TrayControlsVisible() const override;
  // TPlayerView.
  void ShowMessage(const std::string& text, TMessageKind kind) override;
  bool OpenMessageBox(const TMessage& message) override;
  void MessageBoxRepeated(int count) override;
  bool Confirm(const std::string& question) override;
  void ShowPage(int page) override;
  void LibraryBusyChanged(bool busy, const std::string& text) override;
  void LibraryListRefilled(int page) override;
  bool LibraryPageShown() const override;
  int CurrentLibraryPage() const override;
  std::string SearchText() const override;
  void StoreWindowState(TSettings& settings) override;
  void WindowSwitched(TWindowSwitch which, const TSettings& settings) override;
  void WindowSettingsRead(const TSettings& settings) override;
  void TweaksRead(const TSettings& settings) override;
  void SettingsApplied(const TSettings& settings) override;
  void ShowIfHidden() override;
  void ShowHandling() override;
  void SetMainWindowHidden(bool hidden) override;
  bool IsVideoFullScreen() const override;
  void ToggleFullScreen() override;
  void SetFullScreenRect(int left, int top, int width, int height) override;
  bool CloseWindow() override;
  void EndProcessNow() override;
  void UpdateCheckDue() override;
  // TUpdateView.
  void ShowUpdateMessage(const std::string& text) override;
  bool ShowUpdateDialog(const TVersionText& version, bool installed,
                        const std::string& changelogUrl) override;
  void RestartProcess() override;
  void RunAction(const std::string& name) override;
  void ShowHiddenPage() override;

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreatePages();
  void CreateMenuButton();
  void ConnectParts();
  bool WindowKeyEvent(QObject* watched, QKeyEvent* key);
  void CreateVideoAndTray();
  void FullScreenChanged(bool fullScreen);
  // Lends the strip (not in full screen) and the controls to the tray window; takes them back.
  void EnterTray(bool fullScreen);
  void LeaveTray();
  bool PassWindowKey(QKeyEvent* key, bool inTextBox);

  TPlayer& Player;
  std::function<void(uintptr_t)> SetVideoWindow;
  std::unique_ptr<TViewModes> ViewModesObject;
  // Widgets: owned by the window as their Qt parent.
  TTrackInfoPanel* TrackInfoPanelObject = nullptr;
  TControlsPanel* ControlsPanelObject = nullptr;
  QTabWidget* PageControlObject = nullptr;
  TPlaylistSheet* PlaylistSheetObject = nullptr;
  TLibrarySheet* LibrarySheetObject = nullptr;
  TVideoSheet* VideoSheetObject = nullptr;
  THiddenSheet* HiddenSheetObject = nullptr;
  QToolButton* MenuButtonObject = nullptr;
  TWindowDrag* WindowDrag = nullptr;
  std::unique_ptr<TMainActions> ActionsObject;
  std::unique_ptr<TVideoDisplay> VideoDisplayObject;
  std::unique_ptr<TTrayForm> TrayFormObject;
  TTrayIcon* TrayIconObject = nullptr;  // owned by the window
  QPointer<QMessageBox> MessageBox;     // the one box that does not wait, while it shows
  TUpdater* Updater = nullptr;
  TProcessLauncher* Launcher = nullptr;
  std::unique_ptr<TMainMenus> MenusObject;
  std::unique_ptr<TPropertiesWindows> PropertiesWindowsObject;
  QPointer<TSettingsForm> SettingsFormObject;

  bool Closing = false;
  bool InTray = false;  // the strip and controls are lent to the tray window
  QVBoxLayout* CentralLayout = nullptr;
};

}  // namespace tunevale
