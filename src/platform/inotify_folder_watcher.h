// The folder watcher over inotify. One watch per folder: the roots and every
// folder below them, added for folders that appear and dropped for folders
// that go. The owner polls Fd() for readability (a socket notifier on the
// main loop) and calls ProcessEvents(), which delivers through OnChange.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "library/folder_watcher.h"

namespace tunevale {

class TInotifyFolderWatcher : public TFolderWatcher {
 public:
  TInotifyFolderWatcher();
  ~TInotifyFolderWatcher() override;
  TInotifyFolderWatcher(const TInotifyFolderWatcher&) = delete;
  TInotifyFolderWatcher& operator=(const TInotifyFolderWatcher&) = delete;

  void SetRoots(const std::vector<std::string>& roots) override;

  // The inotify descriptor (non-blocking), -1 when inotify is unavailable.
  int Fd() const { return Fd_; }
  // Reads every queued notification and delivers the events; never blocks.
  void ProcessEvents();

  int WatchCount() const { return static_cast<int>(PathOfWatch.size()); }
  // True once a folder could not be watched because of the system's limit.
  bool LimitReached() const { return LimitReached_; }

 protected:
  // Adds a kernel watch: the descriptor, or -errno. Tests replace it to
  // run into the watch limit without changing the system's settings.
  virtual int AddWatch(const std::string& path, uint32_t mask);

 private:
  struct TPendingMove {
    uint32_t Cookie;
    size_t EventIndex;  // placeholder in the batch, resolved on the matching move-in
    bool IsDir;
  };

  // Watches `folder` and everything below it. With `found`, also reports
  // what already exists below it (it appeared before its watch did). Folders
  // left without a watch at the system's limit go to `unwatched`.
  void WatchTree(const std::string& folder, bool isRoot, std::vector<TFolderEvent>* found,
                 std::vector<TFolderEvent>& unwatched);
  void UnwatchTree(const std::string& folder);
  void RenameTree(const std::string& from, const std::string& to);
  void ForgetWatch(int wd);
  void ReportLimit();
  void HandleEvent(int wd, uint32_t mask, uint32_t cookie, const char* name,
                   std::vector<TFolderEvent>& batch, std::vector<TPendingMove>& moves);
  void Deliver(const std::vector<TFolderEvent>& batch);

  int Fd_ = -1;
  bool LimitReached_ = false;
  std::vector<std::string> Roots;
  std::unordered_map<int, std::string> PathOfWatch;
  std::map<std::string, int> WatchOfPath;  // ordered, so a subtree is one range
};

}  // namespace tunevale
