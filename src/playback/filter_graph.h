// The media engine port: one playback graph with open, run, pause, stop, seek,
// volume and event delivery. The GStreamer engine (gst_filter_graph.h) implements
// it; tests use a fake. No media-framework type appears here.
//
// Threading: every operation and every event runs on the main thread. An engine
// may decode on threads of its own but delivers its events only from the main
// loop, so handlers never run concurrently with other handlers. Handlers may
// call back into the graph (re-entrancy is allowed, as the controller does).
#pragma once

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "playback/capture_device.h"

namespace tunevale {

// The kind of graph to build. Streams and capture need gmCapture, discs gmDVD.
enum TGraphMode : int32_t {
  gmNormal = 0,   // file playback
  gmCapture = 1,  // stream sources and capture devices
  gmDVD = 2,      // a disc
};

// The state query's answer.
enum TGraphState : int32_t {
  gsNone = 0,     // no graph, or the state cannot be told
  gsStopped = 1,  // a graph exists and does not run (also when nothing is loaded)
  gsPaused = 2,   // prerolled: the first picture is shown, time does not pass
  gsRunning = 3,  // playing
};

// Codes of failed media operations (signed 32-bit, the values the player's error
// table understands and that saved play results keep).
inline constexpr int32_t GraphCode(uint32_t code) { return static_cast<int32_t>(code); }
inline constexpr int32_t kErrUnknown = GraphCode(0x80004005);
inline constexpr int32_t kErrFileNotFound = GraphCode(0x80070002);
inline constexpr int32_t kErrPathNotFound = GraphCode(0x80070003);
inline constexpr int32_t kErrAccessDenied = GraphCode(0x80070005);
inline constexpr int32_t kErrNoDisc = GraphCode(0x80070015);
inline constexpr int32_t kErrHostNotFound = GraphCode(0x80070035);
inline constexpr int32_t kErrCannotConnect = GraphCode(0x800C0004);
inline constexpr int32_t kErrUrlNotFound = GraphCode(0x800C0005);
inline constexpr int32_t kErrUnknownFormat = GraphCode(0x80040265);
inline constexpr int32_t kErrNoDecoder = GraphCode(0x80040255);
inline constexpr int32_t kErrCorrupted = GraphCode(0x80040248);
inline constexpr int32_t kErrNoAudioOutput = GraphCode(0x80040256);
inline constexpr int32_t kErrNoDvdBuilder = GraphCode(0x8004027A);

// Raised by every engine operation that fails. Message: the engine's own text
// followed by " ($<code in hex>)." so a user report carries the code.
class EDirectShowException : public std::runtime_error {
 public:
  EDirectShowException(int32_t errorCode, const std::string& engineText);
  int32_t ErrorCode;
};

// Event codes passed to OnDSEvent (the first parameter of each is listed).
enum TGraphEvent : int32_t {
  ecComplete = 0x01,          // end of the media; param1 = 0
  ecErrorAbort = 0x03,        // playback failed after the open; param1 = error code
  ecVideoSizeChanged = 0x0A,  // param1 = width | height << 16
  ecBufferingData = 0x11,     // param1 = 1 while buffering, 0 when done; param2 = percent
  ecLengthChanged = 0x1F,     // the duration became known or changed
  ecStateChange = 0x32,       // param1 = the new TGraphState
  ecTrackSwitched = 0x8001,   // the queued medium follows (see QueueNext)
};

// What a graph tells its companions when it changes, in attach order.
enum TGraphNotification : int32_t {
  gnRun = 0,
  gnPause = 1,
  gnStop = 2,
  gnBeforeRenderFile = 3,
  gnAfterRenderFile = 4,    // only on success
  gnBeforeRenderDVD = 5,    // param = DVD flags
  gnAfterRenderDVD = 6,     // only on success; param = DVD flags
  gnActiveChanged = 7,      // param 1 = graph created, 0 = released
};

// A companion attached to a graph (the seek bar, a video surface).
class TGraphUser {
 public:
  virtual ~TGraphUser() = default;
  virtual void GraphNotify(TGraphNotification code, int32_t param) = 0;
};

// The engine. Public operations are fixed here (companion notifications, volume
// bookkeeping, event order); engines implement the protected Do* steps.
class TFilterGraph {
 public:
  virtual ~TFilterGraph() = default;

  TGraphMode Mode() const { return GraphMode; }
  // Stored only: callers deactivate first and reactivate after a change.
  void SetMode(TGraphMode mode) { GraphMode = mode; }
  bool Active() const { return IsActive; }
  // True creates the graph for Mode(), false releases it. Creation failures raise.
  void SetActive(bool active);

  // Stops and unloads the media; the graph itself (and its sinks) stays.
  void ClearGraph();
  // Each returns true; a failure raises EDirectShowException.
  bool Play();
  bool Pause();
  bool Stop();
  // Never raises.
  virtual TGraphState State() const = 0;

