#include "library/search_results.h"

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

std::vector<TTrack*> FindTracks(const TLibrary& library, const TSearchMatcher& matcher) {
  std::vector<TTrack*> out;
  WalkMatchingTracks(library, matcher, [&](TTrack* t) { out.push_back(t); }, AlwaysGoOn);
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
