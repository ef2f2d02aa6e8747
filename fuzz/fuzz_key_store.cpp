// The key store's lists: any file's list values split into non-empty items,
// and any items written come back as they were (empty ones dropped).
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "app/key_store.h"
#include "util/text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tunevale;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  constexpr TListKeys keys{"CurrentPlaylist", "PlaylistCount", "PlaylistItem"};

  TKeyStore file("unused");
  file.Document().Parse(bytes);
  if (const std::optional<std::vector<std::string>> items = file.ReadList(TSettingsSection::Main, keys))
    for (const std::string& item : *items)
      if (item.empty()) std::abort();

  // The input's lines as items.
  std::vector<std::string> items = Split(bytes, '\n');
  TKeyStore written("unused");
  written.WriteList(TSettingsSection::Main, keys, items);
  TKeyStore parsed("unused");
  parsed.Document().Parse(written.Document().Format());
  std::erase_if(items, [](const std::string& item) { return item.empty(); });
  if (parsed.ReadList(TSettingsSection::Main, keys) != items) std::abort();
  return 0;
}
