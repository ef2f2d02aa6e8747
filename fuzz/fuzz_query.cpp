// Any text is a query: parsing never fails, and every item it gives must be
// usable by the match rules without reading past its bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "library/search_field.h"
#include "library/search_query.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tunevale;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const TSearchArray items = ParseQuery(text);
  // Folding can grow a text (ß -> ss) by at most three times; never unbounded.
  size_t total = 0;
  for (const TSearchArrayItem& item : items) {
    total += item.Field.size() + item.Term.size();
    bool exact = false;
    SearchFieldsOf(item.Field);
    MatchFieldValue(item.Term, item.Quoted, TFieldRule::frAlbum, text, exact);
    MatchFieldValue(item.Term, item.Quoted, TFieldRule::frFileName, item.Field, exact);
  }
  if (total > 3 * size + 16) std::abort();
  return 0;
}
