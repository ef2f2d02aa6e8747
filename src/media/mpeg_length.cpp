#include "media/mpeg_length.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace tunevale {

namespace {

// [version][layer][index]; MPEG 2 and 2.5 share their rows.
constexpr int16_t MpegBitrates[4][4][16] = {
    {{0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0}},
    {{0}, {0}, {0}, {0}},
    {{0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0}},
    {{0},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
     {0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0}},
};

constexpr int32_t MpegSampleRates[4][4] = {
    {11025, 12000, 8000, 0},
    {0, 0, 0, 0},
    {22050, 24000, 16000, 0},
    {44100, 48000, 32000, 0},
};

constexpr size_t XingBlockSize = 1024;

int32_t ClampLength(int64_t ms) {
  if (ms <= 0) return 0;  // a trailing tag inside the audio would give a negative length
  return ms > std::numeric_limits<int32_t>::max() ? std::numeric_limits<int32_t>::max() : int32_t(ms);
}

}  // namespace

int MpegBitrate(int version, int layer, int index) { return MpegBitrates[version & 3][layer & 3][index & 15]; }

int MpegSampleRate(int version, int index) { return MpegSampleRates[version & 3][index & 3]; }

int MpegFrameFactor(int version, int layer) {
  if ((layer & 3) == 0) return 0;
  const bool layerOne = (layer & 3) == 3;
  if ((version & 3) == 3) return layerOne ? 48 : 144;
  return layerOne ? 24 : 72;
}

int64_t RoundHalfEven(double value) {
  // The default floating-point rounding mode is to nearest, ties to even.
  return static_cast<int64_t>(std::nearbyint(value));
}

int64_t FindXing(TByteReader& reader, int64_t tagSize, uint8_t header[3]) {
  reader.Seek(tagSize);
  uint8_t block[XingBlockSize];
  for (int64_t b = 0;; ++b) {
    std::memset(block, 0, sizeof block);
    const size_t got = reader.ReadUpTo(block, sizeof block);
    const std::string_view bytes(reinterpret_cast<const char*>(block), got);
    if (header[0] != 0xFF) {
      const size_t ff = bytes.find('\xFF');
      if (ff != std::string_view::npos && ff + 1 < 1020) std::memcpy(header, block + ff, 3);
    }
    const size_t xing = bytes.find("Xing");
    if (xing != std::string_view::npos) return tagSize + b * int64_t(XingBlockSize) + int64_t(xing);
    const bool more = reader.Position() < reader.Size() && (b + 1 <= 1 || (got > 0 && block[0] == 0));
    if (!more) return -1;
  }
}

int32_t MpegLength(TByteReader& reader, int64_t tagSize, bool hasTrailingTag) {
  reader.Seek(tagSize);
  uint8_t h[3];
  reader.Read(h, 3);
  const int64_t fileSize = reader.Size();
  const int64_t xingPos = FindXing(reader, tagSize, h);
  if (h[0] != 0xFF) return 0;

  const int version = (h[1] >> 3) & 3;
  const int layer = (h[1] >> 1) & 3;
  const int bitrate = MpegBitrate(version, layer, h[2] >> 4);
  const int sampleRate = MpegSampleRate(version, (h[2] >> 2) & 3);
  const int64_t trailing = hasTrailingTag ? 128 : 0;

  if (xingPos > 0) {
    reader.Seek(xingPos + 4);
    uint8_t x[8];
    reader.Read(x, 8);
    const uint32_t flags = uint32_t(x[0]) << 24 | uint32_t(x[1]) << 16 | uint32_t(x[2]) << 8 | x[3];
    const uint32_t frames =
        (flags & 1) ? (uint32_t(x[4]) << 24 | uint32_t(x[5]) << 16 | uint32_t(x[6]) << 8 | x[7]) : 0;
    const int factor = MpegFrameFactor(version, layer);
    if (frames == 0 || factor == 0) return 0;
    const double audioBytes = double(fileSize - trailing - xingPos);
    const int64_t averageKbps = RoundHalfEven(audioBytes / frames * sampleRate / factor / 1000);
    if (averageKbps <= 0) return 0;
    return ClampLength(RoundHalfEven(audioBytes * 8 / double(averageKbps)));
  }
  if (bitrate == 0) return 0;
  const int64_t bits = (fileSize - tagSize - trailing) * 8;
  return ClampLength(RoundHalfEven(double(bits) / bitrate));
}

}  // namespace tunevale
