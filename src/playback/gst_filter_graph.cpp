#include "playback/gst_filter_graph.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gst/video/video.h>
#include <gst/video/videooverlay.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <limits>
#include <mutex>
#include <utility>
#include <vector>

#include "playback/gst_device_source.h"
#include "playback/gst_error_map.h"
#include "playback/video_sink_choice.h"

namespace tunevale {

namespace {

constexpr const char* kVideoCapsMessage = "tunevale-video-caps";
// Wakes the main loop after an open so the messages it set aside are handled.
constexpr const char* kWakeMessage = "tunevale-wake";
// playbin took the queued follower (posted from its streaming thread).
constexpr const char* kFollowerTakenMessage = "tunevale-follower-taken";
// Asks the main loop to look whether the follower is heard yet (posted by the clock).
constexpr const char* kFollowerCheckMessage = "tunevale-follower-check";
constexpr GstClockTime kFollowerCheckEvery = 10 * GST_MSECOND;
// Checks after which the follower is announced even if the position never showed it.
constexpr int kMaxFollowerChecks = 200;
// The most messages one ProcessBusMessages call handles; the rest wait for the next.
constexpr int kMaxMessagesPerCall = 256;
// How often a waiting open lets the main loop run.
constexpr int64_t kPumpEveryMs = 20;

GQuark GenerationQuark() {
  static const GQuark quark = g_quark_from_static_string("tunevale-generation");
  return quark;
}

int64_t NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int32_t ToMs(gint64 nanoseconds) {
  const gint64 ms = nanoseconds / GST_MSECOND;
  return static_cast<int32_t>(std::clamp<gint64>(ms, 0, std::numeric_limits<int32_t>::max()));
}

// Refuses a local file GStreamer could not read anyway, with the precise reason.
void CheckReadable(const std::string& path) {
  // Non-blocking: a named pipe without a writer must not freeze the player here.
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    const int error = errno;
    throw EDirectShowException(MapOpenErrno(error), std::strerror(error));
  }
  struct stat info {};
  const bool statted = fstat(fd, &info) == 0;
  close(fd);
  // GStreamer would open a pipe or a device again, blocking, on this thread.
  if (statted && !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode))
    throw EDirectShowException(kErrUnknownFormat, "Not a regular file");
}

GstElement* MakeSink(const std::string& description, int32_t failureCode) {
  GError* error = nullptr;
  GstElement* sink = gst_parse_bin_from_description(description.c_str(), TRUE, &error);
  if (!sink) {
    const std::string text = error ? error->message : "Cannot create " + description;
    if (error) g_error_free(error);
    throw EDirectShowException(failureCode, text);
  }
  return sink;
}

TGraphState ToGraphState(GstState state) {
  switch (state) {
    case GST_STATE_PLAYING:
      return gsRunning;
    case GST_STATE_PAUSED:
      return gsPaused;
    default:
      return gsStopped;
  }
}

// Runs on a streaming thread: only posts a message; the main loop reads the caps.
void OnVideoCapsChanged(GObject*, GParamSpec*, gpointer pipeline) {
  GstElement* element = GST_ELEMENT(pipeline);
  gst_element_post_message(
      element, gst_message_new_application(GST_OBJECT(element), gst_structure_new_empty(kVideoCapsMessage)));
}

// Runs on the clock's thread: only posts a message to the bus.
gboolean OnFollowerClock(GstClock*, GstClockTime, GstClockID, gpointer bus) {
  gst_bus_post(GST_BUS(bus),
               gst_message_new_application(nullptr, gst_structure_new_empty(kFollowerCheckMessage)));
  return TRUE;
}

// Drops the messages it holds unless they were handed on.
struct TMessageList {
  std::vector<GstMessage*> Items;
  ~TMessageList() {
    for (GstMessage* m : Items) gst_message_unref(m);
  }
};

// We size the video window to the picture's aspect ourselves (and stretch on request).
void DrawToTheWholeWindow(GstElement* sink) {
  const auto set = [](GstElement* element) {
    if (g_object_class_find_property(G_OBJECT_GET_CLASS(element), "force-aspect-ratio"))
      g_object_set(element, "force-aspect-ratio", FALSE, nullptr);
  };
  set(sink);
  if (!GST_IS_BIN(sink)) return;
  GstIterator* it = gst_bin_iterate_recurse(GST_BIN(sink));
  GValue item = G_VALUE_INIT;
  while (gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
    set(GST_ELEMENT(g_value_get_object(&item)));
    g_value_reset(&item);
  }
  g_value_unset(&item);
  gst_iterator_free(it);
}

int SetStateWork(GstElement* element, int state) {
  return gst_element_set_state(element, static_cast<GstState>(state));
}

int SeekWork(GstElement* element, int positionMs) {
  const gint64 target = static_cast<gint64>(std::max(positionMs, 0)) * GST_MSECOND;
  return gst_element_seek_simple(element, GST_FORMAT_TIME,
                                 static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
                                 target);
}

}  // namespace

