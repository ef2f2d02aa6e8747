// The remote server port: the transport that brings remote command frames to
// the player and carries its replies and notifications back. The platform
// implements it over the player's local socket; tests use a fake that
// records the frames, so the player's logic needs no socket.
#pragma once

#include <functional>
#include <string_view>

#include "app/remote_listeners.h"

namespace tunevale {

class TRemoteServer : public TRemoteOutput {
 public:
  using TFrameHandler = std::function<void(TConnectionId sender, std::string_view text)>;

  // Called once by the player when it can take commands (at window
  // creation); every complete frame goes to `handler` on the main loop. Raises
  // when the transport cannot be set up.
  virtual void Listen(TFrameHandler handler) = 0;
};

}  // namespace tunevale
