// The XML reader and the XSPF track reading over arbitrary bytes: depth and
// text stay within their limits, and every track handed on was accepted by
// the playability check.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "playlist/xspf_playlist.h"
#include "util/xml_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tunevale;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const TXmlReader::TLimits limits{.MaxDepth = 8, .MaxText = 64};
  TXmlReader xml(text, limits);
  for (size_t tokens = 0;; ++tokens) {
    const TXmlReader::TToken token = xml.Next();
    if (token == TXmlReader::xtEnd) break;
    if (xml.Depth() > limits.MaxDepth || xml.Text().size() > limits.MaxText || tokens > 2 * size)
      std::abort();
  }

  TPlaylistScanHooks hooks;
  // No disk access: a location "exists" when its hash says so.
  auto accepted = [](const std::string& location) { return std::hash<std::string>{}(location) % 3 == 0; };
  hooks.IsPlayable = accepted;
  ReadXspf(text, "/base/", hooks, [&](const std::string& location, const std::string& title) {
    if (!accepted(location) || title.size() > 1024) std::abort();
  });
  return 0;
}
