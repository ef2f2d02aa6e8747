// The media engine on GStreamer's playbin.
//
// Threads: playbin decodes on threads of its own. Those threads touch nothing of
// ours but two atomics (the generation stamp and the window handle, see TShared);
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
#pragma once

#include <gst/gst.h>

#include <atomic>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
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
  // is activated. Empty: sound through autoaudiosink, pictures through playbin's choice.
  void SetAudioSink(const std::string& description) { AudioSinkDescription = description; }
  void SetVideoSink(const std::string& description) { VideoSinkDescription = description; }
  // The native window the picture is drawn into (an X11 window id); 0 lets the sink
  // open its own. Applied now and to every later video output.
  void SetWindowHandle(uintptr_t handle);
  // How long an open may take to preroll before it fails (a silent server).
  void SetPrerollTimeoutMs(int timeoutMs) { PrerollTimeoutMs = timeoutMs; }

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

 protected:
  void DoSetActive(bool active) override;
  void DoClearGraph() override;
  void DoPlay() override;
  void DoPause() override;
  void DoStop() override;
  void DoRender(const std::string& location, TSourceKind kind) override;
  int32_t DoRenderDVD(const std::string& path, int32_t flags) override;
  void DoApplyVolume(double gain) override;

 private:
  // Shared with GStreamer's threads (see the top of this file).
  struct TShared {
    std::atomic<unsigned> Generation{1};
    std::atomic<uintptr_t> WindowHandle{0};
  };

  void CreatePipeline();
  void DestroyPipeline();
  // Brings the pipeline down and makes every message still queued stale.
  void Unload();
  // Prerolls `uri`; raises with the mapped code on failure.
  void Open(const std::string& uri, bool networkSource, bool discSource);
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
  int PrerollTimeoutMs = 20000;
  std::unique_ptr<TShared> Shared = std::make_unique<TShared>();

  GstElement* Pipeline = nullptr;
  GstElement* AudioSink = nullptr;  // owned by the pipeline
  GstBus* Bus = nullptr;
  guint BusWatchId = 0;
  // Messages an open took from the bus while waiting for preroll, in bus order;
  // they are handled before any later message.
  std::deque<GstMessage*> Deferred;
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
