#include "playback/ds_track_bar.h"

namespace tunevale {

TDSTrackBar::TDSTrackBar(TRuntime& runtime) : Runtime(runtime) {
  Timer = Runtime.CreateTimer([this] { TimerTick(); });
  Timer->SetInterval(IntervalMs);
}

TDSTrackBar::~TDSTrackBar() { SetFilterGraph(nullptr); }

void TDSTrackBar::SetFilterGraph(TFilterGraph* graph) {
  if (graph == Graph) return;
  if (Graph) Graph->DetachUser(this);
  Graph = graph;
  CanSeek = Graph && Graph->Active();
  EnableTimer(false);
  if (Graph) {
    Graph->AttachUser(this);
    if (Graph->State() == gsRunning) EnableTimer(true);
  }
}

void TDSTrackBar::SetTimerInterval(int32_t intervalMs) {
  IntervalMs = intervalMs > 0 ? intervalMs : 1;
  Timer->SetInterval(IntervalMs);
}

void TDSTrackBar::SetEnabled(bool enabled) {
  ControlEnabled = enabled;
  if (!enabled) EnableTimer(false);
}

bool TDSTrackBar::TimerRunning() const { return Timer->Enabled(); }

void TDSTrackBar::EnableTimer(bool enabled) { Timer->SetEnabled(enabled && ControlEnabled); }

void TDSTrackBar::GraphNotify(TGraphNotification code, int32_t param) {
  switch (code) {
    case gnRun:
      EnableTimer(true);
      break;
    case gnPause:
    case gnStop:
      EnableTimer(false);
      break;
    case gnActiveChanged:
      CanSeek = param != 0;
      if (!CanSeek) EnableTimer(false);
      break;
    default:
      break;
  }
}

void TDSTrackBar::TimerTick() {
  if (!Graph || !CanSeek || MouseDown) return;
  int32_t durationMs = 0, currentMs = 0;
  if (!Graph->QueryDurationMs(durationMs) || !Graph->QueryPositionMs(currentMs)) return;
  MaxValue = durationMs / IntervalMs;
  PositionValue = currentMs / IntervalMs;
  if (OnTimer) OnTimer(currentMs, durationMs);
}

void TDSTrackBar::Seek() {
  if (!Graph || !CanSeek) return;
  int32_t stopMs = 0;
  if (!Graph->QueryStopPositionMs(stopMs)) stopMs = 0;
  // A bar with no range (a medium shorter than one poll, replayed) restarts it.
  const int64_t targetMs =
      MaxValue > 0 ? static_cast<int64_t>(stopMs) * PositionValue / MaxValue : 0;
  Graph->SetPositionMs(static_cast<int32_t>(targetMs));
}

}  // namespace tunevale
