#include "util/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <random>

#include "util/path.h"

namespace tunevale {

namespace {

// Temporaries are the file's name, this, and six letters or digits (mkstemp's pattern).
constexpr std::string_view kTemporaryInfix = ".tmp-";
constexpr size_t kTemporarySuffix = 6;

// Set while the program starts up: temporaries older than this are no one's.
const timespec ProcessStart = [] {
  timespec now{};
  ::clock_gettime(CLOCK_REALTIME, &now);
  return now;
}();

bool Fail(std::string* error, const std::string& what) {
  if (error) *error = what + ": " + std::strerror(errno);
  return false;
}

bool WriteAll(int fd, std::string_view content) {
  size_t done = 0;
  while (done < content.size()) {
    const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

std::string FolderOf(const std::string& path) {
  const std::string dir = ExtractFileDir(path);
  return dir.empty() ? "." : dir;
}

// A file without a name in `folder`: if the process ends before it is linked,
// the system frees it. -1 when the file system cannot make one (or /proc,
// through which it is linked, is not there).
int OpenUnnamed(const std::string& folder, mode_t mode) {
  if (::access("/proc/self/fd", X_OK) != 0) return -1;
  return ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, mode);
}

// Gives the unnamed file a fresh temporary name beside `path`, in `tmp`.
bool LinkUnnamed(int fd, const std::string& path, std::string& tmp) {
  static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  thread_local std::mt19937 random{std::random_device{}()};
  char self[40];
  std::snprintf(self, sizeof self, "/proc/self/fd/%d", fd);
  for (int attempt = 0; attempt < 100; ++attempt) {
    tmp = path + std::string(kTemporaryInfix);
    for (size_t i = 0; i < kTemporarySuffix; ++i) tmp += kLetters[random() % (sizeof kLetters - 1)];
    if (::linkat(AT_FDCWD, self, AT_FDCWD, tmp.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
    if (errno != EEXIST) break;
  }
  tmp.clear();
  return false;
}

// A named temporary beside `path` (for file systems without unnamed files).
int OpenNamed(const std::string& path, mode_t mode, std::string& tmp) {
  tmp = path + std::string(kTemporaryInfix) + std::string(kTemporarySuffix, 'X');
  const int fd = ::mkostemp(tmp.data(), O_CLOEXEC);
  if (fd < 0) {
    tmp.clear();
    return -1;
  }
  // mkstemp creates 0600; owned files get `mode` less the umask.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  ::fchmod(fd, mode & ~mask);
  return fd;
}

bool IsOwnTemporaryName(std::string_view name, std::string_view fileName) {
  if (name.size() != fileName.size() + kTemporaryInfix.size() + kTemporarySuffix) return false;
  if (name.substr(0, fileName.size()) != fileName ||
      name.substr(fileName.size(), kTemporaryInfix.size()) != kTemporaryInfix)
    return false;
  for (const char c : name.substr(name.size() - kTemporarySuffix))
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return false;
  return true;
}

bool OlderThanProcess(const timespec& t) {
  return t.tv_sec < ProcessStart.tv_sec ||
         (t.tv_sec == ProcessStart.tv_sec && t.tv_nsec < ProcessStart.tv_nsec);
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view content, std::string* error,
                         unsigned mode) {
  return WriteFileAtomically(
      path, [content](const TPieceWriter& write) { return write(content); }, error, mode);
}

bool WriteFileAtomically(const std::string& path, const std::function<bool(const TPieceWriter&)>& produce,
                         std::string* error, unsigned mode) {
  // The content goes into a file without a name, so a process killed while
  // writing leaves nothing behind; it gets a name only once it is complete.
  std::string tmp;
  int fd = OpenUnnamed(FolderOf(path), static_cast<mode_t>(mode));
  const bool unnamed = fd >= 0;
  if (!unnamed) fd = OpenNamed(path, static_cast<mode_t>(mode), tmp);
  if (fd < 0) return Fail(error, "cannot create a temporary file beside " + path);
  bool ok = produce([fd](std::string_view piece) { return WriteAll(fd, piece); }) && ::fsync(fd) == 0;
  if (!ok) Fail(error, "cannot write a temporary file beside " + path);
  if (ok && unnamed && !LinkUnnamed(fd, path, tmp))
    ok = Fail(error, "cannot name a temporary file beside " + path);
  if (::close(fd) != 0 && ok) ok = Fail(error, "cannot close " + tmp);
  if (ok && ::rename(tmp.c_str(), path.c_str()) != 0) ok = Fail(error, "cannot replace " + path);
  if (!ok) {
    if (!tmp.empty()) ::unlink(tmp.c_str());
    return false;
  }
  // Make the rename itself durable.
  const int dfd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dfd >= 0) {
    ::fsync(dfd);
    ::close(dfd);
  }
  return true;
}

int RemoveStaleTemporaries(const std::string& path) {
  const std::string folder = FolderOf(path);
  const std::string fileName = ExtractFileName(path);
  DIR* dir = ::opendir(folder.c_str());
  if (!dir) return 0;
  int removed = 0;
  while (const dirent* entry = ::readdir(dir)) {
    if (!IsOwnTemporaryName(entry->d_name, fileName)) continue;
    struct stat st {};
    if (::fstatat(::dirfd(dir), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) ||
        !OlderThanProcess(st.st_mtim))
      continue;
    removed += ::unlinkat(::dirfd(dir), entry->d_name, 0) == 0;
  }
  ::closedir(dir);
  return removed;
}

namespace {

// Reads `fd` to its end and closes it; false on an error or past `maxBytes`.
bool ReadAndClose(int fd, size_t maxBytes, std::string& content) {
  content.clear();
  struct stat st {};
  if (::fstat(fd, &st) == 0 && st.st_size > 0)
    content.reserve(std::min(static_cast<size_t>(st.st_size), maxBytes));
  char buf[65536];
  bool ok = true;
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0 || static_cast<size_t>(n) > maxBytes - content.size()) {
      ok = n == 0;
      break;
    }
    content.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return ok;
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::string& content) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  return fd >= 0 && ReadAndClose(fd, SIZE_MAX, content);
}

bool ReadRegularFile(const std::string& path, size_t maxBytes, std::string& content) {
  // Not blocking: opening a FIFO would wait for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || static_cast<uint64_t>(st.st_size) > maxBytes) {
    ::close(fd);
    return false;
  }
  // The size is checked again while reading: the file may grow meanwhile.
  return ReadAndClose(fd, maxBytes, content);
}

}  // namespace tunevale
