#include "library/crawl_tasks.h"

namespace tunevale {

void TCrawlTasks::AddTask(std::string_view path, bool recursive, bool searchNew, bool forceReread) {
  for (const TCrawlTask& t : Tasks)
    if (t.Path == path && t.Recursive == recursive && t.SearchNew == searchNew &&
        t.ForceReread == forceReread)
      return;
  Tasks.push_back({std::string(path), recursive, searchNew, forceReread});
  if (OnTaskAdded) OnTaskAdded();
}

void TCrawlTasks::QueueFullCrawl() { AddTask("", true, true, false); }

void TCrawlTasks::QueueRecheck() { AddTask("", true, false, false); }

bool TCrawlTasks::HasPendingTasks() const { return !Tasks.empty() && !(Crawling && *Crawling); }

void TCrawlTasks::PopFirst() {
  if (!Tasks.empty()) Tasks.erase(Tasks.begin());
}

}  // namespace tunevale
