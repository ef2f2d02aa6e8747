// The main window: draws a TPlayer and forwards input to it. Every state it
// shows (labels, progress, playlist rows, library rows, play mode, volume)
// lives in the player's objects; the widgets follow their change calls.
// The window is made of parts, each in its own files: the track strip, the
// controls panel, the Playlist, Library and Video pages, the view modes and
// the action table. The window owns them and answers the player's view calls
// by handing each to the part it concerns.
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

class QMessageBox;
class QTabWidget;

namespace tunevale {

class TControlsPanel;
class TLibrarySheet;
class TMainActions;
class TPlaylistSheet;
class TTrackInfoPanel;
class TVideoSheet;
class TViewModes;

class TMainForm final : public QMainWindow, public TPlayerView {
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
  TViewModes& ViewModes() const { return *ViewModesObject; }
  TMainActions& Actions() const { return *ActionsObject; }

  // Brings main page `page` (TMainPage) to the front unless its tab is
  // hidden; the Library page gives its list in front the focus.
  void SelectPage(int page);

  // TPlaybackView.
  void ShowMediaPage(bool hasVideo) override;
  void AttachVideoWindow(bool attach) override;
  bool TitleFits(const std::string& title) const override;
  void NowPlayingChanged() override;
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
  void WindowSettingsRead(const TSettings& settings) override;
  bool CloseWindow() override;
  void EndProcessNow() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreatePages();
  // The keys the window handles wherever the focus is (but in a text box);
  // true when `event` was one of them.
  bool WindowKey(QKeyEvent* event);

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
  std::unique_ptr<TMainActions> ActionsObject;
  QPointer<QMessageBox> MessageBox;  // the one box that does not wait, while it shows

  bool Closing = false;
};

}  // namespace tunevale
