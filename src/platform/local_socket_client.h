// A client connection to one player's socket: sends frames and reads the
// frames that come back. Every wait has a deadline, so a player that hangs
// cannot hang the sender.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "app/remote_frame.h"

namespace tunevale {

class TLocalSocketClient {
 public:
  TLocalSocketClient() = default;
  ~TLocalSocketClient();
  TLocalSocketClient(const TLocalSocketClient&) = delete;
  TLocalSocketClient& operator=(const TLocalSocketClient&) = delete;

  // Connects to the socket at `path`; false with errno set when nobody
  // listens there (ECONNREFUSED, ENOENT) or the wait for room in the
  // player's queue ran out (ETIMEDOUT).
  bool Connect(const std::string& path, int timeoutMs = 2000);
  bool Connected() const { return Fd >= 0; }
  void Close();
  int Descriptor() const { return Fd; }

  enum TResult {
    crDone,      // Send: the empty frame arrived; ReadFrame: a frame arrived
    crClosed,    // the player closed the connection (for instance it ended)
    crTimedOut,  // the deadline passed
    crFailed,    // an error on the socket or an over-long frame
  };

  // Sends `text` as one frame, then hands every frame that arrives to
  // `onReply` until the empty frame that ends the answer. `timeoutMs` < 0
  // waits without limit.
  TResult Send(std::string_view text, const std::function<void(std::string_view)>& onReply, int timeoutMs);
  // Waits for the next frame (empty ones included) and stores it in `frame`.
  TResult ReadFrame(std::string& frame, int timeoutMs);

 private:
  TResult WaitReadable(long long deadlineMs);
  TResult WriteAll(std::string_view bytes, long long deadlineMs);

  int Fd = -1;
  TFrameReader Reader{1u << 30};  // replies such as "tracks=" can be large
};

}  // namespace tunevale
