// The seek-bar companion of a graph: polls the position while the graph plays and
// performs every seek the player makes, as a fraction of the stop position.
// Attach it with SetFilterGraph; it follows the graph through its notifications.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "playback/filter_graph.h"
#include "util/runtime.h"

namespace tunevale {

class TDSTrackBar : public TGraphUser {
 public:
  explicit TDSTrackBar(TRuntime& runtime);
  ~TDSTrackBar() override;

  // Attaches to `graph` (detaching from the previous one); nullptr detaches.
  void SetFilterGraph(TFilterGraph* graph);
  TFilterGraph* FilterGraph() const { return Graph; }

  int32_t TimerInterval() const { return IntervalMs; }
  void SetTimerInterval(int32_t intervalMs);
  // A disabled control does not poll.
  bool Enabled() const { return ControlEnabled; }
  void SetEnabled(bool enabled);
  bool TimerRunning() const;
  // While the mouse holds the bar the poll leaves it alone.
  void SetMouseDown(bool down) { MouseDown = down; }

  int32_t Max() const { return MaxValue; }
  int32_t Position() const { return PositionValue; }
  void SetMax(int32_t max) { MaxValue = max; }
  void SetPosition(int32_t position) { PositionValue = position; }

  // The release over the bar: seeks to stop position x Position() / Max(),
  // in 64 bits, truncating. A bar with no range (Max() <= 0) seeks to the start.
  void Seek();

  // Each poll that could read both position and duration: (current ms, duration ms).
  std::function<void(int32_t currentMs, int32_t durationMs)> OnTimer;

  void GraphNotify(TGraphNotification code, int32_t param) override;
  // The poll; public so a test can tick it without a timer.
  void TimerTick();

 private:
  void EnableTimer(bool enabled);

  TRuntime& Runtime;
  std::unique_ptr<TTimer> Timer;
  TFilterGraph* Graph = nullptr;
  bool CanSeek = false;  // the graph exists
  bool MouseDown = false;
  bool ControlEnabled = true;
  int32_t IntervalMs = 1000;
  int32_t MaxValue = 10;
  int32_t PositionValue = 0;
};

}  // namespace tunevale
