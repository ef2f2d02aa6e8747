// A real-time runtime for tests without Qt: a steady clock, timers that fire
// while the test runs the loop, and a hook for the engine's bus messages.
#pragma once

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "util/runtime.h"

namespace tunevale::test {

class TLoopRuntime : public TRuntime {
 public:
  // Called by the loop to deliver engine events; waits up to `waitMs` for one.
  std::function<void(int waitMs)> DeliverEvents;

  int64_t MonotonicMs() const override {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
  double Now() const override {
    const auto unixMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::system_clock::now().time_since_epoch())
                            .count();
    return 25569.0 + static_cast<double>(unixMs) / 86400000.0;
  }
  std::unique_ptr<TTimer> CreateTimer(std::function<void()> onTick) override {
    return std::make_unique<TLoopTimer>(*this, std::move(onTick));
  }
  void ProcessPendingMessages() override {
    if (DeliverEvents) DeliverEvents(0);
    FireDueTimers();
  }
  void SetIdleHandler(std::function<void()> handler) override { Idle = std::move(handler); }
  void ClearIdleHandler() override { Idle = nullptr; }

  // Runs the loop until `done` answers true or `timeoutMs` passed; true when done.
  bool RunUntil(const std::function<bool()>& done, int timeoutMs) {
    const int64_t end = MonotonicMs() + timeoutMs;
    while (!done()) {
      if (MonotonicMs() >= end) return false;
      if (DeliverEvents)
        DeliverEvents(10);
      else
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      FireDueTimers();
      if (Idle) std::exchange(Idle, nullptr)();
    }
    return true;
  }

 private:
  class TLoopTimer : public TTimer {
   public:
    TLoopTimer(TLoopRuntime& runtime, std::function<void()> onTick) : Runtime(runtime), OnTick(std::move(onTick)) {
      Runtime.Timers.push_back(this);
    }
    ~TLoopTimer() override { std::erase(Runtime.Timers, this); }
    void SetInterval(int intervalMs) override {
      IntervalMs = intervalMs;
      DueMs = Runtime.MonotonicMs() + intervalMs;
    }
    int Interval() const override { return IntervalMs; }
    void SetEnabled(bool enabled) override {
      if (enabled && !IsEnabled) DueMs = Runtime.MonotonicMs() + IntervalMs;
      IsEnabled = enabled;
    }
    bool Enabled() const override { return IsEnabled; }

    TLoopRuntime& Runtime;
    std::function<void()> OnTick;
    int IntervalMs = 0;
    bool IsEnabled = false;
    int64_t DueMs = 0;
  };

  void FireDueTimers() {
    const int64_t now = MonotonicMs();
    // A copy: a tick may create or destroy timers.
    const std::vector<TLoopTimer*> timers = Timers;
    for (TLoopTimer* t : timers) {
      if (std::find(Timers.begin(), Timers.end(), t) == Timers.end()) continue;
      if (t->IsEnabled && t->IntervalMs > 0 && t->DueMs <= now) {
        t->DueMs = now + t->IntervalMs;
        t->OnTick();
      }
    }
  }

  std::vector<TLoopTimer*> Timers;
  std::function<void()> Idle;
};

}  // namespace tunevale::test
