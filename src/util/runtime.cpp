#include "util/runtime.h"

#include <chrono>

namespace tunevale {

void TRuntime::Post(std::function<void()> task) {
  // Notified under the lock: the waiter may destroy the runtime once it ran the task.
  std::lock_guard lock(PostedMutex);
  Posted.push_back(std::move(task));
  PostedArrived.notify_one();
}

void TRuntime::WaitForMessages() {
  std::vector<std::function<void()>> tasks;
  {
    std::unique_lock lock(PostedMutex);
    PostedArrived.wait_for(lock, std::chrono::milliseconds(10), [this] { return !Posted.empty(); });
    tasks.swap(Posted);
  }
  for (auto& task : tasks) task();
  ProcessPendingMessages();
}

bool TMessagePump::PumpMessages() {
  const int64_t now = Runtime.MonotonicMs();
  if (now - LastPumpMs < 100) return false;
  if (OnPump) OnPump();
  Runtime.ProcessPendingMessages();
  LastPumpMs = Runtime.MonotonicMs();
  return true;
}

}  // namespace tunevale
