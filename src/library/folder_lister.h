// Lists folders on worker threads ahead of a walk that is about to enter them,
// so the walk's thread spends its time on the entries rather than in system
// calls. The workers go depth first from every folder listed, as the walk does.
// The walk still decides what it enters: a listing made ahead is only handed
// over when asked for, and those of folders it passes by are dropped.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <map>
#include <vector>

#include "library/folder_walk.h"

namespace tunevale {

class TFolderLister {
 public:
  // The workers start with the first queued listing.
  TFolderLister(unsigned threads, const TFileExtensions& extensions);
  // Stops the workers after the listings under way and joins them.
  ~TFolderLister();
  TFolderLister(const TFolderLister&) = delete;
  TFolderLister& operator=(const TFolderLister&) = delete;

  // The listing of `listing.Prefix` (ending in "/"), waiting for the worker
  // making it, or made here when none has started it; the folders in it are
  // listed ahead from then on. False when the folder cannot be listed.
  bool Take(TFolderListing& listing);
  // The walk will not enter `prefix`: its listing and those below it are dropped.
  void Forget(const std::string& prefix);

 private:
  struct TJob {
    TFolderListing Listing;
    bool Claimed = false;  // by a worker, or by Take/Forget before one got to it
    bool Taken = false;    // by Take or Forget: no longer in Jobs
    bool Forgotten = false;
    bool Done = false;     // by a worker
    bool Retry = false;    // the worker failed: Take lists it itself
    bool Listed = false;
  };

  void Work();
  // The rest are called with the lock held.
  void QueueBelow(const TFolderListing& listing);
  void Release(TJob& job);

  const unsigned ThreadCount;
  const TFileExtensions& Extensions;
  std::mutex Mutex;
  std::condition_variable Wake;  // a listing was queued or taken, or stop
  std::condition_variable Done;  // a listing was finished
  std::map<std::string, std::shared_ptr<TJob>> Jobs;  // queued and not yet taken; a folder's below it
  std::deque<std::shared_ptr<TJob>> Waiting;                    // front first; claimed ones are skipped
  size_t Ready = 0;  // finished and not yet taken: bounds the memory held ahead
  bool Stopping = false;
  std::vector<std::thread> Workers;
};

}  // namespace tunevale
