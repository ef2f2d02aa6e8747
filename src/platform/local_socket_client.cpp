#include "platform/local_socket_client.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

namespace tunevale {

namespace {

long long NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

long long DeadlineFrom(int timeoutMs) { return timeoutMs < 0 ? -1 : NowMs() + timeoutMs; }

// Milliseconds left for poll: -1 without deadline, 0 once it passed.
int RemainingMs(long long deadlineMs) {
  if (deadlineMs < 0) return -1;
  const long long left = deadlineMs - NowMs();
  return left <= 0 ? 0 : static_cast<int>(std::min(left, 1000000LL));
}

}  // namespace

TLocalSocketClient::~TLocalSocketClient() { Close(); }

void TLocalSocketClient::Close() {
  if (Fd >= 0) close(Fd);
  Fd = -1;
  Reader = TFrameReader(1u << 30);
}

bool TLocalSocketClient::Connect(const std::string& path, int timeoutMs) {
  Close();
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.size() >= sizeof(address.sun_path)) {
    errno = ENAMETOOLONG;
    return false;
  }
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  const long long deadline = DeadlineFrom(timeoutMs);
  for (;;) {
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) return false;
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0) {
      Fd = fd;
      return true;
    }
    const int error = errno;
    close(fd);
    // A full accept queue answers EAGAIN at once; wait for room a while.
    if (error != EAGAIN || RemainingMs(deadline) == 0) {
      errno = error == EAGAIN ? ETIMEDOUT : error;
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

TLocalSocketClient::TResult TLocalSocketClient::WriteAll(std::string_view bytes, long long deadlineMs) {
  while (!bytes.empty()) {
    const ssize_t n = send(Fd, bytes.data(), bytes.size(), MSG_DONTWAIT | MSG_NOSIGNAL);
    if (n > 0) {
      bytes.remove_prefix(static_cast<size_t>(n));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return errno == EPIPE || errno == ECONNRESET ? crClosed : crFailed;
    pollfd p{Fd, POLLOUT, 0};
    const int ready = poll(&p, 1, RemainingMs(deadlineMs));
    if (ready == 0) return crTimedOut;
    if (ready < 0 && errno != EINTR) return crFailed;
  }
  return crDone;
}

TLocalSocketClient::TResult TLocalSocketClient::WaitReadable(long long deadlineMs) {
  for (;;) {
    pollfd p{Fd, POLLIN, 0};
    const int ready = poll(&p, 1, RemainingMs(deadlineMs));
    if (ready > 0) return crDone;
    if (ready == 0) return crTimedOut;
    if (errno != EINTR) return crFailed;
  }
}

TLocalSocketClient::TResult TLocalSocketClient::ReadFrame(std::string& frame, int timeoutMs) {
  if (Fd < 0) return crFailed;
  const long long deadline = DeadlineFrom(timeoutMs);
  char buffer[65536];
  for (;;) {
    if (auto next = Reader.Next()) {
      frame = std::move(*next);
      return crDone;
    }
    const TResult waited = WaitReadable(deadline);
    if (waited != crDone) return waited;
    const ssize_t n = recv(Fd, buffer, sizeof(buffer), MSG_DONTWAIT);
    if (n > 0) {
      Reader.Feed(std::string_view(buffer, static_cast<size_t>(n)));
      if (Reader.Overflowed()) return crFailed;
    } else if (n == 0) {
      return crClosed;
    } else if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK) {
      return errno == ECONNRESET ? crClosed : crFailed;
    }
  }
}

TLocalSocketClient::TResult TLocalSocketClient::Send(std::string_view text,
                                                     const std::function<void(std::string_view)>& onReply,
                                                     int timeoutMs) {
  if (Fd < 0) return crFailed;
  const long long deadline = DeadlineFrom(timeoutMs);
  std::string bytes;
  AppendFrame(bytes, text);
  const TResult written = WriteAll(bytes, deadline);
  if (written != crDone) return written;
  std::string frame;
  for (;;) {
    const TResult read = ReadFrame(frame, RemainingMs(deadline));
    if (read != crDone) return read;
    if (frame.empty()) return crDone;
    if (onReply) onReply(frame);
  }
}

}  // namespace tunevale
