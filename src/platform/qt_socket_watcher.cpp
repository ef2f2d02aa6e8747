#include "platform/qt_socket_watcher.h"

namespace tunevale {

TQtSocketWatcher::TQtSocketWatcher(TLocalSocketServer& server) : Server(server) {
  SyncTimer.setSingleShot(true);
  SyncTimer.setInterval(0);
  QObject::connect(&SyncTimer, &QTimer::timeout, [this] { Sync(); });
  Server.OnWatchesChanged = [this] { SyncTimer.start(); };
  Sync();
}

TQtSocketWatcher::~TQtSocketWatcher() { Server.OnWatchesChanged = nullptr; }

void TQtSocketWatcher::Ready() {
  Server.ProcessEvents(0);
  if (Server.Watches() != Current) SyncTimer.start();
}

void TQtSocketWatcher::Sync() {
  std::vector<TLocalSocketServer::TWatch> watches = Server.Watches();
  if (watches == Current && !Watchers.empty()) return;
  Watchers.clear();
  for (const TLocalSocketServer::TWatch& w : watches) {
    if (w.Read) Watchers.push_back(std::make_unique<TFdWatcher>(w.Fd, [this] { Ready(); }));
    if (w.Write) Watchers.push_back(std::make_unique<TFdWatcher>(w.Fd, [this] { Ready(); }, true));
  }
  Current = std::move(watches);
}

}  // namespace tunevale
