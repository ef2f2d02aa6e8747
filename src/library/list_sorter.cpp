#include "library/list_sorter.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "library/track_columns.h"
#include "util/text.h"

namespace tunevale {

namespace {

constexpr std::string_view kUnknownFolded = "<unknown>";

uint64_t PrefixOf(std::string_view text) {
  uint64_t prefix = 0;
  for (size_t i = 0; i < 8; ++i)
    prefix = (prefix << 8) | (i < text.size() ? static_cast<unsigned char>(text[i]) : 0u);
  return prefix;
}

template <class T>
int Compare(const T& a, const T& b) {
  return a < b ? -1 : (b < a ? 1 : 0);
}

// "<All>", then the key; no tie-break.
int CompareKeys(const TRowSortKey& a, const TRowSortKey& b) {
  if (int c = Compare(a.Rank, b.Rank)) return c;
  if (int c = Compare(a.Prefix, b.Prefix)) return c;
  // Equal prefixes and a text within them: that text is the start of the other.
  if (a.Text.size() <= 8 || b.Text.size() <= 8) {
    if (int c = Compare(a.Text.size(), b.Text.size())) return c;
  } else if (int c = a.Text.compare(b.Text)) {
    return c < 0 ? -1 : 1;
  }
  return Compare(a.Number, b.Number);
}

void SetText(TRowSortKey& key, std::string_view text) {
  key.Text = text;
  key.Prefix = PrefixOf(text);
}

void TrackKey(TRowSortKey& key, const TTrack& track, int field) {
  switch (field) {
    case tfNumber:
      key.Number = track.TrackNo();
      return;
    case tfLength:
      key.Number = track.Length();
      return;
    case tfYear:
      key.Number = track.Year();
      return;
    // The shown texts: the name in the title column, the album artist in the artist column.
    case tfTitle:
      SetText(key, track.FoldedName());
      break;
    case tfAlbum:
      SetText(key, track.FoldedAlbumName());
      break;
    case tfArtist:
      SetText(key, track.FoldedAlbumArtist());
      break;
    case tfGenre:
      SetText(key, track.FoldedGenre());
      break;
    default:
      return;
  }
  // Equal texts go by track number.
  key.Number = track.TrackNo();
}

}  // namespace

TListSorter::TListSorter(TLibraryPage page, int tag)
    : Page(page), Column(std::abs(tag) - 1), Descending(tag < 0) {}

std::string_view TListSorter::Keep(std::string text) { return Texts.emplace_back(std::move(text)); }

TRowSortKey TListSorter::Key(const TLibraryRow& row, uint32_t index) {
  TRowSortKey key;
  key.Ordinal = row.Ordinal;
  key.Row = index;
  if (row.Kind == TRowKind::rkAll) key.Rank = 0;
  if (row.Kind != TRowKind::rkEntry || !row.Entry) return key;
  switch (Page) {
    case lpArtists: {
      const auto* artist = static_cast<const TArtist*>(row.Entry);
      if (Column == 0)
        SetText(key, artist->Name().empty() ? kUnknownFolded : std::string_view(artist->FoldedName()));
      if (Column == 1) key.Number = artist->AlbumCount();
      break;
    }
    case lpAlbums: {
      const auto* album = static_cast<const TAlbum*>(row.Entry);
      if (Column == 0) SetText(key, Keep(CaseFold(album->Caption())));
      if (Column == 1) SetText(key, album->Artist()->FoldedName());
      if (Column == 2) key.Number = album->TrackCount();
      break;
    }
    case lpTracks:
      TrackKey(key, *static_cast<const TTrack*>(row.Entry), Column);
      break;
    case lpVideos:
    case lpPlaylists: {
      const auto* item = static_cast<const TLibraryItem*>(row.Entry);
      if (Column == 0) SetText(key, item->FoldedName());
      if (Column == 1) SetText(key, item->FoldedPath());
      break;
    }
  }
  return key;
}

bool TListSorter::Less(const TRowSortKey& a, const TRowSortKey& b) const {
  const int c = CompareKeys(a, b);
  if (c != 0) return Descending ? c > 0 : c < 0;
  return a.Ordinal < b.Ordinal;
}

int ClickedSortTag(int tag, int key) { return tag == key + 1 ? -(key + 1) : key + 1; }

void SortLibraryList(TLibraryList& list) {
  const void* focused =
      list.FocusedRow >= 0 && list.FocusedRow < list.RowCount() ? list.Rows[list.FocusedRow].Entry : nullptr;
  std::vector<TLibraryRow>& rows = list.Rows;
  if (list.SortTag == 0) {
    std::stable_sort(rows.begin(), rows.end(),
                     [](const TLibraryRow& a, const TLibraryRow& b) { return a.Ordinal < b.Ordinal; });
  } else {
    TListSorter sorter(list.Page, list.SortTag);
    std::vector<TRowSortKey> keys;
    keys.reserve(rows.size());
    for (size_t i = 0; i < rows.size(); ++i) keys.push_back(sorter.Key(rows[i], static_cast<uint32_t>(i)));
    // Library order breaks every tie, so this is the stable sort of the rows.
    std::sort(keys.begin(), keys.end(),
              [&](const TRowSortKey& a, const TRowSortKey& b) { return sorter.Less(a, b); });
    std::vector<TLibraryRow> sorted;
    sorted.reserve(rows.size());
    for (const TRowSortKey& key : keys) sorted.push_back(rows[key.Row]);
    rows.swap(sorted);
  }
  if (!focused) return;
  for (int i = 0; i < list.RowCount(); ++i)
    if (rows[i].Entry == focused) list.FocusedRow = i;
}

}  // namespace tunevale
