#include "library/search_query.h"

#include "util/text.h"

namespace tunevale {

namespace {

constexpr std::string_view kUnknownName = "<unknown>";

void AddItem(TSearchArray& items, std::string_view token, bool quoted) {
  TSearchArrayItem item;
  const size_t colon = token.find(':');
  if (colon == std::string_view::npos) {
    item.Term = CaseFold(token);
  } else {
    item.Field = CaseFold(token.substr(0, colon));
    item.Term = CaseFold(token.substr(colon + 1));
  }
  item.Quoted = quoted;
  items.push_back(std::move(item));
}

void AppendTerm(std::string& query, std::string_view prefix, std::string_view value) {
  if (!query.empty()) query += ' ';
  query += prefix;
  query += QuoteQueryValue(value.empty() ? kUnknownName : value);
}

}  // namespace

TSearchArray ParseQuery(std::string_view text) {
  TSearchArray items;
  std::string token;
  bool quoting = false;
  bool quoted = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoting && c == '\\' && i + 1 < text.size() && (text[i + 1] == '"' || text[i + 1] == '\\')) {
      token += text[++i];
    } else if (c == '"') {
      quoting = !quoting;
      if (quoting) quoted = true;
    } else if (c != ' ' || quoting) {
      token += c;
    } else {
      if (!token.empty()) AddItem(items, token, quoted);
      token.clear();
      quoted = false;
    }
  }
  // The end of the text ends the last token, even inside an unclosed quote.
  if (!token.empty()) AddItem(items, token, quoted);
  return items;
}

std::string QuoteQueryValue(std::string_view value) {
  std::string quoted;
  quoted.reserve(value.size() + 2);
  quoted += '"';
  for (const char c : value) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  quoted += '"';
  return quoted;
}

std::string ArtistQuery(std::string_view artist) {
  std::string query;
  AppendTerm(query, "AlbumArtist:", artist);
  return query;
}

std::string AlbumQuery(std::string_view artist, std::string_view album) {
  std::string query = ArtistQuery(artist);
  AppendTerm(query, "Album:", album);
  return query;
}

std::string EntryQuery(std::string_view artist, std::string_view album, std::string_view title) {
  std::string query = AlbumQuery(artist, album);
  AppendTerm(query, "Title:", title);
  return query;
}

std::string FolderQuery(std::string_view folder) {
  std::string query;
  AppendTerm(query, "FileName:", folder);
  return query;
}

}  // namespace tunevale
