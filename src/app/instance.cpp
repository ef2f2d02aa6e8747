#include "app/instance.h"

namespace tunevale {

TInstanceOutcome ClaimInstance(TInstancePort& port, const TStartDecision& decision,
                               const std::vector<std::string>& args, std::string_view workingDir) {
  if (port.AcquireInstance(decision.ForceStart)) return ioRunPlayer;
  ForwardToRunningInstance(port, true, args, workingDir);
  return ioHandedOver;
}

void ForwardToRunningInstance(TInstancePort& port, bool sendArguments, const std::vector<std::string>& args,
                              std::string_view workingDir) {
  // A player asked to end need not answer; the wait for its end follows.
  if (sendArguments)
    port.SendToPlayers(HandOverText(args, workingDir), HandOverTimeoutMs, nullptr);
  else
    port.SendToPlayers(SeamlessUpgradeText, CloseWaitMs, nullptr);
}

bool CloseRunningInstance(TInstancePort& port) {
  if (!port.PlayerRunning()) return true;
  ForwardToRunningInstance(port, false, {}, {});
  constexpr int stepMs = 50;
  for (int waited = 0;; waited += stepMs) {
    if (!port.PlayerRunning()) return true;
    if (waited >= CloseWaitMs) return false;
    port.Sleep(stepMs);
  }
}

}  // namespace tunevale
