// Byte builders for FLAC and Ogg unit tests: comment structures, metadata
// blocks and streams of pages.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "tag_builders.h"

namespace tunevale::testing {

// A comment structure: vendor, count and "NAME=value" fields. `count`
// overrides the field count when not negative.
inline std::string VorbisComment(const std::vector<std::string>& fields, int64_t count = -1) {
  std::string s = Le32(7) + "encoder" + Le32(uint32_t(count < 0 ? fields.size() : count));
  for (const std::string& f : fields) s += Le32(uint32_t(f.size())) + f;
  return s;
}

inline std::string FlacBlock(int type, const std::string& body, bool last = false) {
  const auto n = uint32_t(body.size());
  return Bytes({(last ? 0x80 : 0) | type, int(n >> 16 & 0xFF), int(n >> 8 & 0xFF), int(n & 0xFF)}) + body;
}

// A STREAMINFO body: 16-bit stereo at `rate` with `samples` in all.
inline std::string FlacStreamInfo(uint32_t rate, uint64_t samples) {
  const uint64_t packed = uint64_t(rate) << 44 | uint64_t(0x2F) << 36 | (samples & 0xFFFFFFFFFULL);
  std::string s(10, '\x10');
  for (int shift = 56; shift >= 0; shift -= 8) s += char(packed >> shift & 0xFF);
  return s + std::string(16, '\0');
}

inline std::string FlacFile(const std::vector<std::string>& fields, uint32_t rate = 44100,
                            uint64_t samples = 0) {
  return "fLaC" + FlacBlock(0, FlacStreamInfo(rate, samples)) + FlacBlock(4, VorbisComment(fields), true) +
         Bytes({0xFF, 0xF8, 0x69, 0x08});
}

struct TOggPacket {
  std::string Bytes;
  int64_t Granule = 0;   // of the page where the packet ends
  bool NewPage = false;  // starts a page of its own
};

// Pages of one stream: every page holds at most `pageData` bytes, so a longer
// packet runs over several pages; the first page is marked as the stream's
// first unless `first` is false.
inline std::string OggStream(const std::vector<TOggPacket>& packets, uint32_t serial = 7,
                             size_t pageData = 4000, bool first = true) {
  std::string out, lacing, data;
  bool continued = false;
  int64_t granule = -1;
  uint32_t sequence = 0;
  auto flush = [&] {
    if (lacing.empty()) return;
    out += "OggS" + Bytes({0, (first ? 2 : 0) | (continued ? 1 : 0)}) + Le64(uint64_t(granule)) +
           Le32(serial) + Le32(sequence++) + Le32(0) + char(lacing.size()) + lacing + data;
    first = false;
    lacing.clear();
    data.clear();
    granule = -1;
    continued = false;
  };
  for (const TOggPacket& p : packets) {
    if (p.NewPage) flush();
    for (size_t at = 0, n = 255; n == 255; at += n) {
      if (lacing.size() == 255 || data.size() >= pageData) {
        flush();
        continued = at > 0;
      }
      n = std::min<size_t>(p.Bytes.size() - at, 255);
      lacing += char(n);
      data += p.Bytes.substr(at, n);
    }
    granule = p.Granule;
  }
  flush();
  return out;
}

inline std::string VorbisId(uint32_t rate) {
  return "\x01vorbis" + Le32(0) + char(2) + Le32(rate) + std::string(13, '\0');
}
inline std::string OpusId(uint16_t preSkip) {
  return "OpusHead" + Bytes({1, 2}) + Le16(preSkip) + Le32(44100) + Le16(0) + char(0);
}
inline std::string OggFlacId(uint32_t rate) {
  return "\x7F"
         "FLAC" +
         Bytes({1, 0, 0, 1}) + "fLaC" + FlacBlock(0, FlacStreamInfo(rate, 0));
}

}  // namespace tunevale::testing
