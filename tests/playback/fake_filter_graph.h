// A scriptable engine for tests of the logic around the graph: it records what
// it was asked, answers queries from public fields, fails an open on request and
// lets the test fire engine events as the main loop would.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "playback/filter_graph.h"

namespace tunevale::test {

class TFakeFilterGraph : public TFilterGraph {
 public:
  // --- what the test scripts ---
  // Length of a rendered medium; -1 = the engine cannot tell (a stream).
  int32_t MediaDurationMs = 60000;
  // Per-location lengths, overriding MediaDurationMs.
  std::map<std::string, int32_t> DurationByLocation;
  // Codes RenderFile/RenderStream/RenderPicture raise for a location (code, engine text).
  std::map<std::string, std::pair<int32_t, std::string>> FailByLocation;
  // The result of RenderDVD.
  int32_t DvdResult = kErrNoDvdBuilder;
  // Runs inside the next render, before it returns (a stop pressed while opening).
  std::function<void()> DuringRender;
  // Runs inside Play (pending messages processed there by a real engine).
  std::function<void()> DuringPlay;
  bool BufferingNow = false;
  bool RefuseQueue = false, Taken = false;  // no gapless playback; committed to the queued medium
  // The capture devices listed; a device fails to start when its name is in FailByLocation.
  std::vector<TCaptureDevice> Devices;
  // A step moves a paused medium on by this much.
  int32_t FrameMs = 40;

  // --- what the test reads ---
  TGraphState CurrentState = gsNone;
  std::string Location;  // the rendered location, empty after ClearGraph
  TSourceKind LocationKind = TSourceKind::File;
  int32_t PositionMs = 0;
  double Gain = -1;  // the last applied amplitude factor
  std::vector<std::string> Calls;  // "Play", "Pause", "Stop", "Clear", "Render:<loc>", "Seek:<ms>", ...
  std::string Queued;              // what follows the loaded medium without a gap

  bool Loaded() const { return !Location.empty(); }
  bool IsPicture() const { return Loaded() && LocationKind == TSourceKind::Picture; }
  bool IsStream() const { return Loaded() && LocationKind == TSourceKind::Stream; }

  // Fires an engine event as the main loop delivers it.
  void Fire(int32_t eventCode, intptr_t param1 = 0, intptr_t param2 = 0) { FireEvent(eventCode, param1, param2); }
  void FireComplete() { Fire(ecComplete); }
  void FireVideoSize(int32_t width, int32_t height) { Fire(ecVideoSizeChanged, width | (height << 16)); }
  void SwitchToQueued() {
    Location = std::exchange(Queued, {}), PositionMs = 0, Taken = false;
    FireTrackSwitched(Location);
  }
  // Time passes while playing.
  void AdvancePosition(int32_t ms) {
    if (CurrentState == gsRunning) PositionMs += ms;
  }

  TGraphState State() const override { return Active() ? CurrentState : gsNone; }

  bool QueryDurationMs(int32_t& durationMs) const override {
    if (!Loaded() || IsStream() || LocationKind == TSourceKind::Device) return false;
    if (IsPicture()) {
      durationMs = 0;
      return true;
    }
    const int32_t length = LengthOf(Location);
    if (length < 0) return false;
    durationMs = length;
    return true;
  }
  bool QueryPositionMs(int32_t& positionMs) const override {
    if (!Loaded()) return false;
    positionMs = PositionMs;
    return true;
  }
  bool QueryStopPositionMs(int32_t& stopMs) const override { return QueryDurationMs(stopMs); }
  bool SetPositionMs(int32_t positionMs) override {
    Calls.push_back("Seek:" + std::to_string(positionMs));
    if (!Loaded() || IsStream()) return false;
    PositionMs = positionMs;
    return true;
  }
  bool Buffering() const override { return BufferingNow; }
  bool NextTaken() const override { return Taken; }
  std::vector<TCaptureDevice> VideoInputDevices() override { return Devices; }
  bool StepFrame() override {
    Calls.push_back("Step");
    if (CurrentState != gsPaused) return false;
    PositionMs += FrameMs;
    return true;
  }
  bool VideoConnected() const override { return Loaded(); }

 protected:
  void DoSetActive(bool active) override {
    Calls.push_back(active ? "Activate" : "Deactivate");
    CurrentState = active ? gsStopped : gsNone;
    if (!active) Location.clear();
  }
  void DoClearGraph() override {
    Calls.push_back("Clear");
    Location.clear();
    Queued.clear(), Taken = false;
    PositionMs = 0;
    CurrentState = gsStopped;
  }
  void DoPlay() override {
    Calls.push_back("Play");
    if (!Loaded()) throw EDirectShowException(kErrUnknown, "Nothing is loaded");
    CurrentState = gsRunning;
    if (DuringPlay) DuringPlay();
  }
  void DoPause() override {
    Calls.push_back("Pause");
    if (!Loaded()) throw EDirectShowException(kErrUnknown, "Nothing is loaded");
    CurrentState = gsPaused;
  }
  void DoStop() override {
    Calls.push_back("Stop");
    if (Loaded()) CurrentState = gsStopped;
  }
  void DoRender(const std::string& location, TSourceKind kind) override {
    Calls.push_back("Render:" + location);
    if (DuringRender) std::exchange(DuringRender, nullptr)();
    if (auto failure = FailByLocation.find(location); failure != FailByLocation.end())
      throw EDirectShowException(failure->second.first, failure->second.second);
    Location = location;
    LocationKind = kind;
    PositionMs = 0;
    CurrentState = gsPaused;
  }
  int32_t DoRenderDVD(const std::string& path, int32_t) override {
    Calls.push_back("RenderDVD:" + path);
    if (DvdResult == 0) {
      Location = path.empty() ? "dvd://" : path;
      CurrentState = gsPaused;
    }
    return DvdResult;
  }
  void DoRenderDevice(const TCaptureDevice& device) override {
    Calls.push_back("RenderDevice:" + device.Name);
    if (auto failure = FailByLocation.find(device.Name); failure != FailByLocation.end())
      throw EDirectShowException(failure->second.first, failure->second.second);
    Location = device.Name;
    LocationKind = TSourceKind::Device;
    CurrentState = gsRunning;
  }
  void DoApplyVolume(double gain) override { Gain = gain; }
  bool DoQueueNext(const std::string& location) override {
    return !RefuseQueue && !Taken && !(Queued = location).empty();
  }

 private:
  int32_t LengthOf(const std::string& location) const {
    auto it = DurationByLocation.find(location);
    return it != DurationByLocation.end() ? it->second : MediaDurationMs;
  }
};

}  // namespace tunevale::test
