// The runtime port: the message loop, clocks and timers the core runs on.
// The application implements it over the Qt event loop; tests use a fake with
// a manual clock. Everything runs on the one main thread; only Post may be
// called from another (a worker handing its result back).
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace tunevale {

// A repeating timer. Created disabled; OnTick is called on the main loop.
class TTimer {
 public:
  virtual ~TTimer() = default;
  virtual void SetInterval(int intervalMs) = 0;
  virtual int Interval() const = 0;
  virtual void SetEnabled(bool enabled) = 0;
  virtual bool Enabled() const = 0;
};

class TRuntime {
 public:
  virtual ~TRuntime() = default;
  // Monotonic milliseconds, for throttles and time windows.
  virtual int64_t MonotonicMs() const = 0;
  // Wall-clock time as days since 1899-12-30 (the stored date-time format).
  virtual double Now() const = 0;
  virtual std::unique_ptr<TTimer> CreateTimer(std::function<void()> onTick) = 0;
  // Lets the loop handle everything pending (input, timers, sockets), then returns.
  virtual void ProcessPendingMessages() = 0;
  // Runs `handler` once when the loop next becomes idle; replaces an earlier one.
  virtual void SetIdleHandler(std::function<void()> handler) = 0;
  virtual void ClearIdleHandler() = 0;

  // Any thread: runs `task` on the main thread soon, waking a waiting loop.
  virtual void Post(std::function<void()> task);
  // Sleeps until something arrives (input, a timer, a posted task), handles
  // what is pending, then returns: for loops that wait on a worker. The
  // defaults serve runtimes without a loop of their own (tools, tests): they
  // run posted tasks here, after waiting a few milliseconds at most.
  virtual void WaitForMessages();

 private:
  std::mutex PostedMutex;
  std::condition_variable PostedArrived;
  std::vector<std::function<void()>> Posted;
};

// Throttled message processing for long loops: at most every 100 ms.
class TMessagePump {
 public:
  explicit TMessagePump(TRuntime& runtime) : Runtime(runtime) {}
  // Called inside long loops; returns true when messages were processed.
  bool PumpMessages();
  // Called each time messages were processed (busy indicator animation).
  std::function<void()> OnPump;

 private:
  TRuntime& Runtime;
  int64_t LastPumpMs = INT64_MIN / 2;
};

}  // namespace tunevale
