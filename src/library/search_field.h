// The match rules of one search term against one field value. Both sides are
// case-folded before they get here (terms by ParseQuery, values once when they
// enter the library), so a comparison is plain byte work.
#pragma once

#include <cstdint>
#include <string_view>

namespace tunevale {

// How a field compares.
enum class TFieldRule : uint8_t {
  frPlain,     // substring; a quoted term must equal the whole value
  frAlbum,     // as plain, and "<unknown>" also matches the empty value
  frFileName,  // substring, quoted or not
};

// The searchable fields, as bits so a term's prefix resolves once per query.
enum TSearchField : uint16_t {
  sfAlbumArtist = 1 << 0,
  sfAlbum = 1 << 1,
  sfTitle = 1 << 2,
  sfFileName = 1 << 3,
  sfArtist = 1 << 4,
  sfGenre = 1 << 5,
  sfYear = 1 << 6,
  sfComposers = 1 << 7,
  sfAllFields = 0xff,
};

// The field bits a prefix names: every field for the empty prefix, none for
// an unknown one ("foo:" applies to no field).
uint16_t SearchFieldsOf(std::string_view field);

// Whether `term` occurs in `value`; the empty term occurs nowhere.
bool ContainsText(std::string_view value, std::string_view term);

// The text the album rule matches against the empty value.
inline constexpr std::string_view kUnknownTerm = "<unknown>";

// One comparison. `exact` receives whether the term names the whole value
// (the empty value counts as named by "<unknown>" under the album rule, since
// that is the name the lists show for it).
bool MatchFieldValue(std::string_view term, bool quoted, TFieldRule rule, std::string_view value,
                     bool& exact);

}  // namespace tunevale
