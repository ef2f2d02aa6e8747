#include "library/view_history.h"

#include <algorithm>

#include "library/library_search.h"

namespace tunevale {

void TViewHistory::Push(TViewHistoryEntry entry) {
  Entries.resize(static_cast<size_t>(Index + 1));
  Entries.push_back(std::move(entry));
  if (Count() > kMaxEntries) Entries.erase(Entries.begin(), Entries.end() - kMaxEntries);
  Index = Count() - 1;
}

int TViewHistory::MoveTo(int index) {
  Index = Entries.empty() ? -1 : std::clamp(index, 0, Count() - 1);
  return Index;
}

std::string TViewHistory::BackHint() const {
  return CanGoBack() ? Hint("Back to ", Entry(Index - 1)) : std::string();
}

std::string TViewHistory::ForwardHint() const {
  return CanGoForward() ? Hint("Forward to ", Entry(Index + 1)) : std::string();
}

std::string TViewHistory::Hint(std::string_view lead, const TViewHistoryEntry& entry) {
  std::string hint(lead);
  hint += LibraryPageCaption(entry.Page);
  if (!entry.Query.empty()) hint += "\r" + entry.Query;
  return hint;
}

}  // namespace tunevale
