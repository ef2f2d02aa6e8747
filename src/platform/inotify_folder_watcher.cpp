#include "platform/inotify_folder_watcher.h"

#include <dirent.h>
#include <errno.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <deque>
#include <string_view>

#include "util/path.h"

namespace tunevale {

namespace {

constexpr uint32_t WatchMask = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_CLOSE_WRITE |
                               IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR | IN_EXCL_UNLINK;

std::string JoinPath(const std::string& folder, const char* name) {
  std::string path = folder;
  if (path.empty() || path.back() != '/') path += '/';
  path += name;
  return path;
}

bool IsFolderEntry(const std::string& folder, const dirent* entry) {
  if (entry->d_type == DT_DIR) return true;
  if (entry->d_type != DT_UNKNOWN) return false;
  struct stat st;
  return lstat(JoinPath(folder, entry->d_name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

TInotifyFolderWatcher::TInotifyFolderWatcher() {
  Fd_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (Fd_ < 0)
    std::fprintf(stderr, "tunevale: folder monitoring is off: inotify is unavailable (%s)\n",
                 std::strerror(errno));
}

TInotifyFolderWatcher::~TInotifyFolderWatcher() {
  if (Fd_ >= 0) close(Fd_);
}

int TInotifyFolderWatcher::AddWatch(const std::string& path, uint32_t mask) {
  const int wd = inotify_add_watch(Fd_, path.c_str(), mask);
  return wd >= 0 ? wd : -errno;
}

void TInotifyFolderWatcher::ReportLimit() {
  if (LimitReached_) return;
  LimitReached_ = true;
  std::fputs(
      "tunevale: the system's limit of inotify watches is reached; library folders without a watch are "
      "searched again every little while instead. To raise the limit: "
      "sudo sysctl fs.inotify.max_user_watches=524288 (a line fs.inotify.max_user_watches=524288 in a "
      "file in /etc/sysctl.d/ keeps it)\n",
      stderr);
}

void TInotifyFolderWatcher::SetRoots(const std::vector<std::string>& roots) {
  if (Fd_ < 0) return;
  for (const auto& [wd, path] : PathOfWatch) inotify_rm_watch(Fd_, wd);
  PathOfWatch.clear();
  WatchOfPath.clear();
  Roots.clear();
  std::vector<TFolderEvent> unwatched;
  for (const std::string& root : roots) {
    if (root.empty()) continue;
    std::string folder = root;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    Roots.push_back(folder);
    WatchTree(folder, true, nullptr, unwatched);
  }
  Deliver(unwatched);
}

void TInotifyFolderWatcher::WatchTree(const std::string& folder, bool isRoot,
                                      std::vector<TFolderEvent>* found,
                                      std::vector<TFolderEvent>& unwatched) {
  // Breadth first, so a deep tree cannot exhaust the stack.
  std::deque<std::string> pending{folder};
  bool first = true;
  while (!pending.empty()) {
    std::string current = std::move(pending.front());
    pending.pop_front();
    // A root may be a symbolic link to the real folder; below it links are not followed,
    // which also keeps a link loop from being walked forever.
    const uint32_t mask = WatchMask | (isRoot && first ? 0u : uint32_t{IN_DONT_FOLLOW});
    first = false;
    const int wd = AddWatch(current, mask);
    if (wd < 0) {
      if (wd == -ENOSPC || wd == -ENOMEM) {
        ReportLimit();
        // This folder and those still to be walked, each with what lies below it.
        unwatched.push_back({fekUnwatched, std::move(current), {}});
        for (std::string& rest : pending) unwatched.push_back({fekUnwatched, std::move(rest), {}});
        return;
      }
      continue;  // gone already, or not readable: skipped like the crawler skips it
    }
    // The same folder reached twice (a bind mount): keep the first name, don't walk it again.
    if (auto known = PathOfWatch.find(wd); known != PathOfWatch.end() && known->second != current)
      continue;
    PathOfWatch[wd] = current;
    WatchOfPath[current] = wd;

    DIR* dir = opendir(current.c_str());
    if (!dir) continue;
    while (const dirent* entry = readdir(dir)) {
      const std::string_view name = entry->d_name;
      if (name == "." || name == "..") continue;
      std::string child = JoinPath(current, entry->d_name);
      if (IsFolderEntry(current, entry)) {
        if (found) found->push_back({fekFolderCreated, child, {}});
        pending.push_back(std::move(child));
      } else if (found) {
        found->push_back({fekCreated, std::move(child), {}});
      }
    }
    closedir(dir);
  }
}

void TInotifyFolderWatcher::ForgetWatch(int wd) {
  auto it = PathOfWatch.find(wd);
  if (it == PathOfWatch.end()) return;
  auto back = WatchOfPath.find(it->second);
  if (back != WatchOfPath.end() && back->second == wd) WatchOfPath.erase(back);
  PathOfWatch.erase(it);
}

void TInotifyFolderWatcher::UnwatchTree(const std::string& folder) {
  std::vector<int> gone;
  if (auto it = WatchOfPath.find(folder); it != WatchOfPath.end()) gone.push_back(it->second);
  for (auto it = WatchOfPath.upper_bound(folder);
       it != WatchOfPath.end() && IsPathInFolder(it->first, folder); ++it)
    gone.push_back(it->second);
  for (int wd : gone) {
    // The folder may still exist elsewhere (moved out), so its watch must be removed explicitly.
    inotify_rm_watch(Fd_, wd);
    ForgetWatch(wd);
  }
}

void TInotifyFolderWatcher::RenameTree(const std::string& from, const std::string& to) {
  // The kernel keeps the watches of a moved folder; only our names for them change.
  std::vector<std::pair<std::string, int>> moved;
  if (auto it = WatchOfPath.find(from); it != WatchOfPath.end()) moved.emplace_back(it->first, it->second);
  for (auto it = WatchOfPath.upper_bound(from); it != WatchOfPath.end() && IsPathInFolder(it->first, from);
       ++it)
    moved.emplace_back(it->first, it->second);
  for (const auto& [oldPath, wd] : moved) {
    WatchOfPath.erase(oldPath);
    std::string newPath = to + oldPath.substr(from.size());
    PathOfWatch[wd] = newPath;
    WatchOfPath[newPath] = wd;
  }
}

void TInotifyFolderWatcher::HandleEvent(int wd, uint32_t mask, uint32_t cookie, const char* name,
                                        std::vector<TFolderEvent>& batch,
                                        std::vector<TPendingMove>& moves) {
  if (mask & IN_Q_OVERFLOW) {
    for (const std::string& root : Roots) batch.push_back({fekEventsLost, root, {}});
    return;
  }
  auto watch = PathOfWatch.find(wd);
  if (watch == PathOfWatch.end()) return;  // a watch dropped earlier; its last words don't matter
  const std::string folder = watch->second;
  if (mask & IN_IGNORED) {
    ForgetWatch(wd);
    return;
  }
  const bool isRoot = std::find(Roots.begin(), Roots.end(), folder) != Roots.end();
  if (mask & (IN_DELETE_SELF | IN_MOVE_SELF)) {
    // Below a root the parent's watch has told this already; a root itself has no parent watch.
    if (isRoot) {
      UnwatchTree(folder);
      batch.push_back({fekFolderRemoved, folder, {}});
    }
    return;
  }
  if (!name || !*name) return;
  const std::string path = JoinPath(folder, name);
  const bool isDir = (mask & IN_ISDIR) != 0;

  if (mask & IN_MOVED_FROM) {
    // Becomes a rename if the matching move-in follows, else a removal (see Deliver).
    moves.push_back({cookie, batch.size(), isDir});
    batch.push_back({isDir ? fekFolderRemoved : fekDeleted, path, {}});
    return;
  }
  if (mask & IN_MOVED_TO) {
    for (auto it = moves.begin(); it != moves.end(); ++it) {
      if (it->Cookie != cookie) continue;
      TFolderEvent& from = batch[it->EventIndex];
      from.Kind = isDir ? fekFolderRenamed : fekRenamed;
      from.NewPath = path;
      if (isDir) RenameTree(from.Path, path);
      moves.erase(it);
      return;
    }
    batch.push_back({isDir ? fekFolderCreated : fekCreated, path, {}});
    if (isDir) WatchTree(path, false, &batch, batch);
    return;
  }
  if (mask & IN_CREATE) {
    batch.push_back({isDir ? fekFolderCreated : fekCreated, path, {}});
    // Files made in the new folder before its watch existed are reported from a listing.
    if (isDir) WatchTree(path, false, &batch, batch);
    return;
  }
  if (mask & IN_DELETE) {
    batch.push_back({isDir ? fekFolderRemoved : fekDeleted, path, {}});
    return;
  }
  if ((mask & (IN_CLOSE_WRITE | IN_ATTRIB)) && !isDir) batch.push_back({fekUpdated, path, {}});
}

void TInotifyFolderWatcher::ProcessEvents() {
  if (Fd_ < 0) return;
  std::vector<TFolderEvent> batch;
  std::vector<TPendingMove> moves;
  alignas(inotify_event) char buffer[64 * 1024];
  // The kernel queues both halves of a rename together, so reading until the queue is
  // empty sees the move-in of every move-out that has one.
  for (;;) {
    const ssize_t n = read(Fd_, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    for (ssize_t offset = 0; offset + static_cast<ssize_t>(sizeof(inotify_event)) <= n;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
      HandleEvent(event->wd, event->mask, event->cookie, event->len ? event->name : nullptr, batch, moves);
      offset += sizeof(inotify_event) + event->len;
    }
  }
  // Unmatched move-outs stay removals; the folder left the watched tree.
  for (const TPendingMove& move : moves)
    if (move.IsDir) UnwatchTree(batch[move.EventIndex].Path);
  Deliver(batch);
}

void TInotifyFolderWatcher::Deliver(const std::vector<TFolderEvent>& batch) {
  // Repeats are dropped within what arrived together (a burst of writes). The same
  // change in a later batch is news: the file changed again after it was looked at.
  const TFolderEvent* last = nullptr;
  for (const TFolderEvent& event : batch) {
    if (last && event == *last) continue;
    last = &event;
    if (OnChange) OnChange(event);
  }
}

}  // namespace tunevale
