// Session end (SIGTERM, SIGINT, SIGHUP) closes the player exactly as its
// close button does. The handler only records the signal in a self-pipe; the
// main loop watches Fd() and, when it becomes readable, calls TakeSignal and
// closes the window, so every save runs on the main thread as usual.
#pragma once

namespace tunevale {

class TCloseSignals {
 public:
  // Installs the handlers; one object per process. Raises std::system_error
  // when the pipe cannot be made.
  TCloseSignals();
  // Restores the handlers that were there before.
  ~TCloseSignals();
  TCloseSignals(const TCloseSignals&) = delete;
  TCloseSignals& operator=(const TCloseSignals&) = delete;

  // Readable once a signal arrived (non-blocking).
  int Fd() const { return ReadFd; }
  // Empties the pipe: the last signal received since the previous call, 0 when none.
  int TakeSignal();

 private:
  int ReadFd = -1;
};

}  // namespace tunevale
