// Exact path → item lookup for the library's tracks and lists. Open
// addressing over item pointers with a parallel array of path hashes, so a
// probe rarely touches an item and growing never does; the key is read from
// the item itself, with no allocation per entry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace tunevale {

class TLibraryItem;

class TPathIndex {
 public:
  // Adds `item` under its Path(); the path must not be indexed yet.
  void Insert(TLibraryItem* item);
  // Removes `item` (found by its Path()); nothing happens when absent.
  void Erase(const TLibraryItem* item);
  TLibraryItem* Find(std::string_view path) const;
  void Clear();
  void Reserve(size_t count);
  size_t Size() const { return Count; }

 private:
  void Grow(size_t capacity);
  size_t SlotOf(std::string_view path, uint32_t hash) const;
  std::vector<TLibraryItem*> Slots;  // capacity is a power of two, or 0
  std::vector<uint32_t> Hashes;      // hash of each slot's path
  size_t Count = 0;
};

}  // namespace tunevale
