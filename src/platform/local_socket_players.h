// The running players as seen from another process: the instance lock and
// the sockets "player-<pid>.sock" in the runtime folder. Implements the
// single-instance port of the entry.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/instance.h"
#include "platform/instance_lock.h"
#include "platform/local_socket_server.h"

namespace tunevale {

class TLocalSocketPlayers : public TInstancePort {
 public:
  // `folder`: the runtime folder, prepared, ending with "/".
  explicit TLocalSocketPlayers(std::string folder);

  // The player sockets in name order, without this process's own.
  std::vector<std::string> PlayerSockets() const;
  // Removes the sockets whose process is gone and that nobody listens on.
  void RemoveStaleSockets() const;

  // This process's own player socket, after clearing the stale ones; for a
  // player that holds the instance lock.
  std::unique_ptr<TLocalSocketServer> Listen(TLocalSocketServer::TFrameHandler onFrame) const;

  bool AcquireInstance(bool force) override;
  bool PlayerRunning() override;
  int SendToPlayers(std::string_view text, int timeoutMs,
                    const std::function<void(std::string_view)>& onReply) override;
  void Sleep(int ms) override;

  TInstanceLock& Lock() { return InstanceLock; }

 private:
  std::string Folder;
  TInstanceLock InstanceLock;
};

// The pid in a socket name "player-<pid>.sock", or -1.
int PlayerSocketPid(std::string_view fileName);

}  // namespace tunevale
