// The tags record of a track, filled by the tag readers and embedded by the
// library track and the playlist entry.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tunevale {

struct TMetaData {
  std::string Title;
  std::string Artist;
  std::string AlbumArtist;  // the library groups tracks by this field
  std::string Album;
  std::string Genre;
  std::string Publisher;
  std::string Composer;
  std::string Copyright;
  std::string Comment;
  std::string URL;
  int32_t Track = 0;      // 0 when unknown
  int32_t Year = -1;      // -1 when unknown
  int32_t Length = 0;     // milliseconds; 0 when unknown
  int32_t FileDate = 0;   // last-write time stamp of the file; not a tag
};

// Empties the texts and resets Track, Year and Length; FileDate stays.
void ClearMetaData(TMetaData& meta);
// Every field but FileDate equal, texts compared exactly.
bool MetaDataEquals(const TMetaData& a, const TMetaData& b);

// The name shown for a file that has no title. Addresses ("scheme://...")
// give their last path piece, decoded; local paths give their file name
// without extension, title-cased when it starts in lower case.
std::string FileDisplayName(std::string_view path);

// Decodes %XX escapes (two hexadecimal digits give one byte).
std::string DecodePercentEscapes(std::string_view s);

}  // namespace tunevale
