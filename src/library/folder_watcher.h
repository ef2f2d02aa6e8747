// The folder-watcher port: tells the crawler what changed in the library
// folders. The platform layer implements it (inotify); the crawler turns the
// events into crawl tasks.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tunevale {

enum TFolderEventKind : uint8_t {
  fekCreated,         // a file appeared (created or moved in)
  fekDeleted,         // a file went away (deleted or moved out)
  fekFolderCreated,   // a folder appeared
  fekFolderRemoved,   // a folder went away
  fekFolderUpdated,   // a folder's contents changed in a way not told in detail
  fekUpdated,         // a file was written or its time stamp changed
  fekRenamed,         // a file moved from Path to NewPath, both watched
  fekFolderRenamed,   // a folder moved from Path to NewPath, both watched
  fekEventsLost,      // the system dropped notifications; Path is the watched root
  // Path and the folders below it got no watch (the system's limit): no news comes from there.
  fekUnwatched,
};

struct TFolderEvent {
  TFolderEventKind Kind = fekCreated;
  std::string Path;     // full path as the file system spells it
  std::string NewPath;  // the second path of a rename, empty otherwise

  bool operator==(const TFolderEvent&) const = default;
};

class TFolderWatcher {
 public:
  virtual ~TFolderWatcher() = default;
  // Watches these folders and every folder below them, replacing the set
  // watched before. Folders that do not exist are skipped; folders that cannot
  // be watched are reported (fekUnwatched) through OnChange before it returns.
  virtual void SetRoots(const std::vector<std::string>& roots) = 0;
  // Called on the main loop, once per change, in the order they happened.
  std::function<void(const TFolderEvent&)> OnChange;
};

}  // namespace tunevale
