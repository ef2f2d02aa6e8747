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
  if (term.empty() || term.size() > value.size()) return false;
  if (term.size() == 1) return std::memchr(value.data(), term[0], value.size()) != nullptr;
  return memmem(value.data(), value.size(), term.data(), term.size()) != nullptr;
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