// Shared by the main thread and the GStreamer thread that makes the call. The
// element stays the main thread's unless it gives up waiting (Abandoned): then
// the call brings it down and drops it when the work returns. So the last
// reference of an element goes on the main thread whenever the work returned
// in time (its teardown must not race with the program's exit).
struct GstFilterGraph::TBoundedCall {
  GstElement* Element = nullptr;
  TElementWork Work = nullptr;
  int Argument = 0;
  std::mutex Lock;
  std::condition_variable Finished;
  bool Done = false;
  bool Abandoned = false;
  int Result = 0;
};

// GStreamer starts with the first pipeline, not with the program: reading
// its plugin registry would hold up the window at start-up.
GstFilterGraph::GstFilterGraph() = default;

GstFilterGraph::~GstFilterGraph() {
  DestroyPipeline();
  if (Courier) gst_object_unref(Courier);
}

// ---- GStreamer threads ----

GstBusSyncReply GstFilterGraph::SyncHandler(GstBus*, GstMessage* message, gpointer data) {
  auto* shared = static_cast<TShared*>(data);
  gst_mini_object_set_qdata(GST_MINI_OBJECT_CAST(message), GenerationQuark(),
                            GUINT_TO_POINTER(shared->Generation.load()), nullptr);
  // The sink asks for its window now, on its own thread; answering later is too late.
  if (gst_is_video_overlay_prepare_window_handle_message(message)) {
    const uintptr_t handle = shared->WindowHandle.load();
    if (handle) gst_video_overlay_set_window_handle(GST_VIDEO_OVERLAY(GST_MESSAGE_SRC(message)), handle);
  }
  return GST_BUS_PASS;
}

void GstFilterGraph::OnAboutToFinish(GstElement* playbin, gpointer data) {
  TShared& shared = **static_cast<std::shared_ptr<TShared>*>(data);
  {
    const std::lock_guard lock(shared.FollowerLock);
    if (shared.FollowerUri.empty() || shared.FollowerTaken) return;
    g_object_set(playbin, "uri", shared.FollowerUri.c_str(), nullptr);
    shared.FollowerTaken = true;
  }
  gst_element_post_message(playbin, gst_message_new_application(
                                        GST_OBJECT(playbin), gst_structure_new_empty(kFollowerTakenMessage)));
}

void GstFilterGraph::RunCall(GstElement*, gpointer data) {
  const std::shared_ptr<TBoundedCall> call = *static_cast<std::shared_ptr<TBoundedCall>*>(data);
  const int result = call->Work(call->Element, call->Argument);
  bool abandoned = false;
  {
    const std::lock_guard lock(call->Lock);
    call->Result = result;
    call->Done = true;
    abandoned = call->Abandoned;
  }
  call->Finished.notify_all();
  if (abandoned) {
    gst_element_set_state(call->Element, GST_STATE_NULL);
    gst_object_unref(call->Element);
  }
}

// ---- main thread ----

gboolean GstFilterGraph::BusWatch(GstBus*, GstMessage* message, gpointer data) {
  auto* self = static_cast<GstFilterGraph*>(data);
  // An open waiting for its media reads the bus itself.
  if (self->OpenWaiting) {
    self->OpenInbox.push_back(gst_message_ref(message));
    return TRUE;
  }
  // An exception must not unwind through GLib's C frames.
  try {
    self->Dispatch(message);
  } catch (...) {
    if (self->OnHandlerError) {
      self->OnHandlerError(std::current_exception());
    } else {
      g_warning("Unhandled error in a media event handler");
    }
  }
  return TRUE;
}

void GstFilterGraph::CreatePipeline() {
  if (!gst_is_initialized()) gst_init(nullptr, nullptr);
  Pipeline = gst_element_factory_make("playbin", "tunevale-graph");
  if (!Pipeline) throw EDirectShowException(kErrUnknown, "The GStreamer element playbin is not installed");
  gst_object_ref_sink(Pipeline);
  try {
    AudioSink = MakeSink(AudioSinkDescription.empty() ? "autoaudiosink" : AudioSinkDescription, kErrNoAudioOutput);
    g_object_set(Pipeline, "audio-sink", AudioSink, nullptr);
    ChosenVideoSink.clear();
    ChooseVideoOutput();
  } catch (...) {
    gst_object_unref(Pipeline);
    Pipeline = nullptr;
    AudioSink = nullptr;
    throw;
  }
  RegisterDeviceSource();
  g_signal_connect(Pipeline, "source-setup", G_CALLBACK(SourceSetup), Shared.get());
  Bus = gst_element_get_bus(Pipeline);
  gst_bus_set_sync_handler(Bus, SyncHandler, Shared.get(), nullptr);
  // A handler still running when the pipeline is released keeps the shared state alive.
  AboutToFinishId = g_signal_connect_data(
      Pipeline, "about-to-finish", G_CALLBACK(OnAboutToFinish), new std::shared_ptr<TShared>(Shared),
      [](gpointer data, GClosure*) { delete static_cast<std::shared_ptr<TShared>*>(data); },
      GConnectFlags(0));
  // The watch may recurse: a handler that opens the next medium lets the loop run
  // (pending messages) and must see that medium's events right there.
  GSource* watch = gst_bus_create_watch(Bus);
  g_source_set_callback(watch, G_SOURCE_FUNC(BusWatch), this, nullptr);
  g_source_set_can_recurse(watch, TRUE);
  BusWatchId = g_source_attach(watch, nullptr);
  g_source_unref(watch);
}

