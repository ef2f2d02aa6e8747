#include "media/ogg_reader.h"

#include <cstring>

#include "media/flac_reader.h"
#include "media/ogg_packet_reader.h"
#include "media/vorbis_comment.h"

namespace tunevale {

namespace {

enum TCodecKind { ckNone, ckVorbis, ckOpus, ckFlac };

struct TCodec {
  TCodecKind Kind = ckNone;
  uint32_t SampleRate = 0;
  uint16_t PreSkip = 0;        // Opus: samples at the start that are not played
  uint16_t HeaderPackets = 0;  // FLAC: metadata packets after the first (0: not said)
};

constexpr uint32_t OpusRate = 48000;  // Opus granule positions count at 48 kHz whatever the input was
constexpr size_t IdPrefix = 16;       // enough to tell the codecs apart and read Vorbis and Opus

uint32_t Le32(const uint8_t* b) {
  return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}

// The codec of a stream from its identification packet (the reader's current packet).
TCodec Identify(TOggPacketReader& packets) {
  TCodec codec;
  uint8_t id[IdPrefix];
  packets.Read(id, sizeof id);
  if (std::memcmp(id, "\x01vorbis", 7) == 0) {
    codec.Kind = ckVorbis;
    codec.SampleRate = Le32(id + 12);
  } else if (std::memcmp(id, "OpusHead", 8) == 0) {
    codec.Kind = ckOpus;
    codec.SampleRate = OpusRate;
    codec.PreSkip = static_cast<uint16_t>(id[10] | id[11] << 8);
  } else if (std::memcmp(id,
                         "\x7F"
                         "FLAC",
                         5) == 0 &&
             std::memcmp(id + 9, "fLaC", 4) == 0) {
    // Then the STREAMINFO block: its 4-byte header (3 of them read already) and body.
    uint8_t rest[1 + FlacStreamInfoSize];
    packets.Read(rest, sizeof rest);
    uint8_t body[FlacStreamInfoSize];
    std::memcpy(body, rest + 1, FlacStreamInfoSize);
    codec.Kind = ckFlac;
    codec.SampleRate = ParseFlacStreamInfo(body).SampleRate;
    codec.HeaderPackets = static_cast<uint16_t>(id[7] << 8 | id[8]);
  }
  return codec;
}

// Every stream has one: a stream cut off before it is damaged.
void NextHeaderPacket(TOggPacketReader& packets) {
  if (!packets.NextPacket()) throw EReadError("a header packet is missing");
}

// The comment packet follows the identification packet directly.
void ReadCommentPacket(TOggPacketReader& packets, const char* magic, size_t length, TMetaData& meta) {
  NextHeaderPacket(packets);
  char head[8];
  packets.Read(head, length);
  if (std::memcmp(head, magic, length) == 0) ReadVorbisComment(packets, meta);
}

// In Ogg FLAC every further metadata block is a packet of its own.
void ReadFlacCommentBlock(TOggPacketReader& packets, uint16_t headerPackets, TMetaData& meta) {
  constexpr uint8_t LastBlock = 0x80, VorbisCommentBlock = 4, AudioFrame = 0xFF;
  for (int i = 0; headerPackets == 0 || i < headerPackets; ++i) {
    NextHeaderPacket(packets);
    uint8_t h[4];
    packets.Read(h, 4);
    if (h[0] == AudioFrame) return;
    if ((h[0] & 0x7F) == VorbisCommentBlock) {
      ReadVorbisComment(packets, meta);
      return;
    }
    if ((h[0] & LastBlock) != 0) return;
  }
}

}  // namespace

uint8_t ReadOggFrom(TByteReader& reader, TMetaData& meta) {
  try {
    TOggPage page;
    if (!ReadOggPage(reader, 0, page)) return 1;
    // The first page of every stream comes before any other page, each with
    // the stream's identification packet alone: take the first stream we know.
    TCodec codec;
    for (;;) {
      if ((page.Flags & TOggPage::FirstOfStream) == 0) return 1;
      TOggPacketReader packets(reader, page);
      if (packets.NextPacket()) {
        try {
          codec = Identify(packets);
        } catch (const EReadError&) {
          codec = TCodec();  // an identification packet too short for any codec we know
        }
      }
      if (codec.Kind != ckNone) {
        const int64_t granule = LastOggGranule(reader, page.Serial, page.End());
        if (granule >= codec.PreSkip)
          meta.Length =
              SamplesToMilliseconds(static_cast<uint64_t>(granule - codec.PreSkip), codec.SampleRate);
        if (codec.Kind == ckVorbis) ReadCommentPacket(packets, "\x03vorbis", 7, meta);
        if (codec.Kind == ckOpus) ReadCommentPacket(packets, "OpusTags", 8, meta);
        if (codec.Kind == ckFlac) ReadFlacCommentBlock(packets, codec.HeaderPackets, meta);
        return 0;
      }
      if (!ReadOggPage(reader, page.End(), page)) return 1;
    }
  } catch (const EReadError&) {
    return 1;
  }
}

}  // namespace tunevale
