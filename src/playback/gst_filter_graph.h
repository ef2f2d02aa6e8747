// The media engine on GStreamer's playbin.
//
// Threads: playbin decodes on threads of its own. Those threads touch nothing of
// ours but two atomics (the generation stamp and the window handle, see TShared)
// and the record of a bounded call (see below), under its lock;
// every bus message reaches the main thread and enters through Dispatch(), the one
// place where GStreamer messages become our events. Two ways deliver them:
//  - a bus watch on the default GLib main context, which the Qt event loop on Linux
//    runs, so the application needs nothing more (and the runtime's
//    ProcessPendingMessages delivers them too);
//  - ProcessBusMessages(), for programs without a GLib loop (tests, benchmarks).
// Each message is stamped, on the thread that posts it, with the generation of the
// media it belongs to; a message of an earlier medium is dropped.
//
// Re-entrancy: handlers run inside Dispatch() and may call any operation, including
// a new RenderFile that replaces the medium whose message is being handled.
//
// Bounded waits: every state change and seek runs on a GStreamer thread while the
// main thread waits for it at most a time-out, so an element stuck in its state
// change (a sink that cannot open its output) fails the operation instead of
// freezing the player. Such a pipeline is left to that thread, which brings it
// down if it ever returns, and a new one takes its place. While an open waits, the
// pump (SetPendingMessagesPump) lets the main loop run: a call made from there that
// clears or replaces the medium ends the open quietly with nothing loaded.
//
// Gapless: QueueNext prepares the follower's URI on the main thread; playbin's
// "about-to-finish" (on a streaming thread) only takes it, under the lock of
// TShared, and posts a message. The next stream start on the bus after that
// message, once the position shows the follower heard, is the switch. Once
// playbin took a follower it has let go of the current medium's source, so a
// seek or a follower that fails opens the medium again.
#pragma once

#include <gst/gst.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "playback/filter_graph.h"

namespace tunevale {

// Every Mode() builds the same playbin: it reads files, server streams and discs
// alike, so the mode only tells which open the caller will make.
class GstFilterGraph : public TFilterGraph {
 public:
  // Initialises GStreamer when nobody has yet.
  GstFilterGraph();
  ~GstFilterGraph() override;
  GstFilterGraph(const GstFilterGraph&) = delete;
  GstFilterGraph& operator=(const GstFilterGraph&) = delete;

  // Outputs, as gst-launch descriptions ("fakesink sync=true"); taken when the graph
  // is activated. Empty: sound through autoaudiosink, pictures as SetVideoPlatform says.
  void SetAudioSink(const std::string& description) { AudioSinkDescription = description; }
  void SetVideoSink(const std::string& description) { VideoSinkDescription = description; }
  // The Qt platform of the window pictures are drawn into, and whether the overlay
  // sink is preferred (asked whenever a graph is created); see ChooseVideoSink.
  // Without it pictures are dropped: GStreamer never picks a sink of its own.
  void SetVideoPlatform(std::string qtPlatform, std::function<bool()> preferOverlay);
  // Runs the main loop's pending messages while an open waits for its media.
  void SetPendingMessagesPump(std::function<void()> pump) { PumpMessages = std::move(pump); }
  // The native window the picture is drawn into (an X11 window id); 0 lets the sink
  // open its own. Applied now and to every later video output.
  void SetWindowHandle(uintptr_t handle);
  // How long an open may take to preroll before it fails (a silent server, a stuck sink).
  void SetPrerollTimeoutMs(int timeoutMs) { PrerollTimeoutMs = timeoutMs; }
  // The bound of every other state change and seek.
  void SetStateTimeoutMs(int timeoutMs) { StateTimeoutMs = timeoutMs; }

  // The playbin while the graph is active (video surface wiring, tests), else nullptr.
  GstElement* Playbin() const { return Pipeline; }

  // Receives what an event handler threw while the main loop's bus watch delivered
  // the event (it cannot travel through the loop); ProcessBusMessages lets it pass.
  std::function<void(std::exception_ptr)> OnHandlerError;

  // Dispatches the bus messages waiting now. With waitMs > 0, first waits up to
  // that long for one to arrive. Returns how many were taken from the bus.
  int ProcessBusMessages(int waitMs = 0);

  TGraphState State() const override;
  bool QueryDurationMs(int32_t& durationMs) const override;
  bool QueryPositionMs(int32_t& positionMs) const override;
  bool QueryStopPositionMs(int32_t& stopMs) const override;
  bool SetPositionMs(int32_t positionMs) override;
  bool Buffering() const override { return BufferingNow; }
  bool NextTaken() const override;
  std::vector<TCaptureDevice> VideoInputDevices() override;
  // Sends a one-frame step to the video output and waits (bounded) until it is shown.
  bool StepFrame() override;
  bool VideoConnected() const override;
  // The video output's element name (chosen at each open), empty before the first.
  const std::string& VideoSinkName() const { return ChosenVideoSink; }

 protected:
  void DoSetActive(bool active) override;
  void DoClearGraph() override;
  void DoPlay() override;
  void DoPause() override;
  void DoStop() override;
  void DoRender(const std::string& location, TSourceKind kind) override;
  int32_t DoRenderDVD(const std::string& path, int32_t flags) override;
  void DoRenderDevice(const TCaptureDevice& device) override;
  void DoApplyVolume(double gain) override;
  bool DoQueueNext(const std::string& location) override;

 private:
  // Shared with GStreamer's threads (see the top of this file).
  struct TShared {
    std::atomic<unsigned> Generation{1};
    std::atomic<uintptr_t> WindowHandle{0};
    std::mutex FollowerLock;
    std::string FollowerUri;       // prepared by QueueNext; empty: none
    std::string FollowerLocation;  // as the caller named it
    bool FollowerTaken = false;    // playbin has it: kept until the switch
    // The device an open hands to playbin's source (read on the thread that opens).
    std::mutex DeviceLock;
    std::shared_ptr<void> Device;
  };

