// A runtime for the library benchmarks: the steady clock, no timers, no messages.
#pragma once

#include <chrono>
#include <memory>

#include "util/runtime.h"

namespace tunevale {

class TBenchRuntime : public TRuntime {
 public:
  int64_t MonotonicMs() const override {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
  double Now() const override { return 0; }
  std::unique_ptr<TTimer> CreateTimer(std::function<void()>) override { return nullptr; }
  void ProcessPendingMessages() override {}
  void SetIdleHandler(std::function<void()>) override {}
  void ClearIdleHandler() override {}
};

}  // namespace tunevale
