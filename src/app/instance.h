// Single instance: the lock that tells whether a player runs, the hand-over
// of a second start to the running players, and closing them for the
// installer. The port hides the lock and the transport.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"

namespace tunevale {

class TInstancePort {
 public:
  virtual ~TInstancePort() = default;
  // Takes this process's share of the instance lock unless another player
  // holds it; with `force` it joins the running players. True when taken.
  virtual bool AcquireInstance(bool force) = 0;
  // Whether any player (another process) holds the lock now.
  virtual bool PlayerRunning() = 0;
  // Hands `text` to every running player in turn, each time waiting until it
  // has handled it, but no longer than `timeoutMs`; `onReply` sees the
  // replies. Returns the players reached.
  virtual int SendToPlayers(std::string_view text, int timeoutMs,
                            const std::function<void(std::string_view)>& onReply) = 0;
  // Waits `ms` milliseconds (a fake port advances its clock).
  virtual void Sleep(int ms) = 0;
};

enum TInstanceOutcome {
  ioRunPlayer,   // this process holds the lock and starts the player
  ioHandedOver,  // another player runs and got the command line; end
};

// Steps 4 and 5 of the entry for the player branch: take the lock, or hand
// the arguments to the running players. `workingDir` resolves relative paths.
TInstanceOutcome ClaimInstance(TInstancePort& port, const TStartDecision& decision,
                               const std::vector<std::string>& args, std::string_view workingDir);

// Hands the command line (`sendArguments`) or the seamless-upgrade command
// to every running player.
void ForwardToRunningInstance(TInstancePort& port, bool sendArguments, const std::vector<std::string>& args,
                              std::string_view workingDir);

// Asks the running players to save and end, then waits at most 4000 ms for
// the lock to be free. True when none ran or all ended in time.
bool CloseRunningInstance(TInstancePort& port);

inline constexpr int CloseWaitMs = 4000;
// How long a player may take to handle a hand-over (it may be adding a large
// folder); one that takes longer is left to finish on its own.
inline constexpr int HandOverTimeoutMs = 60000;

}  // namespace tunevale
