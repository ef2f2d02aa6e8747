#include "library/search_field.h"

#include <cstring>

namespace tunevale {

uint16_t SearchFieldsOf(std::string_view field) {
  struct TName {
    std::string_view Name;
    uint16_t Bit;
  };
  static constexpr TName Names[] = {
      {"albumartist", sfAlbumArtist}, {"album", sfAlbum}, {"title", sfTitle},
      {"filename", sfFileName},       {"artist", sfArtist}, {"genre", sfGenre},
      {"year", sfYear},               {"composers", sfComposers},
  };
  if (field.empty()) return sfAllFields;
  for (const TName& n : Names)
    if (n.Name == field) return n.Bit;
  return 0;
}

bool ContainsText(std::string_view value, std::string_view term) {
  // memmem sets up a shift table on every call, which costs more than the
  // short texts of a library take to scan: look for the first byte instead.
  const size_t m = term.size();
  if (m == 0 || m > value.size()) return false;
  const char* s = value.data();
  const char* const last = s + (value.size() - m);  // the last place the term can start
  while (s <= last) {
    s = static_cast<const char*>(std::memchr(s, term[0], static_cast<size_t>(last - s) + 1));
    if (!s) return false;
    if (std::memcmp(s + 1, term.data() + 1, m - 1) == 0) return true;
    ++s;
  }
  return false;
}

bool MatchFieldValue(std::string_view term, bool quoted, TFieldRule rule, std::string_view value,
                     bool& exact) {
  exact = term == value;
  if (rule == TFieldRule::frAlbum && value.empty() && term == kUnknownTerm) {
    exact = true;
    return true;
  }
  if (quoted) {
    if (exact) return true;
    if (rule != TFieldRule::frFileName) return false;
  }
  return ContainsText(value, term);
}

}  // namespace tunevale
