// The player's end of the remote transport: a Unix socket in the runtime
// folder ("player-<pid>.sock") that accepts clients of the same user. Each
// zero-terminated frame a client sends is handed to the frame handler and
// then answered with an empty frame; replies and notifications sent with
// SendFrame meanwhile arrive before it.
//
// Nothing blocks: the main loop watches the descriptors of Watches() (a Qt
// socket notifier, or poll in tests and tools) and calls ProcessEvents.
// Re-entrancy: the frame handler may pump messages and so call
// ProcessEvents again; a connection whose frame is being handled is not read
// meanwhile, so its answers stay in order, and no connection is freed while
// its frame is handled.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "app/remote_frame.h"
#include "app/remote_listeners.h"

namespace tunevale {

class TLocalSocketServer : public TRemoteOutput {
 public:
  using TFrameHandler = std::function<void(TConnectionId sender, std::string_view text)>;

  // Listens on `socketPath`, replacing a file left there. Raises
  // std::system_error when the socket cannot be made.
  TLocalSocketServer(std::string socketPath, TFrameHandler onFrame);
  ~TLocalSocketServer() override;
  TLocalSocketServer(const TLocalSocketServer&) = delete;
  TLocalSocketServer& operator=(const TLocalSocketServer&) = delete;

  // "player-<pid>.sock" in `folder` (which ends with "/").
  static std::string PlayerSocketPath(const std::string& folder, pid_t pid);

  struct TWatch {
    int Fd;
    bool Read;
    bool Write;
    bool operator==(const TWatch&) const = default;
  };
  // The descriptors to watch now; OnWatchesChanged tells when they change.
  std::vector<TWatch> Watches() const;
  std::function<void()> OnWatchesChanged;

  // Accepts clients, handles complete frames and writes queued output.
  // Waits at most `timeoutMs` for something to happen (0: does not wait).
  void ProcessEvents(int timeoutMs = 0);

  // Queues one frame for a connection; dropped when it is closed or unknown.
  void SendFrame(TConnectionId connection, std::string_view text) override;
  bool ConnectionOpen(TConnectionId connection) const override;

  // Called with what the frame handler raised; the frame is still answered.
  // Without a handler the message goes to standard error.
  std::function<void(const std::exception&)> OnError;

  // The peer user allowed to connect (this process's user by default).
  uid_t AllowedUid;
  // Output queued for a client that does not read is bounded: past this
  // many bytes the connection is dropped.
  size_t MaxQueuedBytes = 256u << 20;

  const std::string& SocketPath() const { return Path; }
  size_t ConnectionCount() const { return Connections.size(); }
  int RejectedConnections() const { return Rejected; }

 private:
  struct TConnection {
    int Fd = -1;
    TFrameReader Reader;
    std::string Out;
    size_t OutStart = 0;
    bool Busy = false;        // a frame of it is being handled
    bool ReadClosed = false;  // the client sent everything it will send
    bool Dead = false;        // closed; freed once not busy
  };

  void AcceptClients();
  void ReadAndHandle(TConnectionId id);
  void Flush(TConnection& c);
  void ReportError(const std::exception& e);
  void Kill(TConnection& c);
  void Reap();
  void WatchesMayHaveChanged();

  std::string Path;
  TFrameHandler OnFrame;
  int ListenFd = -1;
  TConnectionId NextId = 1;
  std::map<TConnectionId, std::unique_ptr<TConnection>> Connections;
  std::vector<TWatch> LastWatches;
  int Rejected = 0;
};

}  // namespace tunevale
