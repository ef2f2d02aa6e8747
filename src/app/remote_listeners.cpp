#include "app/remote_listeners.h"

namespace tunevale {

bool TRemoteListeners::Register(int64_t number, TConnectionId connection, const TRemoteOutput& output) {
  for (TListener& l : Listeners)
    if (l.Number == number) {
      if (l.Connection != connection && output.ConnectionOpen(l.Connection)) return false;
      l.Connection = connection;
      return true;
    }
  Listeners.push_back({number, connection});
  return true;
}

void TRemoteListeners::Send(TRemoteOutput& output, std::string_view text) const {
  // A copy: sending must not be disturbed by a registration it triggers.
  const std::vector<TListener> listeners = Listeners;
  for (const TListener& l : listeners) output.SendFrame(l.Connection, text);
}

}  // namespace tunevale
