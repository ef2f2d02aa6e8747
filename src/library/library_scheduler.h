// When the library does its background work: the refresh timer (4000 ms,
// shortened to 1000 ms when work is queued) arms a one-shot idle handler that
// refills stale lists and runs the queued crawl tasks once the loop is idle.
// Folders the watcher could not watch are searched again from the same timer,
// at most every kUnwatchedRescanMs, when no other crawl work is waiting.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "library/crawler.h"
#include "library/library.h"
#include "util/runtime.h"

namespace tunevale {

class TLibraryScheduler {
 public:
  static constexpr int kIdleIntervalMs = 4000;
  static constexpr int kBusyIntervalMs = 1000;
  static constexpr int64_t kUnwatchedRescanMs = 30000;

  // Starts the refresh timer and hooks the task queue and the crawler so that
  // queued work starts about a second later.
  TLibraryScheduler(TRuntime& runtime, TLibrary& library, TCrawler& crawler);
  ~TLibraryScheduler();
  TLibraryScheduler(const TLibraryScheduler&) = delete;
  TLibraryScheduler& operator=(const TLibraryScheduler&) = delete;

  // The list refill tunes the interval after each refill, so the timer is shared.
  TTimer& RefreshTimer() { return *Timer; }

  void RefreshTimerTimer();
  void ApplicationEventsIdle();

  // Set when a setting changed what the views show: the next idle moment
  // calls RebuildViews (the remembered queries forgotten, every view refilled).
  bool RefreshViews = false;
  std::function<void()> RebuildViews;

  // The rest of the window's heartbeat, run after each tick (freeing hidden
  // secondary windows).
  std::function<void()> AfterTick;

 private:
  void QueueUnwatchedRescan();

  TRuntime& Runtime;
  TLibrary& Library;
  TCrawler& Crawler;
  std::unique_ptr<TTimer> Timer;
  std::optional<int64_t> LastRescanMs;
};

}  // namespace tunevale
