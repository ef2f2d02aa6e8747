// A playlist entry's record and the outcome of opening it.
#pragma once

#include <cstdint>
#include <string>

#include "media/metadata.h"

namespace tunevale {

// Code 0: opened and started (or refused because another open was running);
// -1: a playlist file that was expanded instead; -2: a web page, passed over;
// -3: an unexpected error; any other negative value: the engine's error code.
// Message holds the error text for the failures.
struct TPlayResult {
  int32_t Code = 0;
  std::string Message;
};

inline constexpr int32_t prPlaylistExpanded = -1;
inline constexpr int32_t prWebPage = -2;
inline constexpr int32_t prUnexpectedError = -3;

// Owned by its playlist row.
struct TTrackData {
  TMetaData MetaData;      // empty until ReadTrackInfo reads the tags
  bool InfoRead = false;   // the tags have been read
  TPlayResult PlayResult;  // the last attempt to open the entry
  std::string FileName;    // the path or URL exactly as added
};

}  // namespace tunevale
