#include "platform/qt_socket_watcher.h"

namespace tunevale {

namespace {

std::unique_ptr<QSocketNotifier> Notifier(int fd, QSocketNotifier::Type type, TLocalSocketServer& server) {
  auto notifier = std::make_unique<QSocketNotifier>(fd, type);
  notifier->setEnabled(false);
  QObject::connect(notifier.get(), &QSocketNotifier::activated, [&server] { server.ProcessEvents(0); });
  return notifier;
}

}  // namespace

TQtSocketWatcher::TQtSocketWatcher(TLocalSocketServer& server) : Server(server) {
  FreeTimer.setSingleShot(true);
  FreeTimer.setInterval(0);
  QObject::connect(&FreeTimer, &QTimer::timeout, [this] { Retired.clear(); });
  Server.OnWatchesChanged = [this] { Sync(); };
  Sync();
}

TQtSocketWatcher::~TQtSocketWatcher() { Server.OnWatchesChanged = nullptr; }

void TQtSocketWatcher::Retire(TNotifiers& notifiers) {
  for (std::unique_ptr<QSocketNotifier>* n : {&notifiers.Read, &notifiers.Write}) {
    (*n)->setEnabled(false);
    Retired.push_back(std::move(*n));
  }
  FreeTimer.start();
}

void TQtSocketWatcher::Sync() {
  const std::vector<TLocalSocketServer::TWatch> watches = Server.Watches();
  auto next = watches.begin();
  // Both lists are in id order (the listener, id 0, first).
  for (auto it = Watched.begin(); it != Watched.end();) {
    while (next != watches.end() && next->Id < it->first) ++next;
    if (next == watches.end() || next->Id != it->first || next->Fd != it->second.Fd) {
      Retire(it->second);
      it = Watched.erase(it);
    } else {
      ++it;
    }
  }
  for (const TLocalSocketServer::TWatch& w : watches) {
    TNotifiers& n = Watched[w.Id];
    if (!n.Read) {
      n.Fd = w.Fd;
      n.Read = Notifier(w.Fd, QSocketNotifier::Read, Server);
      n.Write = Notifier(w.Fd, QSocketNotifier::Write, Server);
    }
    if (n.Read->isEnabled() != w.Read) n.Read->setEnabled(w.Read);
    if (n.Write->isEnabled() != w.Write) n.Write->setEnabled(w.Write);
  }
}

}  // namespace tunevale
