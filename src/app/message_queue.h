// Messages to the user, one box at a time. A box never waits inside the
// operation that failed (a remote command must get its answer first and
// later ones must not nest), so messages wait here instead: the same text
// again, while it shows or waits, is counted rather than shown twice, and at
// most MaxWaiting other texts wait; further ones are dropped.
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>

#include "app/message_kind.h"

namespace tunevale {

struct TMessage {
  std::string Text;
  TMessageKind Kind = mtError;
  int Count = 1;  // how often it came
};

class TMessageQueue {
 public:
  static constexpr size_t MaxWaiting = 8;

  enum TPostResult {
    prOpen,      // nothing showed: the message is Showing() now
    prRepeated,  // the showing message came again: its Count grew
    prHeld,      // it waits (or was counted on a waiting one, or dropped)
  };
  TPostResult Post(std::string text, TMessageKind kind);

  // The showing box was closed: the next waiting message, if any, is now
  // Showing(). False when nothing waits.
  bool Closed();

  const TMessage* Showing() const { return Current ? &*Current : nullptr; }
  size_t WaitingCount() const { return Waiting.size(); }

 private:
  std::optional<TMessage> Current;
  std::deque<TMessage> Waiting;
};

}  // namespace tunevale
