// Serves a local socket server from the Qt event loop: watches the
// descriptors the server asks for and calls its ProcessEvents when one is
// ready.
#pragma once

#include <memory>
#include <vector>

#include "platform/local_socket_server.h"
#include "platform/qt_runtime.h"

namespace tunevale {

class TQtSocketWatcher {
 public:
  explicit TQtSocketWatcher(TLocalSocketServer& server);
  ~TQtSocketWatcher();
  TQtSocketWatcher(const TQtSocketWatcher&) = delete;
  TQtSocketWatcher& operator=(const TQtSocketWatcher&) = delete;

 private:
  void Sync();
  void Ready();

  TLocalSocketServer& Server;
  std::vector<TLocalSocketServer::TWatch> Current;
  std::vector<std::unique_ptr<TFdWatcher>> Watchers;
  // The set changes while a notifier of it is being delivered: rebuild
  // after the delivery, never inside it.
  QTimer SyncTimer;
};

}  // namespace tunevale
