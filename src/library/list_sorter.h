// The order of a library list's rows. A list's sort state is +(k + 1) for
// ascending or -(k + 1) for descending order on key k, 0 for library order.
// Keys are the column's TTrackField on the tracks list and the column index
// on the others (0 the caption, then the sub-items).
//
// The order is a strict weak ordering, so any sort may use it: "<All>"
// first, then the key (texts ignoring case, counts and numbers as numbers,
// track texts then track number), then library order. Descending reverses
// all but the last step, so "<All>" comes last and ties keep library order.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "library/library_search.h"

namespace tunevale {

struct TRowSortKey {
  uint8_t Rank = 1;       // 0 for "<All>"
  uint64_t Prefix = 0;    // the text's first eight bytes, big-endian: most comparisons end here
  std::string_view Text;  // case-folded; empty for numeric keys
  int64_t Number = 0;
  uint32_t Ordinal = 0;
  uint32_t Row = 0;  // the row's index before sorting
};

class TListSorter {
 public:
  // Rows of `page` by the sort state `tag` (non-zero).
  TListSorter(TLibraryPage page, int tag);

  // The key of a row; stays valid as long as the sorter and the row's entry.
  TRowSortKey Key(const TLibraryRow& row, uint32_t index);
  bool Less(const TRowSortKey& a, const TRowSortKey& b) const;

 private:
  std::string_view Keep(std::string text);

  TLibraryPage Page;
  int Column;
  bool Descending;
  std::deque<std::string> Texts;  // texts made for a key (album captions)
};

// The header click on key `key`: ascending on it, or descending when the
// list was already ascending on it.
int ClickedSortTag(int tag, int key);
// Sorts the list's rows by its SortTag (by Ordinal when 0); the focused row
// follows its entry.
void SortLibraryList(TLibraryList& list);

}  // namespace tunevale
