#include "app/message_queue.h"

#include <algorithm>

namespace tunevale {

TMessageQueue::TPostResult TMessageQueue::Post(std::string text, TMessageKind kind) {
  if (!Current) {
    Current = TMessage{std::move(text), kind, 1};
    return prOpen;
  }
  if (Current->Text == text) {
    ++Current->Count;
    return prRepeated;
  }
  const auto same =
      std::find_if(Waiting.begin(), Waiting.end(), [&](const TMessage& m) { return m.Text == text; });
  if (same != Waiting.end())
    ++same->Count;
  else if (Waiting.size() < MaxWaiting)
    Waiting.push_back(TMessage{std::move(text), kind, 1});
  return prHeld;
}

bool TMessageQueue::Closed() {
  Current.reset();
  if (Waiting.empty()) return false;
  Current = std::move(Waiting.front());
  Waiting.pop_front();
  return true;
}

}  // namespace tunevale
