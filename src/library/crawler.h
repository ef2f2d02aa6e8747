// The crawler keeps the library in step with the files in the library folders:
// it runs the queued crawl tasks, reads the tags of new and changed files,
// drops tracks whose files are gone, and turns folder-watcher events and
// files the player happened to open into new tasks.
//
// Re-entrancy: a task run pumps messages after every file and every track, so
// timers, remote commands and user actions run in the middle of it. They may
// change the library, queue or clear tasks, change the settings or set
// CancelCrawl. Hence: a run never nests (the Crawling flag), every walk re-reads
// its counts and looks its objects up again at each step, and nothing keeps a
// track pointer across a pump.
//
// Tags of new files are read on worker threads a little ahead of the walk; the
// library itself is touched on the crawler's thread only, in the order of a
// plain walk, so the threads change how fast the library is built, not what it holds.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "library/folder_walk.h"
#include "library/folder_watcher.h"
#include "library/library.h"
#include "media/media_kind.h"
#include "media/metadata.h"
#include "util/runtime.h"

namespace tunevale {

class TTagPrefetcher;

class TCrawler {
 public:
  // Reads a file's tags; `fromLibrary` lets the library's stored copy answer.
  using TTagReader = std::function<uint8_t(const std::string& path, TMetaData& meta, bool fromLibrary)>;

  // The library's own settings decide "UseLibrary" and the folders at every step.
  // Without `readTags`, ReadTags is used, with the library answering from-library reads,
  // and the tags of new files are read ahead on one thread per core. A given reader runs
  // on the crawler's thread only.
  TCrawler(TLibrary& library, const TFileExtensions& extensions, TMessagePump& pump,
           TTagReader readTags = {});

  // Runs the first queued task, then every task still queued. Returns at once
  // when a run is already under way further up the stack.
  void ProcessCrawlTasks();
  // The busy indicator's "Cancel": ends the running task early.
  void CancelCrawlActionExecute();

  // How the rest of the player reads a file's tags: reads them into `meta` and
  // queues a crawl of the file's folder when the library should learn about it.
  // Returns the read result.
  uint8_t NoticeFile(const std::string& path, TMetaData& meta, bool fromLibrary);

  // Folder-watcher events: one path (created, deleted, updated...) or a rename.
  void ShellChange1(TFolderEventKind kind, const std::string& path);
  void ShellChange2(TFolderEventKind kind, const std::string& oldPath, const std::string& newPath);
  // Dispatches a watcher event to the handler for its kind.
  void HandleFolderEvent(const TFolderEvent& event);
  // Points the watcher at the library folders (resolved) and its events here;
  // called again whenever the library folders change.
  void WatchLibraryFolders(TFolderWatcher& watcher);
  // Folders the watcher could not watch tell nothing of their changes: queues a
  // search of each (recursive; unchanged files are not read again) that lies in
  // the library folders. False when there is none.
  bool QueueUnwatchedFolders();

  // How many times tags were read from files since the crawler was made (reads
  // made ahead and then not needed are not counted).
  uint64_t TagReads() const { return TagReadCount; }
  // Threads that read tags ahead of the walk; 0 reads each file when the walk gets to it.
  void SetReadThreads(unsigned threads) { ReadThreads = threads; }

  // Refills every library view; run after each task that left the lists stale
  // (and by the scheduler when they are). Errors it throws are ignored.
  std::function<void()> RefreshLibraryLists;
  // Asks for the crawl to start soon (the refresh timer set to 1000 ms).
  std::function<void()> RefreshSoon;

 private:
  void RunTask();
  std::unique_ptr<TTagPrefetcher> MakePrefetcher() const;
  void CrawlFolder(const std::string& folder, bool relative);
  bool MayEnter(const std::string& parent, const TWalkStep& folder);
  // The library's track of a file listed by the walk when its tags need no reading; else null.
  const TTrack* UnchangedTrack(const std::string& path, int32_t fileDate) const;
  void CrawlFile(const TWalkStep& step, bool relative, TTagPrefetcher* prefetcher, size_t ticket);
  void CheckCurrentFiles();
  void CheckItems(TLibraryItems& items);
  // True when the track's file should be treated as offline: every library
  // folder holding it is missing, or empty though the library has items in it
  // (an unmounted disk), so it is kept as it is until the folder has entries again.
  bool IsOffline(std::string_view path);
  bool IsUnderRelativeFolder(std::string_view path) const;
  bool MayEnterLinkedFolder(const std::string& parent, const std::string& link, dev_t device, ino_t inode);
  // Reads the file's tags (or takes those read ahead under `ticket`) and adds a
  // fresh track for it (replacing the old one).
  const TTrack* AddFreshTrack(const std::string& path, bool relative, int32_t fileDate,
                              TTagPrefetcher* prefetcher = nullptr, size_t ticket = 0);
  uint8_t ReadTags(const std::string& path, TMetaData& meta, bool fromLibrary);
  bool IsVerified(const TLibraryItem* item) const;
  bool Cancelled() const { return Library.Flags.CancelCrawl; }
  void QueueFolderOf(std::string_view path, bool forceReread);
  void NoteUnwatched(const std::string& folder);
  void AskRefreshSoon();

  TLibrary& Library;
  const TFileExtensions& Extensions;
  TMessagePump& Pump;
  TTagReader ReadTagsFunction;
  unsigned ReadThreads = 0;
  uint64_t TagReadCount = 0;

  // The task being run, its path normalised.
  TCrawlTask Task;
  std::string TaskFolder;  // Task.Path resolved against the program's folder
  // Items whose files were listed unchanged or read in this run, so the check that
  // follows needs no second look-up and reads nothing twice (a file that cannot be
  // read would otherwise be re-added behind the walk and read again forever).
  // Only compared, never dereferenced: an item freed meanwhile is harmless here.
  std::vector<const TLibraryItem*> Listed;  // by the search for files; sorted for the check
  std::unordered_set<const TLibraryItem*> ReadInCheck;
  // Library folders found offline in this check (resolved folder → missing or empty).
  std::unordered_map<std::string, bool> MissingRoots;
  // Folders the watcher reported without a watch, none inside another.
  std::vector<std::string> Unwatched;
  // Folders entered through a link in this run (device, inode).
  std::set<std::pair<dev_t, ino_t>> LinkedFolders;
};

}  // namespace tunevale
