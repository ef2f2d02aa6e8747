// Exact path → item lookup for the library's tracks and lists. Open
// addressing over item pointers that carry 16 bits of their path's hash in
// the unused top bits, so a probe rarely touches an item; the key is read
// from the item itself: one word per slot, no allocation per entry.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "library/huge_memory.h"

namespace tunevale {

class TLibraryItem;

class TPathIndex {
 public:
  // Adds `item` under its Path(); the path must not be indexed yet.
  void Insert(TLibraryItem* item);
  // Removes `item` (found by its Path()); nothing happens when absent.
  void Erase(const TLibraryItem* item);
  TLibraryItem* Find(std::string_view path) const;
  // Asks for the memory a look-up of `path` will read, ahead of the look-up
  // (a big index misses the cache on nearly every probe).
  void Prefetch(std::string_view path) const;
  void Clear();
  void Reserve(size_t count);
  size_t Size() const { return Count; }

 private:
  void Grow(size_t capacity);
  size_t SlotOf(std::string_view path, uint64_t hash) const;
  static TLibraryItem* ItemOf(uint64_t slot);
  THugeArray<uint64_t> Slots;  // tagged pointers; capacity is a power of two, or 0
  size_t Count = 0;
};

}  // namespace tunevale
