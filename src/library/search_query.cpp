#include "library/search_query.h"

#include "util/text.h"

namespace tunevale {

namespace {

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

}  // namespace

TSearchArray ParseQuery(std::string_view text) {
  TSearchArray items;
  std::string token;
  bool quoting = false;
  bool quoted = false;
  for (const char c : text) {
    if (c == '"') {
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

}  // namespace tunevale
