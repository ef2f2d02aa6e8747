// The player's remote server port over its local socket: Listen creates
// "player-<pid>.sock" in the runtime folder (clearing stale sockets first)
// and hands the socket to OnListening, so the main loop can watch its
// descriptors (Watches) and call ProcessEvents.
#pragma once

#include <functional>
#include <memory>

#include "app/remote_server.h"
#include "platform/local_socket_players.h"
#include "platform/local_socket_server.h"

namespace tunevale {

class TLocalSocketRemoteServer : public TRemoteServer {
 public:
  explicit TLocalSocketRemoteServer(TLocalSocketPlayers& players) : Players(players) {}

  void Listen(TFrameHandler handler) override;
  void SendFrame(TConnectionId connection, std::string_view text) override;
  bool ConnectionOpen(TConnectionId connection) const override;

  // Called once the socket listens.
  std::function<void(TLocalSocketServer&)> OnListening;
  // The socket once Listen ran, else null.
  TLocalSocketServer* Socket() const { return Server.get(); }

 private:
  TLocalSocketPlayers& Players;
  std::unique_ptr<TLocalSocketServer> Server;
};

}  // namespace tunevale