void GstFilterGraph::DestroyPipeline() {
  Unload();
  if (Pipeline) ReleasePipeline(true);
}

void GstFilterGraph::ReleasePipeline(bool unref) {
  if (BusWatchId) g_source_remove(BusWatchId);
  BusWatchId = 0;
  gst_bus_set_sync_handler(Bus, nullptr, nullptr, nullptr);
  g_signal_handler_disconnect(Pipeline, AboutToFinishId);
  AboutToFinishId = 0;
  g_signal_handlers_disconnect_by_data(Pipeline, Shared.get());
  gst_object_unref(Bus);
  Bus = nullptr;
  if (unref) gst_object_unref(Pipeline);
  Pipeline = nullptr;
  AudioSink = nullptr;
}

std::string GstFilterGraph::VideoSinkToUse() {
  if (!VideoSinkDescription.empty()) return VideoSinkDescription;
  return ChooseVideoSink(VideoPlatform, PreferOverlay && PreferOverlay(),
                         [this](const std::string& element) { return SinkOpens(element); });
}

void GstFilterGraph::ChooseVideoOutput() {
  const bool overlay = PreferOverlay && PreferOverlay();
  if (!ChosenVideoSink.empty() && ChosenForOverlay == overlay) return;
  const std::string description = VideoSinkToUse();
  ChosenForOverlay = overlay;
  if (description == ChosenVideoSink) return;
  GstElement* sink = MakeSink(description, kErrUnknown);
  DrawToTheWholeWindow(sink);
  g_object_set(Pipeline, "video-sink", sink, nullptr);
  ChosenVideoSink = description;
}

void GstFilterGraph::SourceSetup(GstElement*, GstElement* source, gpointer data) {
  if (!IsDeviceSource(source)) return;
  auto* shared = static_cast<TShared*>(data);
  std::shared_ptr<void> device;
  {
    const std::lock_guard lock(shared->DeviceLock);
    device = shared->Device;
  }
  SetDeviceSourceDevice(source, static_cast<GstDevice*>(device.get()));
}

bool GstFilterGraph::SinkOpens(const std::string& element) {
  GstElement* sink = gst_element_factory_make(element.c_str(), nullptr);
  if (!sink) return false;
  gst_object_ref_sink(sink);
  const std::optional<int> ready = RunBounded(sink, SetStateWork, GST_STATE_READY, StateTimeoutMs, false);
  // A sink that did not answer in time was left to the thread it is stuck in.
  if (ready && RunBounded(sink, SetStateWork, GST_STATE_NULL, StateTimeoutMs, false)) gst_object_unref(sink);
  return ready == GST_STATE_CHANGE_SUCCESS;
}

void GstFilterGraph::SetVideoPlatform(std::string qtPlatform, std::function<bool()> preferOverlay) {
  VideoPlatform = std::move(qtPlatform);
  PreferOverlay = std::move(preferOverlay);
}

std::optional<int> GstFilterGraph::RunBounded(GstElement* element, TElementWork work, int argument,
                                              int timeoutMs, bool pump) {
  auto call = std::make_shared<TBoundedCall>();
  call->Element = element;
  call->Work = work;
  call->Argument = argument;
  const unsigned generation = Shared->Generation;
  // GStreamer's thread holds a reference of the element it is given until after
  // the work: a courier of our own, so the element's last one stays ours.
  if (!Courier) Courier = GST_ELEMENT(gst_object_ref_sink(gst_bin_new("tunevale-courier")));
  gst_element_call_async(Courier, RunCall, new std::shared_ptr<TBoundedCall>(call),
                         [](gpointer data) { delete static_cast<std::shared_ptr<TBoundedCall>*>(data); });
  const int64_t deadline = NowMs() + timeoutMs;
  std::unique_lock lock(call->Lock);
  for (;;) {
    const int64_t remaining = deadline - NowMs();
    if (call->Done || remaining <= 0) break;
    const bool pumping = pump && PumpMessages;
    call->Finished.wait_for(
        lock, std::chrono::milliseconds(pumping ? std::min(remaining, kPumpEveryMs) : remaining));
    if (call->Done || !pumping) continue;
    lock.unlock();
    PumpMessages();
    lock.lock();
    if (Shared->Generation != generation) return std::nullopt;
  }
  if (call->Done) return call->Result;
  call->Abandoned = true;
  return std::nullopt;
}

GstStateChangeReturn GstFilterGraph::ChangeState(GstState state) {
  const std::optional<int> result = RunBounded(Pipeline, SetStateWork, state, StateTimeoutMs, false);
  if (result) return static_cast<GstStateChangeReturn>(*result);
  AbandonPipeline();
  return GST_STATE_CHANGE_FAILURE;
}

void GstFilterGraph::AbandonPipeline() {
  UnwatchVideoPad();
  ReleasePipeline(false);  // the stuck call owns it now
  ForgetMedium();
}

