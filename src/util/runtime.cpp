#include "util/runtime.h"

namespace tunevale {

bool TMessagePump::PumpMessages() {
  const int64_t now = Runtime.MonotonicMs();
  if (now - LastPumpMs < 100) return false;
  if (OnPump) OnPump();
  Runtime.ProcessPendingMessages();
  LastPumpMs = Runtime.MonotonicMs();
  return true;
}

}  // namespace tunevale
