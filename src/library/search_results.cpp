#include "library/search_results.h"

#include <exception>
#include <thread>

namespace tunevale {

namespace {
constexpr bool AlwaysGoOn() { return true; }
}  // namespace

std::vector<TArtistResult> FindArtists(const TLibrary& library, const TSearchMatcher& matcher) {
  std::vector<TArtistResult> out;
  WalkMatchingArtists(library, matcher, [&](const TArtistResult& r) { out.push_back(r); }, AlwaysGoOn);
  return out;
}

std::vector<TAlbumResult> FindAlbums(const TLibrary& library, const TSearchMatcher& matcher) {
  std::vector<TAlbumResult> out;
  WalkMatchingAlbums(library, matcher, [&](const TAlbumResult& r) { out.push_back(r); }, AlwaysGoOn);
  return out;
}

namespace {

// From this size on a search of all tracks runs in two halves at once.
constexpr size_t kTracksForTwoThreads = 100000;

// What one half of the artists gives.
struct TTrackPart {
  std::vector<TTrack*> Found;
  struct TNote {
    int Ordinal;
    bool Matched, Exact;
  };
  std::vector<TNote> Notes;
  int Albums = 0;
  std::exception_ptr Failure;

  void Walk(const TLibrary& library, const TSearchMatcher& matcher, int first, int end) {
    try {
      search_detail::WalkTracksOfArtists(
          library, matcher, first, end, [&](TTrack* t) { Found.push_back(t); },
          [&](int ordinal, bool matched, bool exact) { Notes.push_back({ordinal, matched, exact}); }, AlwaysGoOn,
          Albums);
    } catch (...) {
      Failure = std::current_exception();
    }
  }
};

}  // namespace

std::vector<TTrack*> FindTracks(const TLibrary& library, const TSearchMatcher& matcher) {
  std::vector<TTrack*> out;
  if (library.TrackCount() < kTracksForTwoThreads || !matcher.CanMatchTracks()) {
    WalkMatchingTracks(library, matcher, [&](TTrack* t) { out.push_back(t); }, AlwaysGoOn);
    return out;
  }
  // The matcher's album notes are kept apart and written afterwards, in order.
  const int split = library.ArtistCount() / 2;
  TTrackPart parts[2];
  std::thread second([&] { parts[1].Walk(library, matcher, split, library.ArtistCount()); });
  parts[0].Walk(library, matcher, 0, split);
  second.join();
  int firstOrdinal = 0;
  for (TTrackPart& part : parts) {
    if (part.Failure) std::rethrow_exception(part.Failure);
    out.insert(out.end(), part.Found.begin(), part.Found.end());
    if (matcher.WantsTrackOutcomes())
      for (const TTrackPart::TNote& n : part.Notes)
        matcher.NoteTrackOutcome(firstOrdinal + n.Ordinal, n.Matched, n.Exact);
    firstOrdinal += part.Albums;
  }
  return out;
}

std::vector<TLibraryItem*> FindItems(const TLibraryItems& items, const TSearchMatcher& matcher) {
  std::vector<TLibraryItem*> out;
  WalkMatchingItems(items, matcher, [&](TLibraryItem* i) { out.push_back(i); }, AlwaysGoOn);
  return out;
}

TSearchMatcher MatcherFor(const TLibrary& library, std::string_view query) {
  return TSearchMatcher(ParseQuery(query), library.Settings().HideIncompleteAlbums);
}

}  // namespace tunevale
