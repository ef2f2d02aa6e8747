// A runtime for tests: a manual clock, timers that fire when the clock is
// advanced past them, a countable message pump and an idle handler that runs
// when the test says the loop is idle.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

#include "util/runtime.h"

namespace tunevale::test {

class TFakeRuntime;

class TFakeTimer : public TTimer {
 public:
  TFakeTimer(TFakeRuntime& runtime, std::function<void()> onTick);
  ~TFakeTimer() override;

  // Like a Qt timer: setting the interval of a running timer starts its count again.
  void SetInterval(int intervalMs) override {
    IntervalMs = intervalMs;
    Restart();
  }
  int Interval() const override { return IntervalMs; }
  void SetEnabled(bool enabled) override {
    if (enabled && !Enabled_) {
      Enabled_ = true;
      Restart();
    }
    Enabled_ = enabled;
  }
  bool Enabled() const override { return Enabled_; }

 private:
  friend class TFakeRuntime;
  void Restart();

  TFakeRuntime& Runtime;
  std::function<void()> OnTick;
  int IntervalMs = 0;
  bool Enabled_ = false;
  int64_t DueMs = 0;
};

class TFakeRuntime : public TRuntime {
 public:
  int64_t MonotonicMs() const override { return ClockMs += TickPerReadMs; }
  // Days since 1899-12-30; starts on 2024-01-01 and moves with the clock.
  double Now() const override { return 45292.0 + static_cast<double>(ClockMs) / 86400000.0; }
  std::unique_ptr<TTimer> CreateTimer(std::function<void()> onTick) override {
    return std::make_unique<TFakeTimer>(*this, std::move(onTick));
  }
  void ProcessPendingMessages() override {
    ++PendingMessageRuns;
    if (OnProcessPendingMessages) OnProcessPendingMessages();
  }
  void SetIdleHandler(std::function<void()> handler) override { IdleHandler = std::move(handler); }
  void ClearIdleHandler() override { IdleHandler = nullptr; }

  // Moves the clock forward, firing every timer that falls due on the way, in time order.
  void Advance(int64_t ms) {
    const int64_t target = ClockMs + ms;
    for (;;) {
      TFakeTimer* next = nullptr;
      for (TFakeTimer* t : Timers)
        if (t->Enabled_ && t->IntervalMs > 0 && t->DueMs <= target && (!next || t->DueMs < next->DueMs))
          next = t;
      if (!next) break;
      ClockMs = std::max(ClockMs, next->DueMs);
      next->DueMs = ClockMs + next->IntervalMs;
      next->OnTick();
    }
    ClockMs = target;
  }
  // The loop became idle: runs the idle handler once. False when none was set.
  bool RunIdle() {
    if (!IdleHandler) return false;
    auto handler = std::exchange(IdleHandler, nullptr);
    handler();
    return true;
  }
  bool HasIdleHandler() const { return static_cast<bool>(IdleHandler); }

  mutable int64_t ClockMs = 0;
  // Moves the clock on every read, for loops that should get past every throttle.
  int64_t TickPerReadMs = 0;
  int PendingMessageRuns = 0;
  // Runs inside ProcessPendingMessages: what "the user did meanwhile".
  std::function<void()> OnProcessPendingMessages;

 private:
  friend class TFakeTimer;
  std::vector<TFakeTimer*> Timers;
  std::function<void()> IdleHandler;
};

inline TFakeTimer::TFakeTimer(TFakeRuntime& runtime, std::function<void()> onTick)
    : Runtime(runtime), OnTick(std::move(onTick)) {
  Runtime.Timers.push_back(this);
}

inline TFakeTimer::~TFakeTimer() { std::erase(Runtime.Timers, this); }

inline void TFakeTimer::Restart() { DueMs = Runtime.ClockMs + IntervalMs; }

}  // namespace tunevale::test
