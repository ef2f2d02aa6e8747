// When the library does its background work: the refresh timer (4000 ms,
// shortened to 1000 ms when work is queued) arms a one-shot idle handler that
// refills stale lists and runs the queued crawl tasks once the loop is idle.
#pragma once

#include <functional>
#include <memory>

#include "library/crawler.h"
#include "library/library.h"
#include "util/runtime.h"

namespace tunevale {

class TLibraryScheduler {
 public:
  static constexpr int kIdleIntervalMs = 4000;
  static constexpr int kBusyIntervalMs = 1000;

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

  // The rest of the window's heartbeat, run after each tick (freeing hidden
  // secondary windows).
  std::function<void()> AfterTick;

 private:
  TRuntime& Runtime;
  TLibrary& Library;
  TCrawler& Crawler;
  std::unique_ptr<TTimer> Timer;
};

}  // namespace tunevale
