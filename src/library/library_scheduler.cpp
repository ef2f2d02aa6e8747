#include "library/library_scheduler.h"

namespace tunevale {

TLibraryScheduler::TLibraryScheduler(TRuntime& runtime, TLibrary& library, TCrawler& crawler)
    : Runtime(runtime), Library(library), Crawler(crawler) {
  Timer = Runtime.CreateTimer([this] { RefreshTimerTimer(); });
  Timer->SetInterval(kIdleIntervalMs);
  Timer->SetEnabled(true);
  Library.CrawlTasks.OnTaskAdded = [this] { Timer->SetInterval(kBusyIntervalMs); };
  Crawler.RefreshSoon = [this] { Timer->SetInterval(kBusyIntervalMs); };
}

TLibraryScheduler::~TLibraryScheduler() {
  Library.CrawlTasks.OnTaskAdded = nullptr;
  Crawler.RefreshSoon = nullptr;
  Runtime.ClearIdleHandler();
}

void TLibraryScheduler::RefreshTimerTimer() {
  Timer->SetInterval(kIdleIntervalMs);
  QueueUnwatchedRescan();
  if (Library.Flags.ListsStale || RefreshViews || Library.CrawlTasks.HasPendingTasks())
    Runtime.SetIdleHandler([this] { ApplicationEventsIdle(); });
  if (AfterTick) AfterTick();
}

void TLibraryScheduler::QueueUnwatchedRescan() {
  if (Library.Crawling || Library.CrawlTasks.Count() > 0) return;
  const int64_t now = Runtime.MonotonicMs();
  if (LastRescanMs && now - *LastRescanMs < kUnwatchedRescanMs) return;
  if (Crawler.QueueUnwatchedFolders()) LastRescanMs = now;
}

void TLibraryScheduler::ApplicationEventsIdle() {
  // The runtime runs an idle handler once, so this needs no removing afterwards.
  if (RefreshViews && RebuildViews) {
    RefreshViews = false;
    RebuildViews();
  } else if (Library.Flags.ListsStale && Crawler.RefreshLibraryLists) {
    Crawler.RefreshLibraryLists();
  }
  // A crawl before the load is handed over would find every file unknown.
  if (Library.CrawlTasks.HasPendingTasks() && !Library.Loading) Crawler.ProcessCrawlTasks();
}

}  // namespace tunevale
