// The queue of crawl tasks: what the crawler still has to look at, in arrival order.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tunevale {

struct TCrawlTask {
  std::string Path;          // empty: every library folder
  bool Recursive = false;    // descend into subfolders
  bool SearchNew = false;    // look for files the library does not know yet
  bool ForceReread = false;  // read tags again even when the time stamp is unchanged
};

class TCrawlTasks {
 public:
  // `crawling`, when given, is the library's Crawling flag: HasPendingTasks is
  // false while it is set. A queue without it (the settings dialog's) never
  // sees a crawl.
  explicit TCrawlTasks(const bool* crawling = nullptr) : Crawling(crawling) {}

  // Appends a task unless an equal one (same exact path, same flags) is queued.
  void AddTask(std::string_view path, bool recursive, bool searchNew, bool forceReread);
  // Every library folder, recursive, searching for new files.
  void QueueFullCrawl();
  // Every library folder, recursive, only checking the files already known.
  void QueueRecheck();

  int Count() const { return static_cast<int>(Tasks.size()); }
  const TCrawlTask& Task(int index) const { return Tasks[static_cast<size_t>(index)]; }
  // A task is queued and no crawl is running.
  bool HasPendingTasks() const;
  // Drops the first task; nothing happens on an empty queue.
  void PopFirst();
  void Clear() { Tasks.clear(); }

  // Called after a task was appended (the main window shortens its refresh
  // timer to 1000 ms there so the crawl starts soon).
  std::function<void()> OnTaskAdded;

 private:
  std::vector<TCrawlTask> Tasks;
  const bool* Crawling;
};

}  // namespace tunevale
