// The playback controller: turns a playlist entry into sound and picture
// through the engine, keeps the now-playing tags and texts, follows the
// position, detects the end of the media, and handles play, pause, stop,
// seeking, volume and mute. Its labels, progress bar and button states are
// plain state here; the window only shows them.
//
// Re-entrancy: OpenMedia processes pending messages at several points, so any
// command can arrive while it runs. The opening flag keeps a second open from
// starting (it returns at once) and the stop-requested flag keeps an open that
// a stop interrupted from starting playback.
//
// Gapless: while local music plays, the engine is handed the entry the play
// order opens after it when that is local music too. When the engine goes on
// with it, the end of the entry runs as usual and the open of the follower
// takes over the playing medium instead of building a graph.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "library/library_settings.h"
#include "media/media_kind.h"
#include "media/metadata.h"
#include "playback/ds_track_bar.h"
#include "playback/filter_graph.h"
#include "playback/playback_settings.h"
#include "playlist/playback_target.h"
#include "playlist/playlist_listener.h"
#include "util/runtime.h"

namespace tunevale {

class TPlaylist;

// What the controller asks of the window. Every method has a harmless
// default, so a headless player needs none of them.
class TPlaybackView {
 public:
  virtual ~TPlaybackView() = default;
  // Show the Video page when `hasVideo`, else the Playlist page (unless the
  // Library page is showing); the Video tab is hidden without video.
  virtual void ShowMediaPage(bool hasVideo) { (void)hasVideo; }
  // Attach the video surface to the engine (`attach`), or detach it for music.
  virtual void AttachVideoWindow(bool attach) { (void)attach; }
  // The tray transport popup, shown for `durationMs`.
  virtual void ShowTrayControls(int durationMs) { (void)durationMs; }
  virtual bool TrayControlsVisible() const { return false; }
  // False when `title` would run into the hide button of the track strip.
  virtual bool TitleFits(const std::string& title) const {
    (void)title;
    return true;
  }
  // Labels, progress bar or transport controls changed.
  virtual void NowPlayingChanged() {}
  // The engine told a new video size (VideoWidth/VideoHeight): lay the picture out again.
  virtual void VideoSizeChanged() {}
};

// The state notifications for remote listeners.
class TPlaybackListener {
 public:
  virtual ~TPlaybackListener() = default;
  virtual void NotifyState(bool sendState, bool sendTrackInfo, bool sendVolume) = 0;
  // The shown position jumped to `positionMs`: a seek, or the entry restarting.
  virtual void Seeked(int32_t positionMs) { (void)positionMs; }
};

// The user texts for failed opens (the playlist's row hints, properties).
std::string PlayErrorText(int32_t code, const std::string& message);
// A location played as an internet stream rather than through RenderFile.
bool IsStreamLocation(const std::string& path);

class TPlaybackController : public TPlaybackTarget, private TPlaylistListener {
 public:
  // Reads the tags of a file the way the library notices it (from-library off).
  using TTagReader = std::function<void(const std::string& path, TMetaData& meta)>;
  // Expands a playlist file into the playlist; true on success.
  using TPlaylistFileOpener = std::function<bool(const std::string& path)>;

  TPlaybackController(TFilterGraph& graph, TPlaylist& playlist, TRuntime& runtime,
                      TPlaybackSettings& settings, const TLibrarySettings& librarySettings,
                      const TFileExtensions& extensions);
  ~TPlaybackController() override;
  TPlaybackController(const TPlaybackController&) = delete;
  TPlaybackController& operator=(const TPlaybackController&) = delete;

  void SetView(TPlaybackView* view) { View = view; }
  void SetListener(TPlaybackListener* listener) { Listener = listener; }
  void SetTagReader(TTagReader reader) { TagReader = std::move(reader); }
  void SetPlaylistFileOpener(TPlaylistFileOpener opener) { PlaylistFileOpener = std::move(opener); }
  // While the application terminates, stop leaves the graph alone.
  void SetTerminating(bool terminating) { Terminating = terminating; }

  // TPlaybackTarget.
  void OpenMedia(const std::string& path, const std::string& caption, TPlayResult& result) override;
  void Stop() override { StopActionExecute(); }
  int State() const override { return Graph.State(); }
  bool IsOpening() const override { return Opening; }
  bool StopRequested() const override { return StopRequestedFlag; }
  void ClearStopRequest() override { StopRequestedFlag = false; }
  TMediaKind OpenKind() const override { return Kind; }
  void SeekToStart() override;
  bool SeekStepMadeDuringPress() const override;
  void UpdateNowPlayingDisplay(bool refreshIndex) override;
  void ShowTrayControls(int durationMs) override;

  // Commands.
  void PlayPauseActionExecute();
  void StopActionExecute();
  void PlayDVD(const std::string& path);
  // Connects a capture device and shows it: stop, "Connecting: <name>", the
  // title "Device: <name>", the device in a capture graph, the Video page, play.
  // Raises when the device cannot start; the caller tells the user and stops.
  void StartCapture(const TCaptureDevice& device);
  // With a known duration: one frame forward while paused, a pause while playing.
  void NextFrameActionExecute();
  void UpdateTransportControls();

  // Seeking.
  void SeekTo(int32_t ms);
  void SeekBy(int32_t seconds);
  void StartSeek(bool forward, bool immediate);
  void StopSeek();
  void NextButtonMouseDown() { StartSeek(true, false); }
  void PreviousButtonMouseDown() { StartSeek(false, false); }
  void FastForwardActionExecute() { StartSeek(true, true); }
  void FastBackwardActionExecute() { StartSeek(false, true); }
  // A button is clicked before its mouse-up ends the seek, so a click after
  // a seek step is recognised and ignored by the next/previous commands.
  void NextButtonClick();
  void PreviousButtonClick();
  void SeekButtonMouseUp() { StopSeek(); }
  bool SeekTimerRunning() const { return SeekTimer->Enabled(); }

