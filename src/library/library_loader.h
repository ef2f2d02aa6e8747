// Reads "Library.db" and builds the library on a worker thread, so the window
// and the remote clients go on meanwhile. The worker fills a library of its
// own (with a copy of the settings); the finished tree is handed to the main
// thread's library by a task posted to the runtime.
//
// Until the hand-over the main library stays what an unloaded library is:
// Loading set (saves wait), Loaded clear (Contains answers true, so nothing
// is queued for it), no tracks. The hand-over runs between two messages of the
// main loop, so it may land inside a loop that pumps messages (a restore, a
// refill); those loops re-read the library's counts on every step.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "library/library.h"
#include "util/runtime.h"

namespace tunevale {

class TLibraryLoader {
 public:
  TLibraryLoader(TRuntime& runtime, TLibrary& library);
  // A load under way is given up: the worker stops at its next record and
  // nothing is handed over.
  ~TLibraryLoader();
  TLibraryLoader(const TLibraryLoader&) = delete;
  TLibraryLoader& operator=(const TLibraryLoader&) = delete;

  // Starts loading `fileName` (see LoadLibrary) unless a load runs already.
  // `loaded` runs on the main thread right after the hand-over.
  void Start(const std::string& fileName, int settingsBuild, std::function<void()> loaded);
  // A load has started and is not handed over yet.
  bool Running() const { return Job != nullptr; }
  // Handles messages until the load under way is handed over (tools, tests).
  void Wait();

 private:
  struct TJob;
  void HandOver(TJob& job);

  TRuntime& Runtime;
  TLibrary& Library;
  std::shared_ptr<TJob> Job;
  std::thread Worker;
};

}  // namespace tunevale
