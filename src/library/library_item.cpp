#include "library/library_item.h"

#include <array>

#include "util/text.h"

namespace tunevale {

TLibraryItem::TLibraryItem(std::string_view path, std::string_view name, bool relative)
    : IsRelative(relative) {
  const std::string foldedPath = CaseFold(path);
  const std::string foldedName = CaseFold(name);
  const std::array<std::string_view, kItemSlots> texts = {path, name, foldedPath, foldedName};
  const std::array<int8_t, kItemSlots> twins = {-1, -1, kPath, kName};
  Texts.Build(texts, twins);
}

}  // namespace tunevale
