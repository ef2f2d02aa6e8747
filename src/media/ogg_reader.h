// Tags of an Ogg file: the first logical stream that holds Vorbis, Opus or
// FLAC, its identification packet (sample rate, Opus pre-skip), its comment
// packet (vorbis_comment.h), and the length from the granule position of the
// stream's last page.
#pragma once

#include <cstdint>

#include "media/byte_reader.h"
#include "media/metadata.h"

namespace tunevale {

// Fills `meta` (already cleared) from `source`. Returns the read result: 0 =
// read; 1 = no Ogg stream of those codecs, or its header packets are damaged
// or truncated (fields read before stay).
uint8_t ReadOggFrom(TByteReader& reader, TMetaData& meta);
inline uint8_t ReadOgg(TByteSource& source, TMetaData& meta) {
  TByteReader reader(source);
  return ReadOggFrom(reader, meta);
}

}  // namespace tunevale