void GstFilterGraph::Unload() {
  UnwatchVideoPad();
  if (Pipeline) ChangeState(GST_STATE_NULL);
  if (Pipeline) g_object_set(Pipeline, "video-filter", nullptr, nullptr);
  ForgetMedium();
}

void GstFilterGraph::ForgetMedium() {
  // Every thread of the old medium has ended: whatever it posted is now stale.
  ++Shared->Generation;
  for (GstMessage* message : Deferred) gst_message_unref(message);
  Deferred.clear();
  {
    const std::lock_guard lock(Shared->FollowerLock);
    Shared->FollowerUri.clear();
    Shared->FollowerLocation.clear();
    Shared->FollowerTaken = false;
  }
  FollowerPosted = false;
  StopFollowerClock();
  PlayedHighMs = 0;
  Loaded = false;
  DiscLoaded = false;
  NetworkLoaded = false;
  MissingMediaDecoder = false;
  HttpStatusSeen = -1;
  LoadedUri.clear();
  BufferingNow = false;
  TargetState = GST_STATE_NULL;
  VideoWidth = 0;
  VideoHeight = 0;
  const std::lock_guard lock(Shared->DeviceLock);
  Shared->Device.reset();
}

void GstFilterGraph::DoSetActive(bool active) {
  if (active) {
    CreatePipeline();
  } else {
    DestroyPipeline();
  }
}

void GstFilterGraph::DoClearGraph() { Unload(); }

