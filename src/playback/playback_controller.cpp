#include "playback/playback_controller.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "playlist/playlist.h"
#include "util/text.h"

namespace tunevale {

namespace {

struct TErrorText {
  uint32_t Codes[3];
  const char* Text;
};

constexpr TErrorText ErrorTable[] = {
    {{0x80070002, 0x80070003, 0x80040216}, "Cannot find this file. It may be removed from your computer."},
    {{0x80040240, 0x80040265}, "Cannot play this file. This is an unknown file format."},
    {{0x80040200, 0x80040218, 0x80040255}, "Cannot play this file because it uses an unknown codec."},
    {{0x80040248}, "Cannot play this file because it is corrupted."},
    {{0x80040256}, "Cannot play this file because your sound card isn't working properly."},
    {{0x80070005, 0x800C0008}, "Cannot open this file because you don't have permission to open it."},
    {{0x80070015}, "Cannot open this file because there is no disc in the drive."},
    {{0x80070020}, "Cannot open this file because it is opened in another program."},
    {{0x80070035, 0x80070040}, "Cannot open this file because the server cannot be found."},
    {{0x8007052E}, "Cannot open this file because Tunevale can't log in on the computer."},
    {{0x800710FE}, "Cannot open this file because this offline file is currently not available."},
    {{0x800C0004}, "Cannot open this file because Tunevale could not connect to the server."},
    {{0x800C0005, 0x800C0006}, "Cannot find this file. This is not a valid URL."},
};

constexpr const char* UnknownErrorText = "Cannot open this file because of an unknown error.";

// Only local music joins without a gap: streams, videos and pictures open as usual.
bool IsLocalMusic(const TFileExtensions& extensions, const std::string& path) {
  const bool local = path.find("://") == std::string::npos || StartsWith(AsciiLower(path), "file://");
  return local && !IsStreamLocation(path) && extensions.GetFileKind(path) == mkMusic;
}

// Rounds halves to the even neighbour (the default floating-point mode).
int32_t RoundEven(double value) { return static_cast<int32_t>(std::nearbyint(value)); }

}  // namespace

std::string PlayErrorText(int32_t code, const std::string& message) {
  const auto ucode = static_cast<uint32_t>(code);
  for (const TErrorText& row : ErrorTable)
    for (uint32_t c : row.Codes)
      if (c != 0 && c == ucode) return row.Text;
  if (ucode == 0x80004005 || code == prUnexpectedError) return UnknownErrorText;
  if (!message.empty() && message[0] == '\x01') return UnknownErrorText;
  return message + "\rPlease report this error.";
}

bool IsStreamLocation(const std::string& path) {
  const std::string lower = AsciiLower(path);
  if (path.find("://") != std::string::npos) {
    const bool fourthFromEndIsDot = path.size() >= 4 && path[path.size() - 4] == '.';
    if (!fourthFromEndIsDot || EndsWith(lower, "asf")) return true;
  }
  return StartsWith(lower, "mms") || StartsWith(lower, "rtsp");
}

TPlaybackController::TPlaybackController(TFilterGraph& graph, TPlaylist& playlist, TRuntime& runtime,
                                         TPlaybackSettings& settings, const TLibrarySettings& librarySettings,
                                         const TFileExtensions& extensions)
    : Graph(graph),
      Playlist(playlist),
      Runtime(runtime),
      Settings(settings),
      LibrarySettings(librarySettings),
      Extensions(extensions),
      SeekBar(runtime),
      SeekTimer(runtime.CreateTimer([this] { SeekTimerTimer(); })),
      VolumePosition(std::clamp(settings.Volume, 0, 10000)) {
  SeekTimer->SetInterval(10);
  SeekBar.SetTimerInterval(500);
  SeekBar.SetFilterGraph(&Graph);
  SeekBar.OnTimer = [this](int32_t currentMs, int32_t durationMs) { DSTrackBarTimer(currentMs, durationMs); };
  Graph.OnGraphComplete = [this](int32_t) { FilterGraphGraphComplete(); };
  Graph.OnDSEvent = [this](int32_t code, intptr_t p1, intptr_t p2) { FilterGraphDSEvent(code, p1, p2); };
  Graph.OnGraphVideoSizeChanged = [this](int32_t w, int32_t h) { FilterGraphGraphVideoSizeChanged(w, h); };
  Graph.OnGraphTrackSwitched = [this](const std::string& location) { FilterGraphTrackSwitched(location); };
  Playlist.SetPlaybackTarget(this);
  Playlist.AddListener(this);
}

TPlaybackController::~TPlaybackController() {
  SeekBar.SetFilterGraph(nullptr);
  Graph.OnGraphComplete = nullptr;
  Graph.OnDSEvent = nullptr;
  Graph.OnGraphVideoSizeChanged = nullptr;
  Graph.OnGraphTrackSwitched = nullptr;
  Playlist.RemoveListener(this);
  if (Playlist.PlaybackTarget() == this) Playlist.SetPlaybackTarget(nullptr);
}

void TPlaybackController::OpenMedia(const std::string& path, const std::string& caption,
                                    TPlayResult& result) {
  StopSeek();
  result = TPlayResult{};
  const TMediaKind kind = Extensions.GetFileKind(path);
  if (kind == mkWebPage) {
    result.Code = prWebPage;
    UpdateNowPlayingDisplay(false);
    return;
  }
  if (kind == mkPlaylist) {
    if (PlaylistFileOpener && PlaylistFileOpener(path)) {
      Runtime.ProcessPendingMessages();
      Playlist.PlayEntry(0, true);
    }
    result.Code = prPlaylistExpanded;
    UpdateNowPlayingDisplay(false);
    return;
  }
  if (Opening) {  // an open further up the call chain keeps its flag
    UpdateNowPlayingDisplay(false);
    return;
  }
  Opening = true;
  // The engine went on with this entry by itself: it plays already.
  const bool adopt = !SwitchedLocation.empty() && path == SwitchedLocation;
  SwitchedLocation.clear();
  SwitchUnclaimed = false;
  try {
    ShowTrayControls(4000);
    StopRequestedFlag = false;
    Kind = kind;
    Stream = IsStreamLocation(path);
    GaplessSource = false;
    if (adopt) {
      // What the stopped display clears before a normal open; it never stopped.
      Duration = 0;
      Subtitle.clear();
      Time.clear();
    } else {
      ResetGraph();
    }
    ProgressPositionValue = 0;
    ClearMetaData(NowPlayingTags);
    Position = 0;
    if (!adopt) UpdateNowPlayingDisplay(false);
    Runtime.ProcessPendingMessages();
    Title = "Opening: " + (caption.empty() ? FileDisplayName(path) : caption);
    Changed();
    Runtime.ProcessPendingMessages();
    if (View) View->AttachVideoWindow(Kind != mkMusic);
    if ((adopt || BuildGraph(path, result)) && !StopRequestedFlag) StartPlayback(path, adopt);
  } catch (const std::exception& e) {
    result.Code = prUnexpectedError;
    result.Message = e.what();
  }
  Opening = false;
  UpdateNowPlayingDisplay(false);
  // Engines need not report a state change for a run they were asked for.
  UpdateTransportControls();
}

void TPlaybackController::ResetGraph() {
  Graph.ClearGraph();
  if (!Graph.Active() || (Stream && Graph.Mode() != gmCapture)) {
    Graph.SetActive(false);
    Graph.SetMode(Stream ? gmCapture : gmNormal);
    Graph.SetActive(true);
  }
  QueuedLocation.clear();  // the engine forgets it with the medium
}

// Builds the graph for `path`; false (with the engine's code in `result`) when it fails.
bool TPlaybackController::BuildGraph(const std::string& path, TPlayResult& result) {
  try {
    if (Stream) {
      Title = "Buffering...";
      Changed();
      Graph.RenderStream(path);
      Runtime.ProcessPendingMessages();
    } else if (Kind == mkPicture) {
      Graph.RenderPicture(path);
    } else {
      Graph.RenderFile(path);
    }
  } catch (const EDirectShowException& e) {
    result.Code = e.ErrorCode;
    result.Message = e.what();
    return false;
  }
  // A video-size event while messages are processed below sets the width anew.
  const int32_t knownWidth = VideoW;
  const int32_t knownHeight = VideoH;
  VideoW = 0;
  Runtime.ProcessPendingMessages();
  if ((Kind == mkVideo || Kind == mkPicture) && VideoW == 0 && Settings.PreferOverlay) {
    VideoW = knownWidth;
    VideoH = knownHeight;
  }
  return true;
}

void TPlaybackController::StartPlayback(const std::string& path, bool adopted) {
  if (View) View->ShowMediaPage(VideoW != 0);
  Graph.Play();
  int32_t positionMs = 0;
  // An adopted medium began at its start, and a seek would break the join.
  if (!adopted && Graph.DurationMs() > 0 && Graph.QueryPositionMs(positionMs) && positionMs != 0) {
    Runtime.ProcessPendingMessages();
    Graph.SetPositionMs(0);
  }
  Runtime.ProcessPendingMessages();
  if (TagReader) TagReader(path, NowPlayingTags);
  if (NowPlayingTags.Title.empty()) NowPlayingTags.Title = FileDisplayName(path);
  // The tags' length shows until the engine knows the media's own; tags may
  // claim less than the media holds (a variable bit rate estimated as constant).
  const int32_t engineDuration = Graph.DurationMs();
  Duration = engineDuration > 0 ? engineDuration : NowPlayingTags.Length;
  PositionOffset = 0;
  ProgressMaxValue = Duration;
  VolumeTrackBarChange(VolumePosition);
  ShowTrayControls(4000);
  Playlist.ResetConsecutiveFailures();
  GaplessSource = IsLocalMusic(Extensions, path);
  UpdateNowPlayingDisplay(true);
}

void TPlaybackController::PlayPauseActionExecute() {
  const int state = Graph.State();
  if (state == psPaused)
    Graph.Play();
  else if (state == psPlaying)
    Graph.Pause();
  else
    Playlist.PlaylistPlayActionExecute();
  if (PausedOrPlaying()) ShowTrayControls(3000);
  UpdateTransportControls();
}

void TPlaybackController::StopActionExecute() {
  StopRequestedFlag = true;
  SwitchUnclaimed = false;
  if (Terminating) return;
  GaplessSource = false;
  QueuedLocation.clear();
  Graph.ClearGraph();  // unloaded, not just stopped: a later play starts over
  UpdateNowPlayingDisplay(true);
  UpdateTransportControls();
}

void TPlaybackController::PlayDVD(const std::string& path) {
  GaplessSource = false;
  QueuedLocation.clear();
  if (View) View->AttachVideoWindow(true);
  Graph.SetActive(false);
  Graph.SetMode(gmDVD);
  Graph.SetActive(true);
  if (Graph.RenderDVD(path, 1) != 0) {
    Graph.ClearGraph();
    return;
  }
  VideoW = 0;
  Runtime.ProcessPendingMessages();
  if (View) View->ShowMediaPage(VideoW != 0);
  Graph.Play();
}

void TPlaybackController::StartCapture(const TCaptureDevice& device) {
  StopActionExecute();
  Title = "Connecting: " + device.Name;
  Changed();
  Runtime.ProcessPendingMessages();
  ClearMetaData(NowPlayingTags);
  NowPlayingTags.Title = "Device: " + device.Name;
  StopRequestedFlag = false;
  Kind = mkVideo;
  Stream = false;
  Position = PositionOffset = Duration = ProgressMaxValue = 0;
  ResetGraph();
  Graph.SetActive(false);
  Graph.SetMode(gmCapture);
  if (View) View->AttachVideoWindow(true);
  Graph.SetActive(true);
  Graph.RenderDevice(device);
  VideoW = 0;
  Runtime.ProcessPendingMessages();  // the device's video size arrives
  if (View) View->ShowMediaPage(VideoW != 0);
  Graph.Play();
  UpdateNowPlayingDisplay(true);
  UpdateTransportControls();
}

void TPlaybackController::NextFrameActionExecute() {
  if (Graph.DurationMs() <= 0) return;
  const int state = Graph.State();
  if (state == psPaused) {
    // The bar shows the stepped frame's time now, not at the next poll (none runs while paused).
    if (Graph.StepFrame()) SeekBar.TimerTick();
  } else if (state == psPlaying) {
    PlayPauseActionExecute();
  }
}

void TPlaybackController::SeekToStart() {
  SeekBar.SetPosition(0);
  SeekBar.Seek();
  PositionOffset = 0;
  if (Listener) Listener->Seeked(0);
}

void TPlaybackController::FilterGraphGraphComplete() {
  QueuedLocation.clear();  // the medium ended without its follower
  Playlist.AdvancePlayOrder(true);
}

void TPlaybackController::QueueFollower() {
  if (Opening) return;  // asked again when the marker moves to the new entry
  const int row = GaplessSource && PausedOrPlaying() ? Playlist.FollowingIndex() : -1;
  const std::string next =
      row >= 0 && IsLocalMusic(Extensions, Playlist.Entry(row).FileName) ? Playlist.Entry(row).FileName : "";
  // A follower the engine has taken is judged when it starts.
  if (next == QueuedLocation || Graph.NextTaken()) return;
  QueuedLocation = Graph.QueueNext(next) ? next : "";
}

void TPlaybackController::FilterGraphTrackSwitched(const std::string& location) {
  QueuedLocation.clear();
  // The order may have changed after the engine took the entry: then the entry that
  // ended is handled as usual, and what the engine went on with is replaced.
  const int row = Playlist.FollowingIndex();
  const bool wanted = row >= 0 && Playlist.Entry(row).FileName == location;
  SwitchedLocation = wanted ? location : "";
  SwitchUnclaimed = true;
  if (!wanted && Playlist.PlayMode() == pmRepeat)
    Playlist.PlayEntry(Playlist.PlayingIndex(), true);
  else
    Playlist.AdvancePlayOrder(true);
  SwitchedLocation.clear();
  // A held seek button keeps the order still; nothing could show what plays.
  if (std::exchange(SwitchUnclaimed, false)) StopActionExecute();
}

void TPlaybackController::FilterGraphDSEvent(int32_t eventCode, intptr_t param1, intptr_t param2) {
  (void)param2;
  if (eventCode == ecBufferingData) {
    if (param1 != 0) {
      Title = "Buffering...";
      Changed();
    } else {
      UpdateNowPlayingDisplay(false);
    }
  }
  UpdateTransportControls();
}

void TPlaybackController::FilterGraphGraphVideoSizeChanged(int32_t width, int32_t height) {
  VideoW = width;
  VideoH = height;
  if (View) View->VideoSizeChanged();
}

void TPlaybackController::DSTrackBarTimer(int32_t currentMs, int32_t durationMs) {
  if (durationMs > 0) Duration = durationMs;
  Position = currentMs - PositionOffset;
  ProgressMaxValue = Duration;
  if (!DraggingFlag) ProgressPositionValue = Position;
  UpdateNowPlayingDisplay(false);
  if (Kind != mkPicture) {
    // No length known: the end is the engine's to report.
    if (Duration > 0 && Position >= Duration) Playlist.AdvancePlayOrder(true);
  } else if (Position >= Settings.PictureDuration * 1000 && Position >= Duration && !Stream) {
    Playlist.AdvancePlayOrder(true);
  }
}

void TPlaybackController::UpdateNowPlayingDisplay(bool refreshIndex) {
  if (!PausedOrPlaying()) {
    Subtitle.clear();
    Time.clear();
    Title = "Stopped";
    ProgressPositionValue = 0;
  } else {
    const std::string& artist =
        LibrarySettings.AlwaysShowAlbumArtist ? NowPlayingTags.AlbumArtist : NowPlayingTags.Artist;
    Title = artist.empty() ? NowPlayingTags.Title : NowPlayingTags.Title + " - " + artist;
    if (View && !View->TitleFits(Title)) Title = NowPlayingTags.Title;
    if (Stream && Graph.Buffering()) Title = "Buffering...";
    Subtitle = NowPlayingTags.Album;
    if (!DraggingFlag) {
      if (Kind == mkPicture && Duration == 0) Duration = Settings.PictureDuration * 1000;
      if (Duration != 0)
        SetTimeLabel(Position, Duration);
      else
        Time = Stream ? "Internet stream" : "";
    }
  }
  if (refreshIndex) RememberedIndex = Playlist.PlayingIndex();
  if (View && View->TrayControlsVisible()) {
    const int count = Playlist.Count();
    Subtitle = count > 0 && RememberedIndex >= 0
                   ? std::to_string(RememberedIndex + 1) + "/" + std::to_string(count)
                   : std::string();
  }
  Changed();
  NotifyState(true, refreshIndex, false);
}

void TPlaybackController::UpdateTransportControls() {
  const int state = Graph.State();
  const bool playing = state == psPlaying;
  const bool paused = state == psPaused;
  PlayImage = playing ? 1 : 0;
  PlayCaption = playing ? "Pause" : "Play";
  if (!playing && !paused) DraggingFlag = false;
  StopEnabled = playing || paused;
  PlayPauseEnabled = playing || paused || Playlist.Count() > 0;
  Changed();
  NotifyState(true, false, false);
}

void TPlaybackController::ShowTrayControls(int durationMs) {
  if (View) View->ShowTrayControls(durationMs);
}

void TPlaybackController::SeekTo(int32_t ms) {
  ms = std::max(ms, 0);
  const int32_t engineDuration = Graph.DurationMs();
  if (engineDuration > 0) {
    // Positions are the media's own from here on, whatever the tags claimed.
    Duration = ProgressMaxValue = engineDuration;
    SeekBar.SetMax(ProgressMaxValue);
    SeekBar.SetPosition(ms);
    SeekBar.Seek();
  }
  Position = ms;
  if (engineDuration > 0) {
    PositionOffset = 0;
  } else {
    // A picture has no length: its shown time continues from the requested position.
    int32_t engineMs = 0;
    if (Graph.QueryPositionMs(engineMs)) PositionOffset = engineMs - ms;
  }
  ProgressPositionValue = ms;
  ShowTrayControls(3000);
  Changed();
  if (Listener) Listener->Seeked(ms);
}

void TPlaybackController::SeekBy(int32_t seconds) {
  SeekTo(Position + seconds * 1000);
  UpdateNowPlayingDisplay(false);
}

void TPlaybackController::StartSeek(bool forward, bool immediate) {
  if (Graph.DurationMs() <= 0) return;
  const int64_t now = Runtime.MonotonicMs();
  if (SeekTimer->Enabled()) {
    LastKeyTime = now;  // a key repeat
    return;
  }
  SeekTimer->SetEnabled(true);
  SeekDirection = forward ? 2 : 1;
  SeekImmediate = immediate;
  if (immediate) SeekBy(forward ? 30 : -6);
  LastKeyTime = now;
  PressTime = LastSeekTime = now;
}

void TPlaybackController::StopSeek() { SeekTimer->SetEnabled(false); }

bool TPlaybackController::SeekStepMadeDuringPress() const {
  return SeekTimer->Enabled() && LastSeekTime > PressTime;
}

void TPlaybackController::SeekTimerTimer() {
  const int64_t now = Runtime.MonotonicMs();
  if (now - PressTime <= 1000) return;
  if (SeekImmediate && LastKeyTime <= PressTime) {
    StopSeek();
    return;
  }
  if (now - LastSeekTime <= 250) return;
  if (SeekImmediate && LastKeyTime <= LastSeekTime) {
    StopSeek();
    return;
  }
  LastSeekTime = now;
  SeekBy(SeekDirection == 2 ? 30 : -30);
}

void TPlaybackController::NextButtonClick() { Playlist.NextActionExecute(); }

void TPlaybackController::PreviousButtonClick() { Playlist.PreviousActionExecute(); }

void TPlaybackController::ProgressBarMouseDown(int x, int width) {
  if (!PausedOrPlaying()) return;
  DraggingFlag = true;
  ProgressBarMouseMove(x, width);
}

void TPlaybackController::ProgressBarMouseMove(int x, int width) {
  if (!DraggingFlag || ProgressMaxValue <= 0 || width <= 0) return;
  const int32_t position = RoundEven(double(ProgressMaxValue) * x / width);
  ProgressPositionValue = std::clamp(position, 0, ProgressMaxValue);
  SetTimeLabel(ProgressPositionValue, Duration);
  Changed();
}

void TPlaybackController::ProgressBarMouseUp() {
  if (!DraggingFlag) return;
  DraggingFlag = false;
  SeekTo(ProgressPositionValue);
}

void TPlaybackController::ProgressBarCancelDrag() {
  if (!DraggingFlag) return;
  DraggingFlag = false;
  ProgressPositionValue = Position;
  UpdateNowPlayingDisplay(false);
}

void TPlaybackController::VolumeTrackBarChange(int32_t position) {
  VolumePosition = std::clamp(position, 0, 10000);
  Settings.Volume = VolumePosition;
  Graph.SetVolume(Settings.VolumeMuted ? 0 : VolumePosition);
  Changed();
  NotifyState(false, false, true);
}

void TPlaybackController::MuteUnmuteActionExecute() {
  Settings.VolumeMuted = !Settings.VolumeMuted;
  VolumeTrackBarChange(VolumePosition);
}

void TPlaybackController::SetTimeLabel(int32_t positionMs, int32_t durationMs) {
  Time = FormatPlayTime(positionMs) + " / " + FormatPlayTime(durationMs);
}

void TPlaybackController::Changed() {
  if (View) View->NowPlayingChanged();
}

void TPlaybackController::NotifyState(bool sendState, bool sendTrackInfo, bool sendVolume) {
  if (Listener) Listener->NotifyState(sendState, sendTrackInfo, sendVolume);
}

}  // namespace tunevale
