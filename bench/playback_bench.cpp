// Engine speed: how long an open takes until the engine reports that it plays,
// against a bare playbin doing the same in the same process (the floor), and the
// share of one core used while an MP3 plays in real time.
//
//   build/bench/playback_bench
//
// Output goes to fakesink with sync on (real time, no sound card needed).
#include <benchmark/benchmark.h>
#include <gst/gst.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "playback/gst_filter_graph.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr const char* kSink = "fakesink sync=true";

// A sine MP3 of `seconds`, encoded in-process, in a folder removed at exit.
class TBenchMedia {
 public:
  TBenchMedia() {
    std::string pattern = (std::filesystem::temp_directory_path() / "tunevale-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    Folder = pattern;
    Short = Encode("short.mp3", 3);
    Long = Encode("long.mp3", 12);
  }
  ~TBenchMedia() { std::filesystem::remove_all(Folder); }
  std::string Short, Long;

 private:
  std::string Encode(const std::string& name, int seconds) {
    const std::string path = Folder + "/" + name;
    const std::string description = "audiotestsrc num-buffers=" + std::to_string(seconds * 10) +
                                    " samplesperbuffer=4410 ! audio/x-raw,rate=44100,channels=2 ! audioconvert ! "
                                    "lamemp3enc ! xingmux ! filesink location=" +
                                    path;
    GstElement* pipeline = gst_parse_launch(description.c_str(), nullptr);
    if (!pipeline) throw std::runtime_error("cannot build the encoder");
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* end = gst_bus_timed_pop_filtered(bus, GST_CLOCK_TIME_NONE,
                                                 static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool ok = end && GST_MESSAGE_TYPE(end) == GST_MESSAGE_EOS;
    if (end) gst_message_unref(end);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    if (!ok) throw std::runtime_error("encoding failed");
    return path;
  }
  std::string Folder;
};

TBenchMedia& Media() {
  static TBenchMedia media;
  return media;
}

double Median(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  const size_t n = samples.size();
  return n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2;
}

// The engine: RenderFile + Play until the state query answers "running".
double EngineOpenMs(tunevale::GstFilterGraph& graph, const std::string& file) {
  graph.ClearGraph();
  graph.ProcessBusMessages();
  const auto start = Clock::now();
  graph.RenderFile(file);
  graph.Play();
  while (graph.State() != tunevale::gsRunning) std::this_thread::yield();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The floor: one playbin with the same sinks, prerolled and set playing by hand.
double BareOpenMs(GstElement* playbin, const std::string& uri) {
  gst_element_set_state(playbin, GST_STATE_NULL);
  const auto start = Clock::now();
  g_object_set(playbin, "uri", uri.c_str(), nullptr);
  gst_element_set_state(playbin, GST_STATE_PAUSED);
  gst_element_get_state(playbin, nullptr, nullptr, GST_CLOCK_TIME_NONE);
  gst_element_set_state(playbin, GST_STATE_PLAYING);
  GstState current = GST_STATE_NULL;
  while (gst_element_get_state(playbin, &current, nullptr, 0), current != GST_STATE_PLAYING)
    std::this_thread::yield();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Both in turns, so a busy machine weighs on each alike; the first open of each
// (plugin loading) is not counted.
void BM_OpenToRunningEngineVsBarePlaybin(benchmark::State& state) {
  const std::string file = Media().Short;
  const std::string uri = "file://" + file;
  tunevale::GstFilterGraph graph;
  graph.SetAudioSink(kSink);
  graph.SetVideoSink(kSink);
  graph.SetActive(true);
  GstElement* playbin = gst_element_factory_make("playbin", nullptr);
  gst_object_ref_sink(playbin);
  g_object_set(playbin, "audio-sink", gst_parse_bin_from_description(kSink, TRUE, nullptr), "video-sink",
               gst_parse_bin_from_description(kSink, TRUE, nullptr), nullptr);
  EngineOpenMs(graph, file);
  BareOpenMs(playbin, uri);
  std::vector<double> engine, floor;
  bool engineFirst = true;
  for (auto _ : state) {
    if (engineFirst) {
      engine.push_back(EngineOpenMs(graph, file));
      floor.push_back(BareOpenMs(playbin, uri));
    } else {
      floor.push_back(BareOpenMs(playbin, uri));
      engine.push_back(EngineOpenMs(graph, file));
    }
    engineFirst = !engineFirst;
    state.SetIterationTime(engine.back() / 1000);
  }
  graph.ClearGraph();
  gst_element_set_state(playbin, GST_STATE_NULL);
  gst_object_unref(playbin);
  state.counters["engine_median_ms"] = Median(engine);
  state.counters["floor_median_ms"] = Median(floor);
  state.counters["engine_vs_floor"] = Median(engine) / Median(floor);
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);  // every thread of the process, GStreamer's included
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Plays the long MP3 for 4 s of real time and reports the CPU used per wall second.
void BM_PlayingCpuShare(benchmark::State& state) {
  tunevale::GstFilterGraph graph;
  graph.SetAudioSink(kSink);
  graph.SetVideoSink(kSink);
  graph.SetActive(true);
  std::vector<double> shares;
  for (auto _ : state) {
    graph.ClearGraph();
    graph.RenderFile(Media().Long);
    graph.Play();
    while (graph.State() != tunevale::gsRunning) graph.ProcessBusMessages(1);
    const double cpuStart = CpuSeconds();
    const auto start = Clock::now();
    while (Clock::now() - start < std::chrono::seconds(4)) graph.ProcessBusMessages(100);
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();
    const double share = (CpuSeconds() - cpuStart) / wall;
    state.SetIterationTime(wall);
    shares.push_back(share * 100);
  }
  graph.ClearGraph();
  state.counters["cpu_percent_of_one_core"] = Median(shares);
}

}  // namespace

BENCHMARK(BM_OpenToRunningEngineVsBarePlaybin)->UseManualTime()->Iterations(31)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlayingCpuShare)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  gst_init(&argc, &argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
