// Any bytes are a playlist: the scanner never fails, keeps only locations the
// check accepted, never keeps one twice in a row, and each location is built
// from the bytes of one value (plus the base folder), so nothing grows beyond them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "playlist/playlist_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tunevale;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string base = "/base/folder/";
  std::string last;
  size_t entries = 0;
  size_t values = 0;
  TPlaylistScanHooks hooks;
  // No disk access: a location "exists" when its hash says so, so both paths get exercised.
  hooks.IsPlayable = [](const std::string& location) {
    return location.find('\0') == std::string::npos && std::hash<std::string>{}(location) % 3 == 0;
  };
  hooks.OnEntry = [&](const std::string& location) {
    if (location == last && entries > 0) std::abort();
    if (location.size() > base.size() + size) std::abort();
    last = location;
    ++entries;
  };
  hooks.AfterValue = [&] { ++values; };
  ScanPlaylistText(text, base, hooks);
  if (entries > values || values > size + 1) std::abort();
  return 0;
}
