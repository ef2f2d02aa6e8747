#include "app/remote_listeners.h"

namespace tunevale {

void TRemoteListeners::Register(int64_t number, TConnectionId connection) {
  for (TListener& l : Listeners)
    if (l.Number == number) {
      l.Connection = connection;
      return;
    }
  Listeners.push_back({number, connection});
}

void TRemoteListeners::Send(TRemoteOutput& output, std::string_view text) const {
  // A copy: sending must not be disturbed by a registration it triggers.
  const std::vector<TListener> listeners = Listeners;
  for (const TListener& l : listeners) output.SendFrame(l.Connection, text);
}

}  // namespace tunevale
