// The user's mimeapps.list: any bytes merge without a crash; after making us
// the default our id leads each list, after removing it none is left.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/ini_document.h"
#include "install/mime_apps_list.h"

namespace {

std::string Defaults(const std::string& text, const char* type) {
  tunevale::TIniDocument doc;
  doc.Parse(text);
  return std::string(doc.RawValue("Default Applications", type).value_or(""));
}

// Whether the list names our id as one of its items; a foreign id may merely begin with it.
bool Lists(const std::string& list, std::string_view id) {
  for (size_t start = 0; start <= list.size();) {
    const size_t end = std::min(list.find(';', start), list.size());
    if (std::string_view(list).substr(start, end - start) == id) return true;
    start = end + 1;
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tunevale;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string set = SetDefaultApplication(bytes, {"audio/mpeg", "video/mp4"}, "tunevale.desktop");
  if (Defaults(set, "audio/mpeg").rfind("tunevale.desktop;", 0) != 0) std::abort();
  const std::string removed = RemoveDefaultApplication(set, "tunevale.desktop", {});
  if (Lists(Defaults(removed, "audio/mpeg"), "tunevale.desktop")) std::abort();
  if (Lists(Defaults(removed, "video/mp4"), "tunevale.desktop")) std::abort();
  return 0;
}
