#include "app/remote_continuation.h"

#include <algorithm>

namespace tunevale {

// Far enough back that the first command is never a continuation.
TContinuationWindow::TContinuationWindow(const TRuntime& runtime)
    : LastCommandTime(runtime.MonotonicMs() - 2 * HoldMs), Runtime(runtime) {}

bool TContinuationWindow::ContinuesAt(int64_t now) const {
  return now < LastCommandTime || now - LastCommandTime < WindowMs;
}

bool TContinuationWindow::Begin() {
  const int64_t now = Runtime.MonotonicMs();
  const bool continuation = ContinuesAt(now);
  LastCommandTime = now + HoldMs;
  return continuation;
}

bool TContinuationWindow::Note() {
  const int64_t now = Runtime.MonotonicMs();
  const bool continuation = ContinuesAt(now);
  LastCommandTime = std::max(LastCommandTime, now);
  return continuation;
}

void TContinuationWindow::Release() { LastCommandTime = Runtime.MonotonicMs() - 2 * HoldMs; }

void TContinuationWindow::End() { LastCommandTime = Runtime.MonotonicMs(); }

void TContinuationWindow::Hold() { LastCommandTime = Runtime.MonotonicMs() + HoldMs; }

}  // namespace tunevale
