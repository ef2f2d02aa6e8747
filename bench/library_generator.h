// A generated music collection for the library benchmarks: the same input
// for the database, the search and their SQLite baselines. Deterministic for
// a seed (its own random generator, so every machine builds the same data).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "media/metadata.h"

namespace tunevale {

class TLibrary;

struct TGeneratedTrack {
  std::string Path;
  TMetaData Meta;
};

struct TGeneratedItem {
  std::string Path;
  std::string Name;
};

struct TGeneratedLibrary {
  std::vector<TGeneratedTrack> Tracks;  // grouped artist by artist, album by album
  std::vector<TGeneratedItem> Videos;
  std::vector<TGeneratedItem> Playlists;
};

// About `trackCount` / 12.5 artists (8,000 for 100,000 tracks), albums of 1 to
// 20 tracks, tag lengths of a real collection (titles of 5-40 characters, a
// comment on one track in ten, some non-ASCII names, ~2% without album tag,
// ~3% without year), `trackCount` / 50 videos and / 300 playlists, all under
// `root`. The artist "ABBA" with the album "Waterloo" is always there, so
// the usual example queries find something.
TGeneratedLibrary GenerateLibrary(const std::string& root, int trackCount, uint32_t seed = 1);

// Adds the generated tracks, videos and playlists to `library`, as a crawl would.
void FillLibrary(TLibrary& library, const TGeneratedLibrary& generated);

}  // namespace tunevale
