// The library search's query language.
//
//   query  = { blank } [ term { blank { blank } term } ] { blank }
//   term   = { char | quoted }              a token, at least one character once quotes are dropped
//   quoted = '"' { any char but '"' } [ '"' ]   an unclosed quote runs to the end of the text
//   blank  = ' '                            only outside quotes; inside quotes it belongs to the term
//
// A token containing ':' is split at its first ':' into field and term (also when the ':' is
// inside quotes); otherwise the field is empty. Both are case-folded. A token that contained a
// '"' anywhere is quoted: quoted terms must equal a whole field value (the file name still
// matches as a substring). "title:" alone gives an item with an empty term.
//
// Examples:
//   abba waterloo          -> {"", "abba"}, {"", "waterloo"}
//   Title:"Waterloo"       -> {"title", "waterloo", quoted}
//   AlbumArtist:"The Band" -> {"albumartist", "the band", quoted}
//   title:"wat             -> {"title", "wat", quoted}
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tunevale {

struct TSearchArrayItem {
  std::string Field;  // case-folded; empty when the term has no prefix
  std::string Term;   // case-folded
  bool Quoted = false;

  bool operator==(const TSearchArrayItem&) const = default;
};

// The items in the order of the terms in the query; all must match.
using TSearchArray = std::vector<TSearchArrayItem>;

// Never fails: every text is a query. Linear in the length of the text.
TSearchArray ParseQuery(std::string_view text);

}  // namespace tunevale