  struct TBoundedCall;
  using TElementWork = int (*)(GstElement* element, int argument);

  void CreatePipeline();
  void DestroyPipeline();
  // Lets go of the pipeline and its bus; `unref`: our reference too.
  void ReleasePipeline(bool unref);
  // Runs `work` on `element` on a GStreamer thread and waits at most `timeoutMs`
  // for its result, pumping when asked. Nothing when it did not return in time:
  // our reference of `element` then belongs to that thread. Nothing too when a
  // pumped call cleared the medium (Generation moved on); the element stays ours.
  std::optional<int> RunBounded(GstElement* element, TElementWork work, int argument, int timeoutMs,
                                bool pump);
  // A state change bounded by StateTimeoutMs; one that does not return in time
  // abandons the pipeline and fails.
  GstStateChangeReturn ChangeState(GstState state);
  // Forgets the pipeline left to the thread stuck in it; the next open makes a new one.
  void AbandonPipeline();
  // Forgets the medium: every message still queued becomes stale.
  void ForgetMedium();
  // Whether a sink opens here (reaches READY in time).
  bool SinkOpens(const std::string& element);
  std::string VideoSinkToUse();
  // Picks the video output for the coming open (the overlay preference may have changed).
  void ChooseVideoOutput();
  static void SourceSetup(GstElement* playbin, GstElement* source, gpointer data);
  static void RunCall(GstElement* element, gpointer data);
  // Brings the pipeline down and makes every message still queued stale.
  void Unload();
  // Prerolls `uri` (a live source: runs it until its first picture); raises with
  // the mapped code on failure.
  void Open(const std::string& uri, bool networkSource, bool discSource, bool liveSource = false);
  // The URI of a path or address, checking a local file can be read; raises.
  static std::string LocationUri(const std::string& location, bool& network);
  // The follower playbin took for the loaded medium, if it did.
  bool TakenFollower(std::string& location);
  // The loaded medium opened anew at `positionMs`, in the state it was in.
  void Reopen(int32_t positionMs);
  bool Seek(int32_t positionMs);
  // The position the sink reports, also while the follower is awaited.
  bool PlayedMs(int32_t& positionMs) const;
  // The follower's stream start reached the sink before the sound buffered ahead
  // of it has played: the switch is announced once the position shows it heard.
  void AwaitFollowerSound();
  void CheckFollowerSound();
  void StopFollowerClock();
  void SwitchToFollower();
  void FollowerFailed();
  static void OnAboutToFinish(GstElement* playbin, gpointer data);
  // The open's next bus message until `deadlineMs`; nullptr when none came in time.
  GstMessage* NextOpenMessage(int64_t deadlineMs, unsigned generation);
  // The one entry of bus messages: first what an open set aside, then `message`.
  void Dispatch(GstMessage* message);
  void Handle(GstMessage* message);
  void DrainDeferred();
  void HandleBuffering(int percent);
  void CheckVideoSize();
  void WatchVideoPad();
  void UnwatchVideoPad();
  bool IsStale(GstMessage* message) const;
  // Notes what an open learns from messages that are not errors.
  void NoteFacts(GstMessage* message);
  int32_t ErrorCode(GstMessage* error);
  [[noreturn]] void RaiseFromError(GstMessage* error);

  static GstBusSyncReply SyncHandler(GstBus* bus, GstMessage* message, gpointer data);
  static gboolean BusWatch(GstBus* bus, GstMessage* message, gpointer data);

  std::string AudioSinkDescription;
  std::string VideoSinkDescription;
  std::string ChosenVideoSink;
  bool ChosenForOverlay = false;
  std::string VideoPlatform;
  std::function<bool()> PreferOverlay;
  std::function<void()> PumpMessages;
  int PrerollTimeoutMs = 20000;
  int StateTimeoutMs = 5000;
  // Also held by the "about-to-finish" handler while it is connected.
  std::shared_ptr<TShared> Shared = std::make_shared<TShared>();

  GstElement* Pipeline = nullptr;
  GstElement* Courier = nullptr;    // see RunBounded
  GstElement* AudioSink = nullptr;  // owned by the pipeline
  GstBus* Bus = nullptr;
  guint BusWatchId = 0;
  gulong AboutToFinishId = 0;
  bool FollowerPosted = false;         // the message that playbin took the follower was handled
  GstClockID FollowerClock = nullptr;  // ticks while the follower is awaited (see AwaitFollowerSound)
  mutable int32_t PlayedHighMs = 0;    // the furthest position read of the medium sounding
  int FollowerChecks = 0;
  // Messages an open took from the bus while waiting for preroll, in bus order;
  // they are handled before any later message.
  std::deque<GstMessage*> Deferred;
  // While an open waits and pumps, the bus watch leaves the messages here for it.
  bool OpenWaiting = false;
  std::deque<GstMessage*> OpenInbox;
  GstPad* VideoPad = nullptr;
  gulong VideoCapsHandler = 0;

  bool Loaded = false;
  TSourceKind Kind = TSourceKind::File;
  bool DiscLoaded = false;
  bool NetworkLoaded = false;
  bool MissingMediaDecoder = false;
  int HttpStatusSeen = -1;  // -1: no server answered or was asked
  std::string LoadedUri;
  GstState TargetState = GST_STATE_NULL;
  bool BufferingNow = false;
  int32_t VideoWidth = 0;
  int32_t VideoHeight = 0;
};

}  // namespace tunevale