  // Builds the graph for a local path or an address and prerolls it (paused, first
  // picture ready) before returning. Returns 0; a failure raises with its code.
  int32_t RenderFile(const std::string& fileName);
  // Like RenderFile, for a picture shown as a still frame with no length of its own:
  // time passes while it runs and the caller decides when it ends.
  int32_t RenderPicture(const std::string& fileName);
  // An internet stream: buffering is handled (the graph holds in pause while it
  // refills, see Buffering()), and a stream has no duration and cannot seek.
  int32_t RenderStream(const std::string& url);
  // A disc from a device or folder (empty = the default drive). Returns the code
  // instead of raising: 0 on success, kErrNoDvdBuilder when discs cannot be played.
  int32_t RenderDVD(const std::string& path, int32_t flags);

  // The video capture devices present now, in the engine's order.
  virtual std::vector<TCaptureDevice> VideoInputDevices() = 0;
  // Builds the graph for a device of VideoInputDevices (in gmCapture) and starts
  // it: a live source shows nothing and tells nothing of its picture until it
  // runs. Returns 0 once it runs; a device that cannot start (in use, gone)
  // raises within a bounded time.
  int32_t RenderDevice(const TCaptureDevice& device);

  // One frame forward while paused; false when nothing can step.
  virtual bool StepFrame() = 0;
  // True while a video output is connected to the medium (a video is open).
  virtual bool VideoConnected() const = 0;

  // 0 when the length is unknown (streams, pictures, nothing loaded).
  int32_t DurationMs() const;
  // False when the graph cannot tell (no media, a stream's length). A picture
  // answers 0: it has no length, yet its time runs and can be polled.
  virtual bool QueryDurationMs(int32_t& durationMs) const = 0;
  virtual bool QueryPositionMs(int32_t& positionMs) const = 0;
  // Where playback stops when left alone: the duration unless a stop was set.
  virtual bool QueryStopPositionMs(int32_t& stopMs) const = 0;
  // Absolute seek, leaving the stop position as it is. False when not seekable.
  virtual bool SetPositionMs(int32_t positionMs) = 0;
  // True while a stream refills its buffer with playback held.
  virtual bool Buffering() const = 0;

  // Gapless playback, where the engine can: when the medium now loaded ends by
  // itself, `location` (a local file) follows without a gap and OnGraphTrackSwitched
  // is told instead of OnGraphComplete. Empty withdraws it. False when the engine
  // cannot, or has taken the follower already (near the end): it then plays that
  // one whatever is asked, and the caller judges at the switch. An unload forgets it.
  bool QueueNext(const std::string& location);
  // The engine has taken the follower: it plays that one whatever is asked now.
  virtual bool NextTaken() const { return false; }

  // 0 to 10000, clamped and remembered, applied to any graph now or later.
  int32_t Volume() const { return VolumeLevel; }
  void SetVolume(int32_t volume);
  // True: a logarithmic scale (the user's 0..10000 sounds even); false: linear.
  bool LinearVolume() const { return UseLinearVolume; }
  void SetLinearVolume(bool linear);

  // Companions are told in attach order. The graph does not own them; one that
  // outlives the graph must detach first (TDSTrackBar::SetFilterGraph(nullptr)).
  void AttachUser(TGraphUser* user);
  void DetachUser(TGraphUser* user);

  // Any event, before the specific handler: (code, param1, param2).
  std::function<void(int32_t eventCode, intptr_t param1, intptr_t param2)> OnDSEvent;
  // The media ended. resultCode 0 is a normal end.
  std::function<void(int32_t resultCode)> OnGraphComplete;
  std::function<void(int32_t width, int32_t height)> OnGraphVideoSizeChanged;
  // The queued `location` plays now, from its start; the medium before it ended.
  std::function<void(const std::string& location)> OnGraphTrackSwitched;

 protected:
  virtual void DoSetActive(bool active) = 0;
  virtual void DoClearGraph() = 0;
  virtual void DoPlay() = 0;
  virtual void DoPause() = 0;
  virtual void DoStop() = 0;
  enum class TSourceKind { File, Picture, Stream, Device };
  virtual void DoRender(const std::string& location, TSourceKind kind) = 0;
  virtual int32_t DoRenderDVD(const std::string& path, int32_t flags) = 0;
  virtual void DoRenderDevice(const TCaptureDevice& device) = 0;
  // gain: the linear amplitude factor for the current volume (0 to 1).
  virtual void DoApplyVolume(double gain) = 0;
  // Engines that play one medium after another without a gap override this.
  virtual bool DoQueueNext(const std::string& location) {
    (void)location;
    return false;
  }

  // Engines call this, on the main thread, for each event they deliver.
  void FireEvent(int32_t eventCode, intptr_t param1, intptr_t param2);
  void FireTrackSwitched(const std::string& location);
  void NotifyUsers(TGraphNotification code, int32_t param);
  void ApplyVolume();

 private:
  int32_t RenderAs(const std::string& location, TSourceKind kind);
  // The bracket of every render: active check, companions told, volume re-applied.
  template <class F>
  int32_t Rendering(F&& render);

  TGraphMode GraphMode = gmNormal;
  bool IsActive = false;
  int32_t VolumeLevel = 10000;
  bool UseLinearVolume = true;
  std::vector<TGraphUser*> Users;
};

}  // namespace tunevale
