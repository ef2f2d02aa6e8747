#include "platform/local_socket_remote_server.h"

namespace tunevale {

void TLocalSocketRemoteServer::Listen(TFrameHandler handler) {
  Server = Players.Listen(std::move(handler));
  if (OnListening) OnListening(*Server);
}

void TLocalSocketRemoteServer::SendFrame(TConnectionId connection, std::string_view text) {
  if (Server) Server->SendFrame(connection, text);
}

bool TLocalSocketRemoteServer::ConnectionOpen(TConnectionId connection) const {
  return Server && Server->ConnectionOpen(connection);
}

}  // namespace tunevale
