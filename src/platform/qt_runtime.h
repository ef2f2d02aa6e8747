// The runtime port on the Qt event loop (which on Linux also runs GLib's
// default context, so GStreamer's bus watch is served by the same loop).
#pragma once

#include <QElapsedTimer>
#include <QSocketNotifier>
#include <QTimer>
#include <functional>
#include <memory>

#include "util/runtime.h"

namespace tunevale {

class TQtRuntime : public TRuntime {
 public:
  TQtRuntime();
  ~TQtRuntime() override;

  int64_t MonotonicMs() const override { return Clock.elapsed(); }
  double Now() const override;
  std::unique_ptr<TTimer> CreateTimer(std::function<void()> onTick) override;
  void ProcessPendingMessages() override;
  // A zero-interval timer fires once the loop has handled everything queued:
  // that is the loop becoming idle.
  void SetIdleHandler(std::function<void()> handler) override;
  void ClearIdleHandler() override;
  // A queued call on the main thread's loop (Qt posts it thread-safely).
  void Post(std::function<void()> task) override;
  void WaitForMessages() override;

 private:
  QElapsedTimer Clock;
  QObject PostTarget;  // queued calls to it are dropped when the runtime goes
  QTimer IdleTimer;
  std::function<void()> IdleHandler;
};

// Calls `onReadable` on the main loop whenever `fd` has data (an inotify
// descriptor, a listening or connected socket), or with `write` whenever it
// can take more output. The fd stays the caller's.
class TFdWatcher {
 public:
  TFdWatcher(int fd, std::function<void()> onReadable, bool write = false);
  ~TFdWatcher();
  TFdWatcher(const TFdWatcher&) = delete;
  TFdWatcher& operator=(const TFdWatcher&) = delete;

 private:
  QSocketNotifier Notifier;
  std::function<void()> OnReadable;
};

}  // namespace tunevale
