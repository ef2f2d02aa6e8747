#include "app/remote_continuation.h"

namespace tunevale {

// Far enough back that the first command is never a continuation.
TContinuationWindow::TContinuationWindow(const TRuntime& runtime)
    : LastCommandTime(runtime.MonotonicMs() - 2 * HoldMs), Runtime(runtime) {}

bool TContinuationWindow::Begin() {
  const int64_t now = Runtime.MonotonicMs();
  const bool continuation = now < LastCommandTime || now - LastCommandTime < WindowMs;
  LastCommandTime = now + HoldMs;
  return continuation;
}

void TContinuationWindow::End() { LastCommandTime = Runtime.MonotonicMs(); }

void TContinuationWindow::Hold() { LastCommandTime = Runtime.MonotonicMs() + HoldMs; }

}  // namespace tunevale
