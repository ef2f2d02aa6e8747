#include "media/flac_reader.h"

#include <cstring>
#include <limits>

#include "media/byte_reader.h"
#include "media/vorbis_comment.h"

namespace tunevale {

namespace {

constexpr uint8_t StreamInfoBlock = 0, VorbisCommentBlock = 4;

// One metadata block of the file: reads stop at its end.
class TBlockStream final : public TCommentStream {
 public:
  TBlockStream(TByteReader& reader, int64_t end) : Reader(reader), End(end) {}
  void Read(void* buffer, size_t count) override {
    Need(static_cast<int64_t>(count));
    Reader.Read(buffer, count);
  }
  void Skip(int64_t count) override {
    Need(count);
    Reader.Skip(count);
  }
  int64_t Left() const override { return End - Reader.Position(); }

 private:
  void Need(int64_t count) const {
    if (count < 0 || count > Left()) throw EReadError("block truncated");
  }
  TByteReader& Reader;
  int64_t End;
};

// Where the "fLaC" mark should be: after an ID3v2 tag (with its footer) if one leads.
int64_t StreamStart(TByteReader& reader) {
  uint8_t h[10];
  reader.Seek(0);
  if (reader.ReadUpTo(h, 10) < 10) return 0;
  if (std::memcmp(h, "ID3", 3) != 0) return 0;
  const int64_t size =
      int64_t(h[6] & 0x7F) << 21 | int64_t(h[7] & 0x7F) << 14 | int64_t(h[8] & 0x7F) << 7 | (h[9] & 0x7F);
  return 10 + size + ((h[5] & 0x10) != 0 ? 10 : 0);
}

}  // namespace

TFlacStreamInfo ParseFlacStreamInfo(const uint8_t (&b)[FlacStreamInfoSize]) {
  TFlacStreamInfo info;
  info.SampleRate = uint32_t(b[10]) << 12 | uint32_t(b[11]) << 4 | b[12] >> 4;
  info.TotalSamples = uint64_t(b[13] & 0x0F) << 32 | uint64_t(b[14]) << 24 | uint64_t(b[15]) << 16 |
                      uint64_t(b[16]) << 8 | b[17];
  return info;
}

int32_t SamplesToMilliseconds(uint64_t samples, uint32_t sampleRate) {
  if (sampleRate == 0) return 0;
  constexpr uint64_t Max = std::numeric_limits<int32_t>::max();
  // Whole seconds first: samples * 1000 could overflow.
  const uint64_t seconds = samples / sampleRate;
  if (seconds > Max / 1000) return static_cast<int32_t>(Max);
  const uint64_t ms = seconds * 1000 + ((samples % sampleRate) * 1000 + sampleRate / 2) / sampleRate;
  return static_cast<int32_t>(std::min(ms, Max));
}

uint8_t ReadFlacFrom(TByteReader& reader, TMetaData& meta) {
  try {
    reader.Seek(StreamStart(reader));
    uint8_t mark[4];
    reader.Read(mark, 4);
    if (std::memcmp(mark, "fLaC", 4) != 0) return 1;
    bool haveInfo = false, haveComment = false;
    for (bool last = false; !last && !(haveInfo && haveComment);) {
      uint8_t h[4];
      reader.Read(h, 4);
      last = (h[0] & 0x80) != 0;
      const uint8_t type = h[0] & 0x7F;
      const int64_t length = int64_t(h[1]) << 16 | int64_t(h[2]) << 8 | h[3];
      if (length > reader.Remaining()) return 1;
      const int64_t end = reader.Position() + length;
      if (type == StreamInfoBlock && !haveInfo && length >= int64_t(FlacStreamInfoSize)) {
        uint8_t body[FlacStreamInfoSize];
        reader.Read(body, FlacStreamInfoSize);
        const TFlacStreamInfo info = ParseFlacStreamInfo(body);
        meta.Length = SamplesToMilliseconds(info.TotalSamples, info.SampleRate);
        haveInfo = true;
      } else if (type == VorbisCommentBlock && !haveComment) {
        TBlockStream block(reader, end);
        ReadVorbisComment(block, meta);
        haveComment = true;
      }
      reader.Seek(end);
    }
    return 0;
  } catch (const EReadError&) {
    return 1;
  }
}

}  // namespace tunevale