void GstFilterGraph::DoPlay() {
  if (!Loaded) throw EDirectShowException(kErrUnknown, "No media is loaded");
  TargetState = GST_STATE_PLAYING;
  if (BufferingNow) return;  // starts when the buffer is full
  if (ChangeState(GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
    if (GstMessage* error = Bus ? gst_bus_pop_filtered(Bus, GST_MESSAGE_ERROR) : nullptr)
      RaiseFromError(error);
    throw EDirectShowException(kErrUnknown, "Playback cannot start");
  }
}

void GstFilterGraph::DoPause() {
  if (!Loaded) throw EDirectShowException(kErrUnknown, "No media is loaded");
  TargetState = GST_STATE_PAUSED;
  if (ChangeState(GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE)
    throw EDirectShowException(kErrUnknown, "Playback cannot pause");
}

void GstFilterGraph::DoStop() {
  if (!Loaded) return;
  TargetState = GST_STATE_READY;
  BufferingNow = false;
  ChangeState(GST_STATE_READY);
}

void GstFilterGraph::DoRender(const std::string& location, TSourceKind kind) {
  if (!Active()) throw EDirectShowException(kErrUnknown, "The media graph is not active");
  Unload();
  if (!Pipeline) CreatePipeline();  // the last one was abandoned
  bool network = false;
  const std::string uri = LocationUri(location, network);
  Kind = kind;
  ChooseVideoOutput();
  if (kind == TSourceKind::Picture) {
    GstElement* freeze = gst_element_factory_make("imagefreeze", nullptr);
    if (!freeze)
      throw EDirectShowException(kErrNoDecoder, "The GStreamer element imagefreeze is not installed");
    g_object_set(Pipeline, "video-filter", freeze, nullptr);
  }
  Open(uri, network, false);
}

std::string GstFilterGraph::LocationUri(const std::string& location, bool& network) {
  network = false;
  // A local path may contain "://" too; only a scheme in front makes an address.
  if (gst_uri_is_valid(location.c_str())) {
    gchar* scheme = gst_uri_get_protocol(location.c_str());
    const bool supported = scheme && gst_uri_protocol_is_supported(GST_URI_SRC, scheme);
    const std::string schemeText = scheme ? scheme : "";
    g_free(scheme);
    if (!supported) throw EDirectShowException(kErrUnknown, "No source can read \"" + schemeText + "\" addresses");
    if (schemeText == "file") {
      if (gchar* fileName = g_filename_from_uri(location.c_str(), nullptr, nullptr)) {
        const std::string path = fileName;
        g_free(fileName);
        CheckReadable(path);
      }
    } else {
      network = true;
    }
    return location;
  }
  CheckReadable(location);
  GError* error = nullptr;
  gchar* fileUri = gst_filename_to_uri(location.c_str(), &error);
  if (!fileUri) {
    const std::string text = error ? error->message : "Invalid file name";
    if (error) g_error_free(error);
    throw EDirectShowException(kErrFileNotFound, text);
  }
  const std::string uri = fileUri;
  g_free(fileUri);
  return uri;
}

bool GstFilterGraph::DoQueueNext(const std::string& location) {
  std::string uri;
  // Only a file played as a file can hand over to another (a picture never ends).
  if (!location.empty() && Loaded && Kind == TSourceKind::File && !NetworkLoaded && !DiscLoaded) {
    try {
      bool network = false;
      uri = LocationUri(location, network);
      if (network) uri.clear();
    } catch (const EDirectShowException&) {
      // Unreadable now: its normal open reports why.
    }
  }
  const std::lock_guard lock(Shared->FollowerLock);
  if (Shared->FollowerTaken) return false;
  Shared->FollowerUri = uri;
  Shared->FollowerLocation = uri.empty() ? "" : location;
  return !uri.empty();
}

bool GstFilterGraph::NextTaken() const {
  const std::lock_guard lock(Shared->FollowerLock);
  return Shared->FollowerTaken;
}

bool GstFilterGraph::TakenFollower(std::string& location) {
  const std::lock_guard lock(Shared->FollowerLock);
  location = Shared->FollowerLocation;
  return Shared->FollowerTaken;
}

void GstFilterGraph::AwaitFollowerSound() {
  FollowerPosted = false;
  int32_t positionMs = 0;
  PlayedMs(positionMs);  // the furthest the medium before it came
  FollowerChecks = 0;
  GstClock* clock = gst_element_get_clock(Pipeline);
  if (!clock) {
    SwitchToFollower();
    return;
  }
  FollowerClock = gst_clock_new_periodic_id(clock, gst_clock_get_time(clock), kFollowerCheckEvery);
  gst_object_unref(clock);
  gst_clock_id_wait_async(FollowerClock, OnFollowerClock, gst_object_ref(Bus), gst_object_unref);
}

void GstFilterGraph::CheckFollowerSound() {
  if (!FollowerClock) return;
  int32_t positionMs = 0;
  // Once the sink has the follower's segment the position restarts from 0 and
  // holds there until its first sound plays; until then it may still read the end
  // of the medium before it.
  const bool heard =
      PlayedMs(positionMs) && positionMs > 0 && (positionMs < PlayedHighMs || PlayedHighMs == 0);
  if (!heard && ++FollowerChecks < kMaxFollowerChecks) return;
  StopFollowerClock();
  SwitchToFollower();
}

void GstFilterGraph::StopFollowerClock() {
  if (!FollowerClock) return;
  gst_clock_id_unschedule(FollowerClock);
  gst_clock_id_unref(FollowerClock);
  FollowerClock = nullptr;
}

void GstFilterGraph::SwitchToFollower() {
  std::string location;
  {
    const std::lock_guard lock(Shared->FollowerLock);
    LoadedUri = std::exchange(Shared->FollowerUri, {});
    location = std::exchange(Shared->FollowerLocation, {});
    Shared->FollowerTaken = false;
  }
  FollowerPosted = false;
  MissingMediaDecoder = false;
  PlayedHighMs = 0;
  FireTrackSwitched(location);
}

void GstFilterGraph::FollowerFailed() {
  // The medium playing would never end: playbin waits for the follower forever.
  int32_t positionMs = 0;
  QueryPositionMs(positionMs);
  try {
    Reopen(positionMs);
  } catch (const EDirectShowException& e) {
    FireEvent(ecErrorAbort, e.ErrorCode, 0);
  }
}

void GstFilterGraph::Reopen(int32_t positionMs) {
  const std::string uri = LoadedUri;
  const bool playing = TargetState == GST_STATE_PLAYING;
  Unload();
  if (!Pipeline) CreatePipeline();
  Kind = TSourceKind::File;
  ChooseVideoOutput();
  Open(uri, false, false);
  if (!Loaded) return;  // replaced while it opened
  Seek(positionMs);
  if (playing) DoPlay();
}

int32_t GstFilterGraph::DoRenderDVD(const std::string& path, int32_t) {
  if (!Active() || !gst_uri_protocol_is_supported(GST_URI_SRC, "dvd")) return kErrNoDvdBuilder;
  Unload();
  Kind = TSourceKind::File;
  try {
    if (!Pipeline) CreatePipeline();
    ChooseVideoOutput();
    Open("dvd://" + path, false, true);
  } catch (const EDirectShowException& e) {
    return e.ErrorCode;
  }
  return 0;
}

void GstFilterGraph::DoRenderDevice(const TCaptureDevice& device) {
  if (!Active()) throw EDirectShowException(kErrUnknown, "The media graph is not active");
  Unload();
  if (!Pipeline) CreatePipeline();
  ChooseVideoOutput();
  Kind = TSourceKind::Device;
  {
    const std::lock_guard lock(Shared->DeviceLock);
    Shared->Device = device.Handle;
  }
  Open(kDeviceSourceUri, false, false, true);
}

void GstFilterGraph::Open(const std::string& uri, bool networkSource, bool discSource, bool liveSource) {
  g_object_set(Pipeline, "uri", uri.c_str(), nullptr);
  LoadedUri = uri;
  NetworkLoaded = networkSource;
  DiscLoaded = discSource;
  TargetState = liveSource ? GST_STATE_PLAYING : GST_STATE_PAUSED;
  const unsigned generation = Shared->Generation;
  // Ends the wait however it ends: messages the watch kept for the open and not
  // handed on are dropped.
  struct TWaiting {
    GstFilterGraph& Graph;
    explicit TWaiting(GstFilterGraph& graph) : Graph(graph) { Graph.OpenWaiting = true; }
    ~TWaiting() {
      Graph.OpenWaiting = false;
      for (GstMessage* m : Graph.OpenInbox) gst_message_unref(m);
      Graph.OpenInbox.clear();
    }
  } waiting(*this);
  const int64_t deadline = NowMs() + PrerollTimeoutMs;
  // Sinks open their devices inside this call: it may be the one that gets stuck.
  const std::optional<int> changed = RunBounded(Pipeline, SetStateWork, TargetState, PrerollTimeoutMs, true);
  if (Shared->Generation != generation) return;  // cleared while the loop ran
  if (!changed) AbandonPipeline();
  const auto ret = changed ? static_cast<GstStateChangeReturn>(*changed) : GST_STATE_CHANGE_FAILURE;
  // A live source answers "no preroll" in pause: nothing comes until it runs, so
  // it is run and done once its first picture is shown.
  bool prerolled = ret == GST_STATE_CHANGE_SUCCESS || (ret == GST_STATE_CHANGE_NO_PREROLL && !liveSource);
  // Messages seen while waiting are handled later, on the main loop, in order.
  TMessageList seen;
  GstMessage* error = nullptr;
  // A refused change has posted its error already; look for it briefly.
  const int64_t waitEnd = ret == GST_STATE_CHANGE_FAILURE ? std::min(deadline, NowMs() + 1000) : deadline;
  while (Pipeline && !prerolled && !error) {
    GstMessage* message = NextOpenMessage(waitEnd, generation);
    if (Shared->Generation != generation) {
      if (message) gst_message_unref(message);
      return;
    }
    if (!message) break;
    if (IsStale(message)) {
      gst_message_unref(message);
      continue;
    }
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
      error = message;
      break;
    }
    NoteFacts(message);
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ASYNC_DONE &&
        GST_MESSAGE_SRC(message) == GST_OBJECT(Pipeline))
      prerolled = true;
    seen.Items.push_back(message);
  }
  if (error) RaiseFromError(error);
  if (!prerolled) {
    Unload();
    if (changed && ret == GST_STATE_CHANGE_FAILURE)
      throw EDirectShowException(kErrUnknown, "The media cannot be opened");
    throw EDirectShowException(networkSource || liveSource ? kErrCannotConnect : kErrUnknown,
                               "Timed out waiting for the media to start");
  }
  Loaded = true;
  Deferred.assign(seen.Items.begin(), seen.Items.end());
  seen.Items.clear();
  Deferred.insert(Deferred.end(), OpenInbox.begin(), OpenInbox.end());
  OpenInbox.clear();
  gst_element_post_message(
      Pipeline, gst_message_new_application(GST_OBJECT(Pipeline), gst_structure_new_empty(kWakeMessage)));
}

