#include "platform/instance_lock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <system_error>
#include <unistd.h>

#include "util/path.h"

namespace tunevale {

namespace {

int OpenOrThrow(const std::string& path, int flags) {
  for (;;) {
    const int fd = open(path.c_str(), flags | O_CLOEXEC, 0600);
    if (fd >= 0) return fd;
    if (errno != EINTR) throw std::system_error(errno, std::generic_category(), "open " + path);
  }
}

int Flock(int fd, int operation) {
  int rc;
  do rc = flock(fd, operation);
  while (rc != 0 && errno == EINTR);
  return rc;
}

// Holds the folder's flock for the lifetime of the object.
class TFolderGuard {
 public:
  explicit TFolderGuard(const std::string& folder) : Fd(OpenOrThrow(folder, O_RDONLY | O_DIRECTORY)) {
    if (Flock(Fd, LOCK_EX) != 0) {
      const int error = errno;
      close(Fd);
      throw std::system_error(error, std::generic_category(), "flock " + folder);
    }
  }
  ~TFolderGuard() { close(Fd); }

 private:
  int Fd;
};

}  // namespace

TInstanceLock::TInstanceLock(std::string folder) : Folder(ExcludeTrailingSlash(folder)) {}

TInstanceLock::~TInstanceLock() { Release(); }

bool TInstanceLock::Acquire(bool force) {
  if (Held()) return true;
  const TFolderGuard guard(Folder);
  const int fd = OpenOrThrow(Folder + "/instance.lock", O_RDWR | O_CREAT);
  // Nobody else can take or probe the lock while the guard is held, so the
  // exclusive probe and the change to shared cannot be overtaken.
  const bool alone = Flock(fd, LOCK_EX | LOCK_NB) == 0;
  if (!alone && !force) {
    close(fd);
    return false;
  }
  if (Flock(fd, LOCK_SH) != 0) {
    const int error = errno;
    close(fd);
    throw std::system_error(error, std::generic_category(), "flock instance.lock");
  }
  Fd = fd;
  return true;
}

void TInstanceLock::Release() {
  if (Fd >= 0) close(Fd);
  Fd = -1;
}

bool TInstanceLock::HeldByOthers() const {
  const TFolderGuard guard(Folder);
  const int fd = OpenOrThrow(Folder + "/instance.lock", O_RDWR | O_CREAT);
  bool others;
  if (Held()) {
    // Our own shared hold would block an exclusive probe; release it under
    // the guard and take it back, so nothing can slip in between.
    Flock(Fd, LOCK_UN);
    others = Flock(fd, LOCK_EX | LOCK_NB) != 0;
    Flock(fd, LOCK_UN);
    Flock(Fd, LOCK_SH);
  } else {
    others = Flock(fd, LOCK_EX | LOCK_NB) != 0;
  }
  close(fd);
  return others;
}

}  // namespace tunevale
