// Which library entries a query matches. The query is resolved once (field
// prefixes to field bits); entries are matched against the case-folded texts
// the library made when they entered it.
//
// Tracks: every item must match one of albumartist, album (both with the
// "<unknown>" rule), title, filename (substring even when quoted), artist,
// genre, year (its decimal text, "-1" when unknown), composers.
// Albums: every item must match the album's artist name or its name; when no
// item names either field, an album matches through any matching track.
// Artists: likewise with the artist name, falling back to its albums.
// With HideIncompleteAlbums, albums of fewer than 4 tracks (and artists
// without a bigger album) only match when the last comparison made found the
// term equal to the whole value, so typing the exact name still shows them.
// Videos and playlists: "title:" looks in the name, "filename:" in the path,
// any other item in either; quotes make no difference.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "library/library_item.h"

#include "library/search_query.h"

namespace tunevale {

class TAlbum;
class TArtist;
class TTrack;

// Walks over tracks read one track after another; the tracks, and apart
// from them their texts, lie in memory in that order. Asking for the next
// ones early hides most of the wait for memory: the track and the start of
// its texts (the table and the first texts).
inline constexpr int kPrefetchAhead = 4;
inline void PrefetchTrack(const TLibraryItem& track) {
  __builtin_prefetch(&track);
  const char* texts = static_cast<const char*>(track.TextData());
  for (int line = 0; line < 3; ++line) __builtin_prefetch(texts + 64 * line);
}

class TSearchMatcher {
 public:
  TSearchMatcher(const TSearchArray& query, bool hideIncompleteAlbums);

  // The query has no items: every track, video and playlist matches.
  bool Empty() const { return Items.empty(); }
  // False when some item names no track field ("foo:bar"): then no track,
  // album or artist matches (their fields are track fields too).
  bool CanMatchTracks() const { return TracksCanMatch; }

  bool Matches(const TTrack& track) const;
  // `ordinal` (the album's place among all albums in library order) or
  // `firstAlbumOrdinal` (that of the artist's first album) lets the walks of
  // one pass share what they learnt about an album; -1 when unknown.
  bool Matches(const TAlbum& album, int ordinal = -1) const;
  bool Matches(const TArtist& artist, int firstAlbumOrdinal = -1) const;
  // A video or playlist entry (a track passed here is matched as a plain item).
  bool MatchesItem(const TLibraryItem& item) const;

  // For a walk over every track of an album: Matches of each track with the
  // exact note it leaves, and the outcome for the album when the query can
  // only match albums through their tracks (spares that second pass).
  bool MatchesNoting(const TTrack& track, bool& exact) const { return MatchTrack(track, exact); }
  bool WantsTrackOutcomes() const { return TracksCanMatch && !AlbumFieldsApply; }
  void NoteTrackOutcome(int albumOrdinal, bool matched, bool exact) const;

 private:
  enum class TItemField : uint8_t { ifAny, ifTitle, ifFileName };
  struct TItem {
    std::string Term;
    bool Quoted = false;
    uint16_t Fields = 0;          // TSearchField bits the item applies to
    TItemField ItemField = TItemField::ifAny;  // for videos and playlists
  };

  // `exact` is the exact note: the result of the last comparison made.
  bool MatchTrack(const TTrack& track, bool& exact) const;
  bool MatchAlbum(const TAlbum& album, int ordinal, bool& exact) const;

  std::vector<TItem> Items;
  bool HideIncompleteAlbums;
  bool TracksCanMatch = true;
  bool AlbumFieldsApply = false;  // some item applies to the album artist or album name
  // By album ordinal: whether the album matched through its tracks and the
  // note that left (kKnown, kMatched, kExact bits). A matcher serves one pass
  // over an unchanged library (one refill, one reply), so ordinals stay valid.
  enum : uint8_t { kKnown = 1, kMatched = 2, kExact = 4 };
  mutable std::vector<uint8_t> Outcomes;
};

}  // namespace tunevale
