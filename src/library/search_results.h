// The entries of the library a query matches, kind by kind, in library order
// (artists, their albums, the albums' tracks, each in insertion order; then
// the videos and the playlists). The refill of the lists and the remote
// protocol's library queries both walk the library through these functions.
#pragma once

#include <string_view>
#include <vector>

#include "library/library.h"
#include "library/search_matcher.h"

namespace tunevale {

struct TArtistResult {
  int ArtistIndex;  // position in the library's artist list
  TArtist* Artist;
};

struct TAlbumResult {
  int ArtistIndex;
  int AlbumIndex;  // within that artist
  TAlbum* Album;
};

// Each walk calls `found(...)` for every matching entry and, every few
// entries, `keepGoing()`; when that returns false the walk stops at once and
// returns false. Counts are read again on every step, since keepGoing may let
// other work run. keepGoing must not return true after the library changed.
template <class Found, class KeepGoing>
bool WalkMatchingArtists(const TLibrary& library, const TSearchMatcher& matcher, Found&& found,
                         KeepGoing&& keepGoing);
template <class Found, class KeepGoing>
bool WalkMatchingAlbums(const TLibrary& library, const TSearchMatcher& matcher, Found&& found,
                        KeepGoing&& keepGoing);
template <class Found, class KeepGoing>
bool WalkMatchingTracks(const TLibrary& library, const TSearchMatcher& matcher, Found&& found,
                        KeepGoing&& keepGoing);
template <class Found, class KeepGoing>
bool WalkMatchingItems(const TLibraryItems& items, const TSearchMatcher& matcher, Found&& found,
                       KeepGoing&& keepGoing);

// All matches of one kind at once, for a reply that is built in one go.
std::vector<TArtistResult> FindArtists(const TLibrary& library, const TSearchMatcher& matcher);
std::vector<TAlbumResult> FindAlbums(const TLibrary& library, const TSearchMatcher& matcher);
std::vector<TTrack*> FindTracks(const TLibrary& library, const TSearchMatcher& matcher);
std::vector<TLibraryItem*> FindItems(const TLibraryItems& items, const TSearchMatcher& matcher);

// The matcher for a query text as the library settings want it.
TSearchMatcher MatcherFor(const TLibrary& library, std::string_view query);

// ---- implementation ----

namespace search_detail {
// How many entries a walk handles between two keepGoing calls: often enough
// for the 100 ms message pump, rarely enough not to show in the walk's time.
inline constexpr int kStride = 256;

}  // namespace search_detail

template <class Found, class KeepGoing>
bool WalkMatchingArtists(const TLibrary& library, const TSearchMatcher& matcher, Found&& found,
                         KeepGoing&& keepGoing) {
  if (!matcher.CanMatchTracks()) return true;
  int firstAlbum = 0;  // ordinal of the artist's first album
  for (int a = 0; a < library.ArtistCount(); ++a) {
    if (a % search_detail::kStride == search_detail::kStride - 1 && !keepGoing()) return false;
    TArtist* artist = library.Artist(a);
    if (matcher.Matches(*artist, firstAlbum)) found(TArtistResult{a, artist});
    firstAlbum += artist->AlbumCount();
  }
  return true;
}

template <class Found, class KeepGoing>
bool WalkMatchingAlbums(const TLibrary& library, const TSearchMatcher& matcher, Found&& found,
                        KeepGoing&& keepGoing) {
  if (!matcher.CanMatchTracks()) return true;
  int step = 0;
  int ordinal = 0;
  for (int a = 0; a < library.ArtistCount(); ++a) {
    for (int b = 0; b < library.Artist(a)->AlbumCount(); ++b) {
      if (++step == search_detail::kStride) {
        step = 0;
        if (!keepGoing()) return false;
      }
      TAlbum* album = library.Artist(a)->Album(b);
      if (matcher.Matches(*album, ordinal)) found(TAlbumResult{a, b, album});
      ++ordinal;
    }
  }
  return true;
}

namespace search_detail {

// The tracks of the artists from `first` up to (not including) `end`;
// `note(ordinal, matched, exact)` hears the outcome of each album with tracks,
// ordinals counted from 0 at `first`'s first album. `albums` ends as the
// number of albums walked.
template <class Found, class Note, class KeepGoing>
bool WalkTracksOfArtists(const TLibrary& library, const TSearchMatcher& matcher, int first, int end,
                         Found&& found, Note&& note, KeepGoing&& keepGoing, int& albums) {
  int step = 0;
  albums = 0;
  for (int a = first; a < end && a < library.ArtistCount(); ++a) {
    for (int b = 0; b < library.Artist(a)->AlbumCount(); ++b, ++albums) {
      const TAlbum* album = library.Artist(a)->Album(b);
      bool anyMatched = false;
      bool albumExact = false;  // the note after the first matching track, else after the last
      for (int t = 0; t < album->TrackCount(); ++t) {
        if (++step == kStride) {
          step = 0;
          if (!keepGoing()) return false;
        }
        if (t + kPrefetchAhead < album->TrackCount()) PrefetchTrack(*album->Track(t + kPrefetchAhead));
        TTrack* track = album->Track(t);
        bool exact = false;
        const bool matched = matcher.MatchesNoting(*track, exact);
        if (!anyMatched) {
          anyMatched = matched;
          albumExact = exact;
        }
        if (matched) found(track);
      }
      if (album->TrackCount() > 0) note(albums, anyMatched, albumExact);
    }
  }
  return true;
}

}  // namespace search_detail

template <class Found, class KeepGoing>
bool WalkMatchingTracks(const TLibrary& library, const TSearchMatcher& matcher, Found&& found,
                        KeepGoing&& keepGoing) {
  if (!matcher.CanMatchTracks()) return true;
  const bool notes = matcher.WantsTrackOutcomes();
  int albums = 0;
  return search_detail::WalkTracksOfArtists(
      library, matcher, 0, library.ArtistCount(), found,
      [&](int ordinal, bool matched, bool exact) {
        if (notes) matcher.NoteTrackOutcome(ordinal, matched, exact);
      },
      keepGoing, albums);
}

template <class Found, class KeepGoing>
bool WalkMatchingItems(const TLibraryItems& items, const TSearchMatcher& matcher, Found&& found,
                       KeepGoing&& keepGoing) {
  for (int i = 0; i < items.Count(); ++i) {
    if (i % search_detail::kStride == search_detail::kStride - 1 && !keepGoing()) return false;
    TLibraryItem* item = items.Item(i);
    if (matcher.MatchesItem(*item)) found(item);
  }
  return true;
}

}  // namespace tunevale
