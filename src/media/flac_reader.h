// Tags of a FLAC file: its metadata blocks, STREAMINFO for the length and
// VORBIS_COMMENT for the fields (vorbis_comment.h). An ID3v2 tag that some
// taggers put before the "fLaC" mark is stepped over, not read.
#pragma once

#include <cstdint>

#include "media/byte_reader.h"
#include "media/metadata.h"

namespace tunevale {

// The body of a STREAMINFO block.
inline constexpr size_t FlacStreamInfoSize = 34;

struct TFlacStreamInfo {
  uint32_t SampleRate = 0;
  uint64_t TotalSamples = 0;  // 0 when the encoder did not know it
};

TFlacStreamInfo ParseFlacStreamInfo(const uint8_t (&body)[FlacStreamInfoSize]);

// `samples` at `sampleRate` in milliseconds, rounded; 0 for a rate of 0, at
// most the largest 32-bit length.
int32_t SamplesToMilliseconds(uint64_t samples, uint32_t sampleRate);

// Fills `meta` (already cleared) from `source`. Returns the read result: 0 =
// read; 1 = no FLAC stream, or a block is truncated or runs past the end
// (fields read before stay).
uint8_t ReadFlacFrom(TByteReader& reader, TMetaData& meta);
inline uint8_t ReadFlac(TByteSource& source, TMetaData& meta) {
  TByteReader reader(source);
  return ReadFlacFrom(reader, meta);
}

}  // namespace tunevale
