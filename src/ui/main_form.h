// The main window: draws a TPlayer and forwards input to it. Every state it
// shows (labels, progress, playlist rows, library rows, play mode, volume)
// lives in the player's objects; the widgets follow their change calls.
//
// Re-entrancy: opening files, adding folders and refilling the library lists
// process pending messages, so any click may arrive in the middle of them;
// handlers only forward to the player, whose guards cover that.
#pragma once

#include <QMainWindow>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>

#include "app/player.h"

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListView;
class QSlider;
class QTabWidget;
class QTimer;
class QToolButton;
class QTreeView;

namespace tunevale {

class TLibraryListModel;
class TPlaylistModel;
class TProgressBar;

// The open dialog's filter: "desc|patterns|desc|patterns" pairs become Qt's
// "desc (patterns)" entries, the patterns separated by spaces.
QString QtOpenFilter(const std::string& filter);

class TMainForm final : public QMainWindow, public TPlayerView, private TPlaylistListener {
 public:
  // `setVideoWindow` gives the engine the native window to draw into (0: none).
  TMainForm(TPlayer& player, std::function<void(uintptr_t)> setVideoWindow);
  ~TMainForm() override;

  // The sizing rule of the window: keeps the width at least the controls'
  // width and snaps heights between the strips and a usable list to the mini
  // view (only the strips) or to the smallest normal view. Returns the
  // (client) size to use; records MiniMode and the normal size.
  QSize FormCanResize(QSize requested);
  // Between the mini view and the last normal size (also a double-click on
  // the track strip).
  void ToggleMiniModeActionExecute();

  // TPlaybackView.
  void ShowMediaPage(bool hasVideo) override;
  void AttachVideoWindow(bool attach) override;
  bool TitleFits(const std::string& title) const override;
  void NowPlayingChanged() override;
  // TPlayerView.
  void ShowMessage(const std::string& text, TMessageKind kind) override;
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
  // TPlaylistListener.
  void PlaylistRowsChanged(const TPlaylistChange& change) override;
  void PlaylistBusyChanged(bool busy, const std::string& text) override;
  void PlayModeChanged(uint8_t mode) override;

  void CreateTrackInfoPanel();
  void CreateControlsPanel();
  void CreatePlaylistPage();
  void CreateLibraryPage();
  void CreateVideoPage();
  void CreateActions();
  QAction* AddAction(const char* name, const QString& text, const QList<QKeySequence>& keys,
                     std::function<void()> run);
  QToolButton* Button(QWidget* parent, const char* name, const QString& hint, const QIcon& icon);
  void PlaceStripControls();
  void SyncPlaylistSelection(int first, int last);
  void PlaylistViewSelectionChanged();
  void OpenActionExecute();
  void SavePlaylistActionExecute();
  void ShowBusyMenu(QToolButton* indicator, std::function<void()> cancel);
  void SelectPage(int page);

  TPlayer& Player;
  std::function<void(uintptr_t)> SetVideoWindow;
  std::unique_ptr<TPlaylistModel> PlaylistModel;
  std::array<std::unique_ptr<TLibraryListModel>, kLibraryPageCount> LibraryModels;

  QFrame* TrackInfoPanel = nullptr;
  QLabel* TitleLabel = nullptr;
  QLabel* SubtitleLabel = nullptr;
  QLabel* TimeLabel = nullptr;
  QLabel* VersionLabel = nullptr;
  QToolButton* HideInTrayButton = nullptr;
  QFrame* ControlsPanel = nullptr;
  TProgressBar* ProgressBar = nullptr;
  QToolButton* PlayButton = nullptr;
  QToolButton* StopButton = nullptr;
  QToolButton* PreviousButton = nullptr;
  QToolButton* NextButton = nullptr;
  QToolButton* MuteButton = nullptr;
  QSlider* VolumeTrackBar = nullptr;
  QTabWidget* PageControl = nullptr;
  QComboBox* PlayModeComboBox = nullptr;
  QToolButton* PlaylistBusyIndicator = nullptr;
  QListView* PlaylistListView = nullptr;
  QLineEdit* SearchEdit = nullptr;
  QToolButton* LibraryBusyIndicator = nullptr;
  QTabWidget* LibraryPageControl = nullptr;
  std::array<QTreeView*, kLibraryPageCount> LibraryViews{};
  QTimer* SearchTimer = nullptr;
  QWidget* VideoPanel = nullptr;

  QSize NormalSize{270, 320};  // the last client size outside the mini view
  bool SyncingSelection = false;
  bool Closing = false;
  bool Placing = false;
};

}  // namespace tunevale
