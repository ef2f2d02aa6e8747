// A library over a temporary folder with its crawler, on a fake runtime; and
// the crawl task queue as plain values, for comparing.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "library/crawler.h"
#include "library/library.h"
#include "support/fake_runtime.h"
#include "support/temp_folder.h"

namespace tunevale::test {

struct TTaskView {
  std::string Path;
  bool Recursive = false, SearchNew = false, ForceReread = false;
  bool operator==(const TTaskView&) const = default;
};

inline void PrintTo(const TTaskView& t, std::ostream* os) {
  *os << "{" << t.Path << (t.Recursive ? " recursive" : "") << (t.SearchNew ? " search-new" : "")
      << (t.ForceReread ? " forced" : "") << "}";
}

inline std::vector<TTaskView> QueuedTasks(const TLibrary& library) {
  std::vector<TTaskView> out;
  for (int i = 0; i < library.CrawlTasks.Count(); ++i) {
    const TCrawlTask& t = library.CrawlTasks.Task(i);
    out.push_back({t.Path, t.Recursive, t.SearchNew, t.ForceReread});
  }
  return out;
}

struct TCrawlerRig {
  TTempFolder Dir;
  TLibrarySettings Settings;
  TLibrary Library{Settings, Dir / "Program"};
  TFileExtensions Extensions;
  TFakeRuntime Runtime;
  TMessagePump Pump{Runtime};
  TCrawler Crawler{Library, Extensions, Pump};
};

}  // namespace tunevale::test
