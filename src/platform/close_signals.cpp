#include "platform/close_signals.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>
#include <system_error>

namespace tunevale {

namespace {

constexpr int Signals[] = {SIGTERM, SIGINT, SIGHUP};
volatile sig_atomic_t WriteFd = -1;
struct sigaction Previous[3];

void RecordSignal(int signo) {
  const int savedErrno = errno;
  const unsigned char byte = static_cast<unsigned char>(signo);
  // A full pipe already says that a signal came.
  [[maybe_unused]] const ssize_t written = write(WriteFd, &byte, 1);
  errno = savedErrno;
}

}  // namespace

TCloseSignals::TCloseSignals() {
  if (WriteFd >= 0) throw std::logic_error("the close signals are already watched");
  int fds[2];
  if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
    throw std::system_error(errno, std::generic_category(), "pipe2");
  ReadFd = fds[0];
  WriteFd = fds[1];
  struct sigaction action = {};
  action.sa_handler = RecordSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int i = 0; i < 3; ++i) sigaction(Signals[i], &action, &Previous[i]);
}

TCloseSignals::~TCloseSignals() {
  for (int i = 0; i < 3; ++i) sigaction(Signals[i], &Previous[i], nullptr);
  close(WriteFd);
  WriteFd = -1;
  close(ReadFd);
}

int TCloseSignals::TakeSignal() {
  int last = 0;
  unsigned char buffer[64];
  for (;;) {
    const ssize_t n = read(ReadFd, buffer, sizeof buffer);
    if (n > 0) {
      last = buffer[n - 1];
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    return last;
  }
}

}  // namespace tunevale
