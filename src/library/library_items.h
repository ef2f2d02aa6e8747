// An owning, ordered list of library items: the library's videos and its playlists.
#pragma once

#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "library/library_item.h"
#include "library/path_index.h"

namespace tunevale {

class TLibraryItems {
 public:
  explicit TLibraryItems(TLibraryFlags& flags) : Flags(flags) {}
  TLibraryItems(const TLibraryItems&) = delete;
  TLibraryItems& operator=(const TLibraryItems&) = delete;

  int Count() const { return static_cast<int>(Items.size()); }
  TLibraryItem* Item(int index) const { return Items[static_cast<size_t>(index)].get(); }
  // Index of the item with exactly this path, or -1.
  int Find(std::string_view path) const;
  // Appends an item unless the path is already listed; an empty name becomes
  // the file's display name. Marks the library changed either way.
  void Add(std::string_view path, std::string_view name, bool relative);
  void Delete(int index);
  void Clear();
  // Exchanges the items of two lists; each keeps its own flags.
  void Swap(TLibraryItems& other) {
    Items.swap(other.Items);
    std::swap(Index, other.Index);
  }

 private:
  TLibraryFlags& Flags;
  std::vector<std::unique_ptr<TLibraryItem>> Items;
  TPathIndex Index;
};

}  // namespace tunevale
