// The player's end of the remote transport: a Unix socket in the runtime
// folder ("player-<pid>.sock") that accepts clients of the same user. Each
// zero-terminated frame a client sends is handed to the frame handler and
// then answered with an empty frame; replies and notifications sent with
// SendFrame meanwhile arrive before it.
//
// Nothing blocks: the main loop watches the descriptors of Watches() (a Qt
// socket notifier, or poll in tests and tools) and calls ProcessEvents.
// Watches are told per connection: a closed connection's descriptor number
// comes back with the next client, so a watcher must follow the id, and it
// hears of the close (OnWatchesChanged) before the descriptor goes.
//
// Memory is bounded for all clients together: unfinished and waiting frames
// plus queued output stay within MemoryBudget, and at most MaxConnections are
// served (further clients wait in the listen queue).
//
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
    TConnectionId Id;  // 0: the listening socket
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
  // Bytes all connections may hold together: frames read and not yet
  // handled (or being handled) and output not yet taken. A client whose
  // frame would pass it is dropped; output that would pass it first drops
  // the listeners holding the most.
  size_t MemoryBudget = 256u << 20;
  size_t MaxConnections = 256;
  // A listener whose untaken output passes its share, and that took none of
  // it while a whole frame of any client was handled, is dropped at its next
  // frame. What one frame causes may pass it (a big notification and the
  // ones after it).
  size_t ListenerShare() const { return MemoryBudget / MaxConnections; }

  const std::string& SocketPath() const { return Path; }
  size_t ConnectionCount() const { return Connections.size(); }
  int RejectedConnections() const { return Rejected; }
  // What the connections hold now, and the most they held at once.
  size_t HeldBytes() const { return Held; }
  size_t PeakHeldBytes() const { return PeakHeld; }

 private:
  struct TConnection {
    int Fd = -1;
    TFrameReader Reader;
    std::string Out;
    size_t OutStart = 0;
    size_t InHand = 0;        // size of its frame being handled
    size_t Held = 0;          // its part of the server's Held
    uint64_t Taken = 0;       // output the client took so far
    uint64_t OverSince = 0;   // the frame number when its output was found past its share, 0: not past
    uint64_t TakenThen = 0;   // Taken at that time
    bool Busy = false;        // a frame of it is being handled
    bool ReadClosed = false;  // the client sent everything it will send
    bool Dead = false;        // closed; freed once not busy
    size_t Queued() const { return Out.size() - OutStart; }
  };

  void AcceptClients();
  void ReadAndHandle(TConnectionId id);
  bool ReadAvailable(TConnection& c);
  void Flush(TConnection& c);
  void ReportError(const std::exception& e);
  void Kill(TConnection& c);
  void Reap();
  void WatchesMayHaveChanged();
  bool BelowConnectionLimit() const { return Connections.size() - DeadConnections < MaxConnections; }
  // Brings c.Held and Held up to date.
  void Account(TConnection& c);
  // Makes room for `bytes` more by dropping the listeners other than `keep`
  // that hold the most untaken output; false when it does not fit even so.
  bool MakeRoom(const TConnection& keep, size_t bytes);
  bool NotReading(TConnection& c);

  std::string Path;
  TFrameHandler OnFrame;
  int ListenFd = -1;
  TConnectionId NextId = 1;
  std::map<TConnectionId, std::unique_ptr<TConnection>> Connections;
  std::vector<TWatch> LastWatches;
  int Rejected = 0;
  size_t DeadConnections = 0;  // closed, not yet freed
  size_t Held = 0;
  size_t PeakHeld = 0;
  uint64_t FrameNumber = 1;  // counts the frames handled
};

}  // namespace tunevale
