// The listeners registered with "registerwindow=N" and the port through which
// texts reach a connection.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace tunevale {

// Identifies one client connection of the transport for as long as the
// process runs; ids are never reused.
using TConnectionId = uint64_t;

// Implemented by the transport. Called on the main thread while a command is
// handled or when the player notifies; never blocks.
class TRemoteOutput {
 public:
  virtual ~TRemoteOutput() = default;
  // Queues `text` as one frame for the connection; a closed or unknown
  // connection drops it silently.
  virtual void SendFrame(TConnectionId connection, std::string_view text) = 0;
  // Whether the connection is still open. A transport that cannot tell says
  // yes, so a listener's number is never taken from it.
  virtual bool ConnectionOpen(TConnectionId connection) const {
    (void)connection;
    return true;
  }
};

// Registration bookkeeping: a number N per listener, kept in registration
// order and never removed. A listener whose connection closed just receives
// nothing, as a window that no longer exists would.
class TRemoteListeners {
 public:
  struct TListener {
    int64_t Number;
    TConnectionId Connection;
  };

  // Registers `connection` under `number`. A number that is already listed
  // keeps its place and now names `connection` when its own connection has
  // closed (a new client may reuse the number of one that is gone); while
  // that one is open the registration is refused: false.
  bool Register(int64_t number, TConnectionId connection, const TRemoteOutput& output);
  bool Empty() const { return Listeners.empty(); }
  const std::vector<TListener>& Items() const { return Listeners; }
  // Sends `text` to every listener in registration order.
  void Send(TRemoteOutput& output, std::string_view text) const;

 private:
  std::vector<TListener> Listeners;
};

}  // namespace tunevale
