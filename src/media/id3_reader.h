// Tags of an MP3 stream: an ID3v2 tag at the start, else an ID3v1 tag in the
// last 128 bytes; then numeric genres become names and, when the tag gave no
// length, the MPEG length estimate fills it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "media/byte_source.h"
#include "media/metadata.h"

namespace tunevale {

// The standard ID3v1 genre list with its common extension: 148 names.
inline constexpr int Id3GenreCount = 148;
// The name at `index`, or "" outside 0..147.
std::string_view Id3GenreName(int index);

// "(N)..." with N in 0..147 becomes the name of genre N; anything else stays.
std::string ResolveGenre(const std::string& genre);

// Fills `meta` (already cleared) from `source`. Returns the read result:
// 0 = read, 1 = a read could not be completed (fields read so far stay and
// nothing further runs).
uint8_t ReadId3(TByteSource& source, TMetaData& meta);

}  // namespace tunevale
