// Small tagged MP3 files for tests and benchmarks: an ID3v2.3 tag with text
// frames followed by a few silent MPEG-1 Layer III frames (128 kbit/s,
// 44100 Hz, 417 bytes each, about 26 ms of sound per frame).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tunevale::test {

struct TMp3Tags {
  std::string Title;
  std::string Artist;
  std::string AlbumArtist;
  std::string Album;
  std::string Track;
  std::string Year;
};

inline void AppendId3Frame(std::string& out, std::string_view id, std::string_view text) {
  if (text.empty()) return;
  const uint32_t size = static_cast<uint32_t>(text.size() + 1);  // encoding byte + text
  out += id;
  for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((size >> shift) & 0xFF);
  out += std::string(2, '\0');  // flags
  out += '\0';                  // ISO-8859-1
  out += text;
}

// The bytes of a whole file.
inline std::string MakeMp3(const TMp3Tags& tags, int frameCount = 4) {
  std::string frames;
  AppendId3Frame(frames, "TIT2", tags.Title);
  AppendId3Frame(frames, "TPE1", tags.Artist);
  AppendId3Frame(frames, "TPE2", tags.AlbumArtist);
  AppendId3Frame(frames, "TALB", tags.Album);
  AppendId3Frame(frames, "TRCK", tags.Track);
  AppendId3Frame(frames, "TYER", tags.Year);
  std::string out = "ID3";
  out += '\x03';
  out += '\0';
  out += '\0';
  const uint32_t size = static_cast<uint32_t>(frames.size());
  for (int shift = 21; shift >= 0; shift -= 7) out += static_cast<char>((size >> shift) & 0x7F);  // syncsafe
  out += frames;
  for (int i = 0; i < frameCount; ++i) {
    out += "\xFF\xFB\x90\x64";  // sync, MPEG-1 Layer III, 128 kbit/s, 44100 Hz, no padding
    out += std::string(417 - 4, '\0');
  }
  return out;
}

}  // namespace tunevale::test