GstMessage* GstFilterGraph::NextOpenMessage(int64_t deadlineMs, unsigned generation) {
  for (;;) {
    if (!OpenInbox.empty()) {
      GstMessage* message = OpenInbox.front();
      OpenInbox.pop_front();
      return message;
    }
    const int64_t remaining = deadlineMs - NowMs();
    if (remaining <= 0) return nullptr;
    const int64_t slice = PumpMessages ? std::min(remaining, kPumpEveryMs) : remaining;
    if (GstMessage* message = gst_bus_timed_pop(Bus, static_cast<GstClockTime>(slice) * GST_MSECOND))
      return message;
    if (!PumpMessages) continue;
    PumpMessages();
    if (Shared->Generation != generation) return nullptr;
  }
}

void GstFilterGraph::NoteFacts(GstMessage* message) {
  if (IsMissingMediaDecoder(message)) MissingMediaDecoder = true;
  const int status = HttpStatusOf(message);
  if (status >= 0) HttpStatusSeen = status;
}

int32_t GstFilterGraph::ErrorCode(GstMessage* error) {
  TGstErrorFacts facts = ErrorFacts(error, AudioSink);
  facts.NetworkSource = NetworkLoaded;
  facts.DiscSource = DiscLoaded;
  facts.MissingMediaDecoder = MissingMediaDecoder;
  if (NetworkLoaded && facts.HttpStatus == 0 && HttpStatusSeen > 0) facts.HttpStatus = HttpStatusSeen;
  facts.ServerSilent = NetworkLoaded && facts.HttpStatus == 0;
  if (facts.ServerSilent) facts.HostResolves = HostResolves(LoadedUri);
  return MapGstError(facts);
}

void GstFilterGraph::RaiseFromError(GstMessage* error) {
  const int32_t code = ErrorCode(error);
  GError* gerror = nullptr;
  gst_message_parse_error(error, &gerror, nullptr);
  const std::string text = gerror && gerror->message ? gerror->message : "Unknown GStreamer error";
  if (gerror) g_error_free(gerror);
  gst_message_unref(error);
  Unload();
  throw EDirectShowException(code, text);
}

bool GstFilterGraph::IsStale(GstMessage* message) const {
  const gpointer stamp = gst_mini_object_get_qdata(GST_MINI_OBJECT_CAST(message), GenerationQuark());
  return GPOINTER_TO_UINT(stamp) != Shared->Generation.load();
}

