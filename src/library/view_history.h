// The library's view history: the last ten (page, query, folder) views, with
// a current entry that back and forward move. A push drops the entries ahead
// of the current one, as a browser does.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tunevale {

struct TViewHistoryEntry {
  int Page = 0;        // TLibraryPage
  std::string Query;   // "" for the placeholder
  std::string Folder;  // the folder browser's folder, "" when none

  bool operator==(const TViewHistoryEntry&) const = default;
};

class TViewHistory {
 public:
  static constexpr int kMaxEntries = 10;

  // Drops the entries after the current one and the oldest beyond ten;
  // the new entry becomes current.
  void Push(TViewHistoryEntry entry);
  // Makes `index`, clamped to the entries, current; -1 when empty.
  int MoveTo(int index);

  int Count() const { return static_cast<int>(Entries.size()); }
  int Current() const { return Index; }
  const TViewHistoryEntry& Entry(int index) const { return Entries[static_cast<size_t>(index)]; }
  bool CanGoBack() const { return Index >= 1; }
  bool CanGoForward() const { return Index + 1 < Count(); }

  // The buttons' hints: "Back to " and the page's caption, then on a
  // second line ("\r") the entry's query when it has one; "" when there is
  // no such entry.
  std::string BackHint() const;
  std::string ForwardHint() const;

 private:
  static std::string Hint(std::string_view lead, const TViewHistoryEntry& entry);

  std::vector<TViewHistoryEntry> Entries;
  int Index = -1;
};

}  // namespace tunevale
