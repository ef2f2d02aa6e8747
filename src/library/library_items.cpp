#include "library/library_items.h"

#include "media/metadata.h"

namespace tunevale {

int TLibraryItems::Find(std::string_view path) const {
  const TLibraryItem* item = Index.Find(path);
  if (!item) return -1;
  for (size_t i = Items.size(); i-- > 0;)
    if (Items[i].get() == item) return static_cast<int>(i);
  return -1;
}

void TLibraryItems::Add(std::string_view path, std::string_view name, bool relative) {
  if (!Index.Find(path)) {
    const std::string displayName = name.empty() ? FileDisplayName(path) : std::string(name);
    Items.push_back(std::make_unique<TLibraryItem>(path, displayName, relative));
    Index.Insert(Items.back().get());
  }
  Flags.LibraryDirty = true;
  Flags.ListsStale = true;
}

void TLibraryItems::Delete(int index) {
  Index.Erase(Items[static_cast<size_t>(index)].get());
  Items.erase(Items.begin() + index);
  Flags.LibraryDirty = true;
  Flags.ListsStale = true;
}

void TLibraryItems::Clear() {
  Index.Clear();
  while (!Items.empty()) Items.pop_back();  // last to first
}

}  // namespace tunevale
