#include "media/file_source.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace tunevale {

TFileSource::~TFileSource() {
  if (Fd >= 0) ::close(Fd);
}

TFileSource::TOpenStatus TFileSource::Open(const std::string& path) {
  if (Fd >= 0) ::close(Fd);
  Fd = -1;
  FileSize = 0;
  // O_NONBLOCK keeps a FIFO or device named like a track from blocking the open.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return (errno == ENOENT || errno == ENOTDIR || errno == ENAMETOOLONG) ? osMissing : osFailed;
  struct stat st;
  if (::fstat(fd, &st) != 0) {
    ::close(fd);
    return osFailed;
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    return osMissing;
  }
  Fd = fd;
  FileSize = st.st_size;
  return osOpened;
}

int64_t TFileSource::ReadAt(int64_t offset, uint8_t* buffer, size_t count) {
  if (Fd < 0 || offset < 0) return -1;
  // Not past the size seen at the open: a short read there would cost a second call to find the end.
  if (offset >= FileSize) return 0;
  count = static_cast<size_t>(std::min<int64_t>(static_cast<int64_t>(count), FileSize - offset));
  size_t done = 0;
  while (done < count) {
    const ssize_t got = ::pread(Fd, buffer + done, count - done, static_cast<off_t>(offset + done));
    if (got < 0) {
      if (errno == EINTR) continue;
      return done > 0 ? static_cast<int64_t>(done) : -1;
    }
    if (got == 0) break;
    done += static_cast<size_t>(got);
  }
  return static_cast<int64_t>(done);
}

}  // namespace tunevale