  // The progress bar: x within a bar `width` pixels wide.
  void ProgressBarMouseDown(int x, int width);
  void ProgressBarMouseMove(int x, int width);
  void ProgressBarMouseUp();
  // Abandons a drag: the release that follows does not seek.
  void ProgressBarCancelDrag();

  // Volume and mute.
  void VolumeTrackBarChange(int32_t position);
  void VolumeUpActionExecute() { VolumeTrackBarChange(VolumePosition + 500); }
  void VolumeDownActionExecute() { VolumeTrackBarChange(VolumePosition - 500); }
  void MuteUnmuteActionExecute();

  // Engine events (wired to the graph in the constructor; public for tests).
  void FilterGraphGraphComplete();
  void FilterGraphDSEvent(int32_t eventCode, intptr_t param1, intptr_t param2);
  void FilterGraphGraphVideoSizeChanged(int32_t width, int32_t height);
  void FilterGraphTrackSwitched(const std::string& location);
  void DSTrackBarTimer(int32_t currentMs, int32_t durationMs);

  // Observable state.
  const std::string& TitleLabel() const { return Title; }
  const std::string& SubtitleLabel() const { return Subtitle; }
  const std::string& TimeLabel() const { return Time; }
  const TMetaData& NowPlaying() const { return NowPlayingTags; }
  int32_t PositionMs() const { return Position; }
  int32_t DurationMs() const { return Duration; }
  int32_t PositionOffsetMs() const { return PositionOffset; }
  bool IsStream() const { return Stream; }
  bool Dragging() const { return DraggingFlag; }
  int32_t VideoWidth() const { return VideoW; }
  int32_t VideoHeight() const { return VideoH; }
  int32_t ProgressMax() const { return ProgressMaxValue; }
  int32_t ProgressPosition() const { return ProgressPositionValue; }
  int32_t VolumeTrackBarPosition() const { return VolumePosition; }
  // Button glyph indices: play 0 / pause 1; mute 5 / muted 6.
  int PlayButtonImage() const { return PlayImage; }
  const std::string& PlayPauseCaption() const { return PlayCaption; }
  int MuteButtonImage() const { return Settings.VolumeMuted ? 6 : 5; }
  bool StopActionEnabled() const { return StopEnabled; }
  bool PlayPauseActionEnabled() const { return PlayPauseEnabled; }
  bool NowPlayingPropertiesActionEnabled() const { return StopEnabled; }
  int RememberedPlayingIndex() const { return RememberedIndex; }
  TDSTrackBar& TrackBar() { return SeekBar; }
  // The ports it runs on, for the video and tray windows.
  TFilterGraph& Engine() const { return Graph; }
  TRuntime& Loop() const { return Runtime; }

 private:
  void ResetGraph();
  bool BuildGraph(const std::string& path, TPlayResult& result);
  void StartPlayback(const std::string& path, bool adopted);
  // Hands the engine the entry to follow the playing one, or withdraws it.
  void QueueFollower();
  void PlaylistRowsChanged(const TPlaylistChange&) override { QueueFollower(); }
  void PlayModeChanged(uint8_t) override { QueueFollower(); }
  void SeekTimerTimer();
  void SetTimeLabel(int32_t positionMs, int32_t durationMs);
  void Changed();
  void NotifyState(bool sendState, bool sendTrackInfo, bool sendVolume);
  bool PausedOrPlaying() const { return IsPausedOrPlaying(Graph.State()); }

  TFilterGraph& Graph;
  TPlaylist& Playlist;
  TRuntime& Runtime;
  TPlaybackSettings& Settings;
  const TLibrarySettings& LibrarySettings;
  const TFileExtensions& Extensions;
  TDSTrackBar SeekBar;
  std::unique_ptr<TTimer> SeekTimer;
  TPlaybackView* View = nullptr;
  TPlaybackListener* Listener = nullptr;
  TTagReader TagReader;
  TPlaylistFileOpener PlaylistFileOpener;

  TMetaData NowPlayingTags;
  int32_t Position = 0;
  int32_t Duration = 0;
  int32_t PositionOffset = 0;
  TMediaKind Kind = mkUnknown;
  bool Stream = false;
  bool Opening = false;
  bool StopRequestedFlag = false;
  bool DraggingFlag = false;
  bool Terminating = false;
  int32_t VideoW = 0;
  int32_t VideoH = 0;
  int RememberedIndex = -1;

  // Gapless playback.
  bool GaplessSource = false;    // the open entry is local music
  std::string QueuedLocation;    // what the engine was handed to follow it
  std::string SwitchedLocation;  // what the engine went on with: the open adopts it
  bool SwitchUnclaimed = false;  // no open or stop has taken over the switched medium yet

  // Press-and-hold seeking.
  int SeekDirection = 0;  // 1 back, 2 forward
  bool SeekImmediate = false;
  int64_t PressTime = 0;
  int64_t LastSeekTime = 0;
  int64_t LastKeyTime = 0;

  std::string Title;
  std::string Subtitle;
  std::string Time;
  int32_t ProgressMaxValue = 0;
  int32_t ProgressPositionValue = 0;
  int32_t VolumePosition = 10000;
  int PlayImage = 0;
  std::string PlayCaption = "Play";
  bool StopEnabled = false;
  bool PlayPauseEnabled = false;
};

}  // namespace tunevale
