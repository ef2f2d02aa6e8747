// The main window's modeless secondary windows (settings, introduction):
// each is freed by the next heartbeat after it was hidden, so a dialog that
// is shown again before that keeps what the user entered.
#pragma once

#include <functional>
#include <vector>

namespace tunevale {

class TSecondaryWindows {
 public:
  TSecondaryWindows() = default;
  TSecondaryWindows(const TSecondaryWindows&) = delete;
  TSecondaryWindows& operator=(const TSecondaryWindows&) = delete;

  // Keeps `window` until a heartbeat finds it hidden: `shown` tells whether
  // it still shows, `release` frees it. Adding a window again replaces its entry.
  void Add(const void* window, std::function<bool()> shown, std::function<void()> release);
  // Forgets a window freed some other way.
  void Remove(const void* window);
  bool Contains(const void* window) const;
  int Count() const { return static_cast<int>(Windows.size()); }
  // The heartbeat: frees every window that no longer shows.
  void FreeHidden();

 private:
  struct TEntry {
    const void* Window;
    std::function<bool()> Shown;
    std::function<void()> Release;
  };
  std::vector<TEntry> Windows;
};

}  // namespace tunevale
