// The time window in which a "play" command continues the previous one
// instead of replacing the playlist. While a command is handled (and while
// start-up restores the previous state) `LastCommandTime` lies a day ahead,
// so commands that arrive meanwhile through the message pump only append.
#pragma once

#include <cstdint>

#include "util/runtime.h"

namespace tunevale {

class TContinuationWindow {
 public:
  static constexpr int64_t WindowMs = 500;
  static constexpr int64_t HoldMs = 24 * 60 * 60 * 1000;

  explicit TContinuationWindow(const TRuntime& runtime);

  // At the start of a command: whether it is a continuation (fewer than
  // 500 ms from LastCommandTime, or LastCommandTime still ahead); then holds
  // the window open until End.
  bool Begin();
  // At the end of a command (also one that failed): the window runs 500 ms
  // from now.
  void End();
  // Start-up holds the window while it adds its own command-line files.
  void Hold();
  // The next command is no continuation.
  void Release();
  // A command put aside for later: whether it is a continuation now. It
  // counts as a command, so the window runs on from now (a held one stays held).
  bool Note();

  // Monotonic milliseconds (TRuntime::MonotonicMs).
  int64_t LastCommandTime;

 private:
  bool ContinuesAt(int64_t now) const;

  const TRuntime& Runtime;
};

}  // namespace tunevale
