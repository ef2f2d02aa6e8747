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

#include "library/search_query.h"

namespace tunevale {

class TAlbum;
class TArtist;
class TLibraryItem;
class TTrack;

class TSearchMatcher {
 public:
  TSearchMatcher(const TSearchArray& query, bool hideIncompleteAlbums);

  // The query has no items: every track, video and playlist matches.
  bool Empty() const { return Items.empty(); }

  bool Matches(const TTrack& track) const;
  bool Matches(const TAlbum& album) const;
  bool Matches(const TArtist& artist) const;
  // A video or playlist entry (a track passed here is matched as a plain item).
  bool MatchesItem(const TLibraryItem& item) const;

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
  bool MatchAlbum(const TAlbum& album, bool& exact) const;

  std::vector<TItem> Items;
  bool HideIncompleteAlbums;
};

}  // namespace tunevale
