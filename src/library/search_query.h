// The library search's query language.
//
//   query  = { blank } [ term { blank { blank } term } ] { blank }
//   term   = { char | quoted }              a token, at least one character once quotes are dropped
//   quoted = '"' { qchar } [ '"' ]          an unclosed quote runs to the end of the text
//   qchar  = '\"' | '\\' | any char but '"'   inside quotes \" is a quote and \\ a backslash;
//                                           any other backslash is itself
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
//   AlbumArtist:"12\" Singles" -> {"albumartist", 12" singles, quoted}
//
// The navigation queries below write every value this way, so any name,
// quotes and backslashes included, reads back as the value it was.
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

// `value` in double quotes, its '"' and '\' escaped.
std::string QuoteQueryValue(std::string_view value);
// The queries the library views navigate with. A missing name is written
// "<unknown>", which the album rule matches to an empty tag.
std::string ArtistQuery(std::string_view artist);
std::string AlbumQuery(std::string_view artist, std::string_view album);
std::string EntryQuery(std::string_view artist, std::string_view album, std::string_view title);
// Every file under `folder`, which should end in "/".
std::string FolderQuery(std::string_view folder);

}  // namespace tunevale
