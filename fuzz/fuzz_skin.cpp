// Skin files: any bytes give a whole skin or an error, never a crash, and a
// picture is never larger than the input.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/skin.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tunevale;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::string error;
  const std::optional<TSkin> skin = ParseSkin(bytes, error);
  if (skin.has_value() == !error.empty()) std::abort();
  if (skin && skin->Picture && skin->Picture->size() + SkinHeaderSize > size) std::abort();
  return 0;
}
