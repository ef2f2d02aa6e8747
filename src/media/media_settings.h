#pragma once

#include <string>

namespace tunevale {

// The settings the media layer reads; part of the one settings record.
struct TMediaSettings {
  std::string CustomMusicExtensions;
  std::string CustomVideoExtensions;
  std::string CustomPlaylistExtensions;
};

}  // namespace tunevale