int GstFilterGraph::ProcessBusMessages(int waitMs) {
  DrainDeferred();
  if (!Bus) return 0;
  int handled = 0;
  GstMessage* message = waitMs > 0 ? gst_bus_timed_pop(Bus, static_cast<GstClockTime>(waitMs) * GST_MSECOND)
                                   : gst_bus_pop(Bus);
  while (message) {
    ++handled;
    Dispatch(message);
    gst_message_unref(message);
    // A handler may have released the graph.
    if (!Bus || handled >= kMaxMessagesPerCall) break;
    message = gst_bus_pop(Bus);
  }
  return handled;
}

void GstFilterGraph::DrainDeferred() {
  while (!Deferred.empty()) {
    GstMessage* message = Deferred.front();
    Deferred.pop_front();
    Handle(message);  // may open another medium, which clears the rest
    gst_message_unref(message);
  }
}

void GstFilterGraph::Dispatch(GstMessage* message) {
  DrainDeferred();
  Handle(message);
}

void GstFilterGraph::Handle(GstMessage* message) {
  if (!Pipeline || IsStale(message)) return;
  const bool fromPipeline = GST_MESSAGE_SRC(message) == GST_OBJECT(Pipeline);
  switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_EOS:
      if (Loaded) FireEvent(ecComplete, 0, 0);
      break;
    case GST_MESSAGE_ERROR: {
      if (!Loaded) break;
      // After the hand-over only the follower and the output still work.
      if (FollowerPosted && !ErrorFacts(message, AudioSink).FromAudioSink) {
        FollowerFailed();
        break;
      }
      const int32_t code = ErrorCode(message);
      // The medium cannot go on: stop it so the player does not wait for an end forever.
      Stop();
      FireEvent(ecErrorAbort, code, 0);
      break;
    }
    case GST_MESSAGE_STATE_CHANGED:
      if (fromPipeline) {
        GstState newState = GST_STATE_NULL;
        gst_message_parse_state_changed(message, nullptr, &newState, nullptr);
        FireEvent(ecStateChange, ToGraphState(newState), 0);
      }
      break;
    case GST_MESSAGE_BUFFERING: {
      gint percent = 100;
      gst_message_parse_buffering(message, &percent);
      if (Loaded) HandleBuffering(percent);
      break;
    }
    case GST_MESSAGE_DURATION_CHANGED:
      if (Loaded && Kind != TSourceKind::Stream && Kind != TSourceKind::Device)
        FireEvent(ecLengthChanged, 0, 0);
      break;
    case GST_MESSAGE_CLOCK_LOST:
      // The usual cure: pick a new clock by pausing and playing again.
      if (Loaded && TargetState == GST_STATE_PLAYING && !BufferingNow) {
        if (ChangeState(GST_STATE_PAUSED) != GST_STATE_CHANGE_FAILURE) ChangeState(GST_STATE_PLAYING);
      }
      break;
    case GST_MESSAGE_ASYNC_DONE:
      if (fromPipeline && Loaded) CheckVideoSize();
      break;
    case GST_MESSAGE_APPLICATION:
      if (Loaded && gst_message_has_name(message, kVideoCapsMessage)) CheckVideoSize();
      if (Loaded && gst_message_has_name(message, kFollowerTakenMessage)) FollowerPosted = true;
      if (Loaded && gst_message_has_name(message, kFollowerCheckMessage)) CheckFollowerSound();
      break;
    case GST_MESSAGE_STREAM_START:
      if (fromPipeline && Loaded && FollowerPosted) AwaitFollowerSound();
      break;
    case GST_MESSAGE_ELEMENT:
      NoteFacts(message);
      break;
    default:
      break;
  }
}

void GstFilterGraph::HandleBuffering(int percent) {
  if (percent < 100) {
    if (!BufferingNow && TargetState == GST_STATE_PLAYING) ChangeState(GST_STATE_PAUSED);
    BufferingNow = true;
    FireEvent(ecBufferingData, 1, percent);
  } else if (BufferingNow) {
    BufferingNow = false;
    if (TargetState == GST_STATE_PLAYING) ChangeState(GST_STATE_PLAYING);
    FireEvent(ecBufferingData, 0, 100);
  }
}

void GstFilterGraph::WatchVideoPad() {
  if (VideoPad || !Pipeline) return;
  GstPad* pad = nullptr;
  g_signal_emit_by_name(Pipeline, "get-video-pad", 0, &pad);
  if (!pad) return;
  VideoPad = pad;
  VideoCapsHandler = g_signal_connect(VideoPad, "notify::caps", G_CALLBACK(OnVideoCapsChanged), Pipeline);
}

void GstFilterGraph::UnwatchVideoPad() {
  if (!VideoPad) return;
  g_signal_handler_disconnect(VideoPad, VideoCapsHandler);
  gst_object_unref(VideoPad);
  VideoPad = nullptr;
  VideoCapsHandler = 0;
}

