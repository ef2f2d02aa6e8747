#include "library/search_matcher.h"

#include <charconv>

#include "library/album.h"
#include "library/artist.h"
#include "library/library_item.h"
#include "library/search_field.h"
#include "library/track.h"

namespace tunevale {

namespace {

// The fewest tracks an album needs to show while HideIncompleteAlbums is on.
constexpr int kCompleteAlbumTracks = 4;

}  // namespace

TSearchMatcher::TSearchMatcher(const TSearchArray& query, bool hideIncompleteAlbums)
    : HideIncompleteAlbums(hideIncompleteAlbums) {
  Items.reserve(query.size());
  for (const TSearchArrayItem& q : query) {
    TItem item;
    item.Term = q.Term;
    item.Quoted = q.Quoted;
    item.Fields = SearchFieldsOf(q.Field);
    if (q.Field == "title")
      item.ItemField = TItemField::ifTitle;
    else if (q.Field == "filename")
      item.ItemField = TItemField::ifFileName;
    if (!item.Fields) TracksCanMatch = false;
    if (item.Fields & (sfAlbumArtist | sfAlbum)) AlbumFieldsApply = true;
    Items.push_back(std::move(item));
  }
}

bool TSearchMatcher::MatchTrack(const TTrack& track, bool& exact) const {
  if (!TracksCanMatch) return false;
  for (const TItem& item : Items) {
    const uint16_t fields = item.Fields;
    const auto match = [&](TFieldRule rule, std::string_view value) {
      return MatchFieldValue(item.Term, item.Quoted, rule, value, exact);
    };
    // Fields in this order; a text is only read when the item applies to it.
    if ((fields & sfAlbumArtist) && match(TFieldRule::frAlbum, track.FoldedAlbumArtist())) continue;
    if ((fields & sfAlbum) && match(TFieldRule::frAlbum, track.FoldedAlbumName())) continue;
    if ((fields & sfTitle) && match(TFieldRule::frPlain, track.FoldedTitle())) continue;
    if ((fields & sfFileName) && match(TFieldRule::frFileName, track.FoldedPath())) continue;
    if ((fields & sfArtist) && match(TFieldRule::frPlain, track.FoldedArtist())) continue;
    if ((fields & sfGenre) && match(TFieldRule::frPlain, track.FoldedGenre())) continue;
    if (fields & sfYear) {
      char year[16];
      const auto end = std::to_chars(year, year + sizeof year, track.Year()).ptr;
      if (match(TFieldRule::frPlain, std::string_view(year, static_cast<size_t>(end - year)))) continue;
    }
    if ((fields & sfComposers) && match(TFieldRule::frPlain, track.FoldedComposer())) continue;
    return false;
  }
  return true;
}

bool TSearchMatcher::Matches(const TTrack& track) const {
  bool exact = false;
  return MatchTrack(track, exact);
}

bool TSearchMatcher::MatchAlbum(const TAlbum& album, int ordinal, bool& exact) const {
  bool matched = true;
  bool applied = false;
  for (const TItem& item : Items) {
    const uint16_t fields = item.Fields & (sfAlbumArtist | sfAlbum);
    if (!fields) {
      matched = false;
      continue;
    }
    applied = true;
    if (!matched) continue;  // the result is settled; only whether any item applies is still open
    const bool hit =
        ((fields & sfAlbumArtist) &&
         MatchFieldValue(item.Term, item.Quoted, TFieldRule::frAlbum, album.Artist()->FoldedName(), exact)) ||
        ((fields & sfAlbum) &&
         MatchFieldValue(item.Term, item.Quoted, TFieldRule::frAlbum, album.FoldedName(), exact));
    if (!hit) matched = false;
  }
  if (!matched && !applied && TracksCanMatch && album.TrackCount() > 0) {
    // Every item names a track field ("title:..."): the album shows when a track does.
    // Every track comparison leaves its own note, so the outcome is the album's
    // alone and is kept for the artists, which ask about the same albums.
    const uint8_t known = ordinal >= 0 && static_cast<size_t>(ordinal) < Outcomes.size() ? Outcomes[ordinal] : 0;
    if (known & kKnown) {
      matched = known & kMatched;
      exact = known & kExact;
    } else {
      for (int i = 0; i < album.TrackCount() && !matched; ++i) {
        if (i + kPrefetchAhead < album.TrackCount()) PrefetchTrack(*album.Track(i + kPrefetchAhead));
        matched = MatchTrack(*album.Track(i), exact);
      }
      if (ordinal >= 0) NoteTrackOutcome(ordinal, matched, exact);
    }
  }
  if (matched && HideIncompleteAlbums && album.TrackCount() < kCompleteAlbumTracks && !exact) return false;
  return matched;
}

void TSearchMatcher::NoteTrackOutcome(int albumOrdinal, bool matched, bool exact) const {
  if (albumOrdinal < 0) return;
  if (static_cast<size_t>(albumOrdinal) >= Outcomes.size()) Outcomes.resize(static_cast<size_t>(albumOrdinal) + 1);
  Outcomes[albumOrdinal] = kKnown | (matched ? kMatched : 0) | (exact ? kExact : 0);
}

bool TSearchMatcher::Matches(const TAlbum& album, int ordinal) const {
  bool exact = false;
  return MatchAlbum(album, ordinal, exact);
}

bool TSearchMatcher::Matches(const TArtist& artist, int firstAlbumOrdinal) const {
  bool exact = false;
  bool matched = true;
  bool applied = false;
  for (const TItem& item : Items) {
    if (!(item.Fields & sfAlbumArtist)) {
      matched = false;
      continue;
    }
    applied = true;
    if (matched && !MatchFieldValue(item.Term, item.Quoted, TFieldRule::frAlbum, artist.FoldedName(), exact))
      matched = false;
  }
  if (!matched && !applied) {
    for (int i = 0; i < artist.AlbumCount() && !matched; ++i)
      matched = MatchAlbum(*artist.Album(i), firstAlbumOrdinal < 0 ? -1 : firstAlbumOrdinal + i, exact);
  }
  if (matched && HideIncompleteAlbums && !exact) {
    bool complete = false;
    for (int i = 0; i < artist.AlbumCount() && !complete; ++i)
      complete = artist.Album(i)->TrackCount() >= kCompleteAlbumTracks;
    if (!complete) return false;
  }
  return matched;
}

bool TSearchMatcher::MatchesItem(const TLibraryItem& entry) const {
  for (const TItem& item : Items) {
    bool hit = false;
    if (item.ItemField != TItemField::ifFileName) hit = ContainsText(entry.FoldedName(), item.Term);
    if (!hit && item.ItemField != TItemField::ifTitle) hit = ContainsText(entry.FoldedPath(), item.Term);
    if (!hit) return false;
  }
  return true;
}

}  // namespace tunevale
