// The instance lock: "instance.lock" in the runtime folder. Every player
// holds a shared flock on it for its whole life, so the lock is busy while
// any player runs (also several started with "/forcestart"), and the system
// frees it when a player ends in whatever way. Checks and takes happen under
// an exclusive flock on the folder itself, so two starts cannot both decide
// that they are the first.
#pragma once

#include <string>

namespace tunevale {

class TInstanceLock {
 public:
  // `folder`: the runtime folder, prepared (see runtime_folder.h).
  explicit TInstanceLock(std::string folder);
  ~TInstanceLock();
  TInstanceLock(const TInstanceLock&) = delete;
  TInstanceLock& operator=(const TInstanceLock&) = delete;

  // Takes this process's hold unless another process holds the lock; with
  // `force` it joins them. True when held afterwards. Raises
  // std::system_error when the lock file cannot be opened.
  bool Acquire(bool force);
  bool Held() const { return Fd >= 0; }
  void Release();
  // Whether the lock is held by anyone other than this object.
  bool HeldByOthers() const;

 private:
  std::string Folder;
  int Fd = -1;
};

}  // namespace tunevale
