// How the tag readers reach the library for ReadTags' from-library branch.
// The library implements it; the media layer never sees the library itself.
#pragma once

#include <cstdint>
#include <string_view>

#include "media/metadata.h"

namespace tunevale {

class TTrackLookup {
 public:
  virtual ~TTrackLookup() = default;
  // Looks `path` up exactly; on a hit copies the track's tags and stored read
  // result and returns true.
  virtual bool LookupTrack(std::string_view path, TMetaData& meta, uint8_t& readResult) const = 0;
};

}  // namespace tunevale