void GstFilterGraph::CheckVideoSize() {
  WatchVideoPad();
  if (!VideoPad) return;
  GstCaps* caps = gst_pad_get_current_caps(VideoPad);
  if (!caps) return;
  GstVideoInfo info;
  const bool parsed = gst_video_info_from_caps(&info, caps);
  gst_caps_unref(caps);
  if (!parsed || info.width <= 0 || info.height <= 0) return;
  // The size the picture is shown at: non-square pixels widen or narrow it.
  int32_t width = info.width;
  if (info.par_n > 0 && info.par_d > 0 && info.par_n != info.par_d)
    width = static_cast<int32_t>(static_cast<int64_t>(info.width) * info.par_n / info.par_d);
  const int32_t height = info.height;
  width = std::min(width, 0xFFFF);
  if (width == VideoWidth && height == VideoHeight) return;
  VideoWidth = width;
  VideoHeight = std::min(height, 0xFFFF);
  FireEvent(ecVideoSizeChanged, static_cast<intptr_t>(VideoWidth) | (static_cast<intptr_t>(VideoHeight) << 16),
            0);
}

void GstFilterGraph::SetWindowHandle(uintptr_t handle) {
  Shared->WindowHandle = handle;
  if (!Pipeline || !handle) return;
  if (GstElement* overlay = gst_bin_get_by_interface(GST_BIN(Pipeline), GST_TYPE_VIDEO_OVERLAY)) {
    gst_video_overlay_set_window_handle(GST_VIDEO_OVERLAY(overlay), handle);
    gst_object_unref(overlay);
  }
}

void GstFilterGraph::DoApplyVolume(double gain) {
  if (Pipeline) g_object_set(Pipeline, "volume", gain, nullptr);
}

TGraphState GstFilterGraph::State() const {
  if (!Pipeline) return gsNone;
  GstState current = GST_STATE_NULL;
  gst_element_get_state(Pipeline, &current, nullptr, 0);
  return ToGraphState(current);
}

bool GstFilterGraph::QueryDurationMs(int32_t& durationMs) const {
  if (!Loaded || Kind == TSourceKind::Stream || Kind == TSourceKind::Device) return false;
  if (Kind == TSourceKind::Picture) {
    durationMs = 0;
    return true;
  }
  gint64 duration = -1;
  if (!gst_element_query_duration(Pipeline, GST_FORMAT_TIME, &duration) || duration < 0) return false;
  durationMs = ToMs(duration);
  return true;
}

bool GstFilterGraph::QueryPositionMs(int32_t& positionMs) const {
  // The sink counts the follower from 0 while the medium before it still sounds.
  return !FollowerClock && PlayedMs(positionMs);
}

bool GstFilterGraph::PlayedMs(int32_t& positionMs) const {
  if (!Loaded) return false;
  gint64 position = -1;
  if (!gst_element_query_position(Pipeline, GST_FORMAT_TIME, &position) || position < 0) return false;
  positionMs = ToMs(position);
  if (!FollowerClock) PlayedHighMs = std::max(PlayedHighMs, positionMs);
  return true;
}

bool GstFilterGraph::QueryStopPositionMs(int32_t& stopMs) const { return QueryDurationMs(stopMs); }

bool GstFilterGraph::SetPositionMs(int32_t positionMs) {
  if (!Loaded || Kind == TSourceKind::Stream || Kind == TSourceKind::Device) return false;
  std::string follower;
  if (!TakenFollower(follower)) return Seek(positionMs);
  try {
    Reopen(positionMs);
  } catch (const EDirectShowException&) {
    return false;
  }
  return Loaded && DoQueueNext(follower);
}

bool GstFilterGraph::Seek(int32_t positionMs) {
  // A seek that does not return in time is left to finish on its own.
  const std::optional<int> seeked = RunBounded(Pipeline, SeekWork, positionMs, StateTimeoutMs, false);
  if (!seeked) AbandonPipeline();
  if (!seeked || !*seeked) return false;
  PlayedHighMs = 0;
  // Like the open, a seek is done when it returns: the position reads back at once.
  // Media from a server may take long to refill, so they are not waited for.
  if (!NetworkLoaded) gst_element_get_state(Pipeline, nullptr, nullptr, 2 * GST_SECOND);
  return true;
}

std::vector<TCaptureDevice> GstFilterGraph::VideoInputDevices() {
  if (!gst_is_initialized()) gst_init(nullptr, nullptr);
  return ListVideoInputDevices();
}

bool GstFilterGraph::StepFrame() {
  if (!VideoConnected() || Kind == TSourceKind::Stream || Kind == TSourceKind::Device || State() != gsPaused)
    return false;
  GstElement* sink = nullptr;
  g_object_get(Pipeline, "video-sink", &sink, nullptr);
  if (!sink) return false;
  const bool sent = gst_element_send_event(sink, gst_event_new_step(GST_FORMAT_BUFFERS, 1, 1.0, TRUE, FALSE));
  gst_object_unref(sink);
  // Like a seek, a step is done when it returns: the position reads the new frame at once.
  if (sent) gst_element_get_state(Pipeline, nullptr, nullptr, 2 * GST_SECOND);
  return sent;
}

bool GstFilterGraph::VideoConnected() const {
  if (!Loaded) return false;
  gint streams = 0;
  g_object_get(Pipeline, "n-video", &streams, nullptr);
  return streams > 0;
}

}  // namespace tunevale
