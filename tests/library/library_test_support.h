// Building blocks for the library tests: tags records and tracks in one line.
#pragma once

#include <string>
#include <string_view>

#include "library/library.h"
#include "media/metadata.h"

namespace tunevale::test {

inline TMetaData Tags(std::string_view title, std::string_view albumArtist, std::string_view album,
                      std::string_view artist = {}) {
  TMetaData m;
  m.Title = title;
  m.AlbumArtist = albumArtist;
  m.Artist = artist.empty() ? albumArtist : artist;
  m.Album = album;
  return m;
}

inline TTrack* AddTestTrack(TLibrary& library, std::string_view path, const TMetaData& meta,
                            std::string_view name = {}, uint8_t readResult = 0, bool relative = false) {
  return library.AddTrack(TTrack::Create(path, name, meta, readResult, relative));
}

}  // namespace tunevale::test
