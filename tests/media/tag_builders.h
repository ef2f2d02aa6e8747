// Byte builders for tag unit tests: ID3v2 frames and tags, ID3v1 tags, MPEG
// frame headers and ASF objects, so each case states its bytes plainly.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <tuple>

#include "media/byte_source.h"
#include "media/metadata.h"
#include "util/text.h"

namespace tunevale {

// Tag records compare whole in the tests: every field but the file date.
inline auto Fields(const TMetaData& m) {
  return std::tie(m.Title, m.Artist, m.AlbumArtist, m.Album, m.Genre, m.Publisher, m.Composer, m.Copyright,
                  m.Comment, m.URL, m.Track, m.Year, m.Length);
}
inline bool operator==(const TMetaData& a, const TMetaData& b) { return Fields(a) == Fields(b); }
inline void PrintTo(const TMetaData& m, std::ostream* os) { *os << ::testing::PrintToString(Fields(m)); }

}  // namespace tunevale

namespace tunevale::testing {

struct TRead {
  uint8_t Result;
  TMetaData Meta;
};

// The fields of a record in order, joined by "|".
inline std::string Summary(const TMetaData& m) {
  return Join({m.Title, m.Artist, m.AlbumArtist, m.Album, m.Genre, m.Publisher, m.Composer, m.Copyright,
               m.Comment, m.URL, std::to_string(m.Track), std::to_string(m.Year)},
              "|");
}

// Runs a reader (ReadId3, ReadAsf) over bytes in memory.
template <class TReader>
TRead ReadBytes(TReader reader, const std::string& bytes) {
  TRead r;
  TMemorySource source(bytes);
  r.Result = reader(source, r.Meta);
  return r;
}

inline std::string Bytes(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes) s += static_cast<char>(b);
  return s;
}

inline std::string BigEndian32(uint32_t v) {
  return Bytes({int(v >> 24 & 0xFF), int(v >> 16 & 0xFF), int(v >> 8 & 0xFF), int(v & 0xFF)});
}

inline std::string Syncsafe32(uint32_t v) {
  return Bytes({int(v >> 21 & 0x7F), int(v >> 14 & 0x7F), int(v >> 7 & 0x7F), int(v & 0x7F)});
}

// A four-letter frame; `body` starts with the encoding byte. The size is
// plain big-endian (ID3v2.3) unless `syncsafe` (ID3v2.4).
inline std::string Frame(std::string_view id, std::string_view body, bool syncsafe = false) {
  const auto n = static_cast<uint32_t>(body.size());
  return std::string(id) + (syncsafe ? Syncsafe32(n) : BigEndian32(n)) + std::string(2, '\0') +
         std::string(body);
}

// A three-letter (ID3v2.2) frame.
inline std::string Frame22(std::string_view id, std::string_view body) {
  const auto n = static_cast<uint32_t>(body.size());
  return std::string(id) + Bytes({int(n >> 16 & 0xFF), int(n >> 8 & 0xFF), int(n & 0xFF)}) +
         std::string(body);
}

// A text frame body: encoding byte then the bytes as given.
inline std::string Text(std::string_view bytes, int encoding = 0) {
  return static_cast<char>(encoding) + std::string(bytes);
}

// UTF-16 little-endian bytes of an ASCII text.
inline std::string Utf16LE(std::string_view ascii) {
  std::string s;
  for (char c : ascii) s += std::string{c, '\0'};
  return s;
}

inline std::string Utf16BE(std::string_view ascii) {
  std::string s;
  for (char c : ascii) s += std::string{'\0', c};
  return s;
}

// ID3v2 header (syncsafe size of `frames` + `padding`) followed by the frames and zero padding.
inline std::string Id3Tag(std::string_view frames, int version = 3, size_t padding = 16) {
  const auto size = static_cast<uint32_t>(frames.size() + padding);
  return "ID3" + Bytes({version, 0, 0}) + Syncsafe32(size) + std::string(frames) + std::string(padding, '\0');
}

// An ID3v1.1 tag: fields padded with zeros to their widths.
inline std::string Id3v1Tag(std::string_view title, std::string_view artist, std::string_view album,
                            std::string_view year, std::string_view comment, int track, int genre) {
  auto field = [](std::string_view v, size_t width) {
    std::string s(v.substr(0, width));
    s.resize(width, '\0');
    return s;
  };
  return "TAG" + field(title, 30) + field(artist, 30) + field(album, 30) + field(year, 4) +
         field(comment, 29) + Bytes({track, genre});
}

// MPEG-1 Layer III, 128 kbit/s, 44100 Hz.
inline const std::string Mpeg1Layer3Header128 = Bytes({0xFF, 0xFB, 0x90, 0x64});

// `count` bytes of audio that never begin a block with a zero byte.
inline std::string Audio(size_t count) {
  std::string s(count, '\x55');
  return s;
}

// ---- ASF ----

inline std::string Le16(uint16_t v) { return Bytes({v & 0xFF, v >> 8}); }
inline std::string Le32(uint32_t v) { return Le16(uint16_t(v & 0xFFFF)) + Le16(uint16_t(v >> 16)); }
inline std::string Le64(uint64_t v) { return Le32(uint32_t(v)) + Le32(uint32_t(v >> 32)); }

inline const std::string AsfHeaderGuid =
    Bytes({0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C});
inline const std::string AsfContentGuid =
    Bytes({0x33, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11, 0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C});
inline const std::string AsfExtendedGuid =
    Bytes({0x40, 0xA4, 0xD0, 0xD2, 0x07, 0xE3, 0xD2, 0x11, 0x97, 0xF0, 0x00, 0xA0, 0xC9, 0x5E, 0xA8, 0x50});
inline const std::string AsfOtherGuid = std::string(16, '\x11');

inline std::string AsfObject(const std::string& guid, std::string_view body) {
  return guid + Le64(24 + body.size()) + std::string(body);
}

// A terminated UTF-16LE text as ASF stores it (ASCII input).
inline std::string AsfText(std::string_view ascii) { return Utf16LE(ascii) + std::string(2, '\0'); }

inline std::string AsfContent(std::string_view title, std::string_view author, std::string_view copyright,
                              std::string_view description, std::string_view rating) {
  std::string lengths, texts;
  for (std::string_view t : {title, author, copyright, description, rating}) {
    const std::string w = t.empty() ? std::string() : AsfText(t);
    lengths += Le16(uint16_t(w.size()));
    texts += w;
  }
  return AsfObject(AsfContentGuid, lengths + texts);
}

// One descriptor of the Extended Content Description object; `value` raw.
inline std::string AsfDescriptor(std::string_view name, uint16_t type, std::string_view value) {
  const std::string n = AsfText(name);
  return Le16(uint16_t(n.size())) + n + Le16(type) + Le16(uint16_t(value.size())) + std::string(value);
}

inline std::string AsfExtended(uint16_t count, std::string_view descriptors) {
  return AsfObject(AsfExtendedGuid, Le16(count) + std::string(descriptors));
}

// The Header object holding `objects` (`count` of them), as a whole file.
inline std::string AsfFile(uint32_t count, std::string_view objects) {
  return AsfHeaderGuid + Le64(30 + objects.size()) + Le32(count) + Bytes({1, 2}) + std::string(objects);
}

}  // namespace tunevale::testing
