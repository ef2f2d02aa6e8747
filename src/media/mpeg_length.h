// Play length of an MP3 stream estimated from its first frame header: the
// frame count of a "Xing" header when there is one, else a constant bitrate
// over the audio bytes. No decoding.
#pragma once

#include <cstdint>

#include "media/byte_reader.h"

namespace tunevale {

// Bitrate in kbit/s for the header's version bits (0 = MPEG 2.5, 1 reserved,
// 2 = MPEG 2, 3 = MPEG 1), layer bits (1 = III, 2 = II, 3 = I) and bitrate index.
int MpegBitrate(int version, int layer, int index);
// Sample rate in Hz; 0 for the reserved version or index 3.
int MpegSampleRate(int version, int index);
// Bytes per frame = factor * bitrate / sample rate; 0 for the reserved layer.
int MpegFrameFactor(int version, int layer);

// Rounds to the nearest integer, halves to the even neighbour.
int64_t RoundHalfEven(double value);

// Searches for "Xing" from `tagSize` on in blocks of 1024 bytes: the first two
// blocks, and further ones while a block begins with a zero byte. When
// header[0] is not FF, the first FF in a block (at a 1-based position below
// 1020) and the two bytes after it become the header. Returns the absolute
// position of "Xing", or -1.
int64_t FindXing(TByteReader& reader, int64_t tagSize, uint8_t header[3]);

// Milliseconds, 0 when it cannot tell. `tagSize` is where the audio starts;
// `hasTrailingTag` excludes the last 128 bytes. Throws EReadError when the
// header bytes at `tagSize` or the Xing fields cannot be read.
int32_t MpegLength(TByteReader& reader, int64_t tagSize, bool hasTrailingTag);

}  // namespace tunevale
