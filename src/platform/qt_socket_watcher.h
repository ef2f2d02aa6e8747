// Serves a local socket server from the Qt event loop: one read and one
// write notifier per connection (and for the listening socket), switched on
// and off as the server asks, and a call of its ProcessEvents when one fires.
//
// Notifiers follow the connection, not the descriptor number: a closed
// connection's number comes back with the next client, and a notifier left
// from the old one would no longer be served by the loop.
#pragma once

#include <QSocketNotifier>
#include <QTimer>
#include <map>
#include <memory>
#include <vector>

#include "platform/local_socket_server.h"

namespace tunevale {

class TQtSocketWatcher {
 public:
  explicit TQtSocketWatcher(TLocalSocketServer& server);
  ~TQtSocketWatcher();
  TQtSocketWatcher(const TQtSocketWatcher&) = delete;
  TQtSocketWatcher& operator=(const TQtSocketWatcher&) = delete;

 private:
  struct TNotifiers {
    int Fd = -1;
    std::unique_ptr<QSocketNotifier> Read, Write;
  };

  void Sync();
  void Retire(TNotifiers& notifiers);

  TLocalSocketServer& Server;
  std::map<TConnectionId, TNotifiers> Watched;
  // A connection may close while its own notifier is being delivered: its
  // notifiers are switched off at once and freed after the delivery.
  std::vector<std::unique_ptr<QSocketNotifier>> Retired;
  QTimer FreeTimer;
};

}  // namespace tunevale
