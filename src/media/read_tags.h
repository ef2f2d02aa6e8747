// ReadTags: the one entry point that fills a TMetaData record for a media
// file, picking a reader by extension (by the first bytes among the FLAC and
// Ogg types), or taking the library's copy.
#pragma once

#include <cstdint>
#include <string>

#include "media/metadata.h"
#include "media/track_lookup.h"

namespace tunevale {

// Read results, stored by the library with each track.
inline constexpr uint8_t ReadResultOk = 0;          // read, or nothing to read (file missing)
inline constexpr uint8_t ReadResultFailed = 1;      // no reader for the type, or an error while reading
inline constexpr uint8_t ReadResultNotOpened = 2;   // exists but could not be opened; read again later

// Clears `meta` (FileDate stays) and fills it. With `fromLibrary` and a
// `library`, a track stored under exactly this path is copied with its stored
// result and the file is not touched. Afterwards AlbumArtist and Artist are
// both empty or both set. Never throws.
uint8_t ReadTags(const std::string& fileName, TMetaData& meta, bool fromLibrary,
                 const TTrackLookup* library = nullptr);

}  // namespace tunevale
