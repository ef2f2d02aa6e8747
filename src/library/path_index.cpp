#include "library/path_index.h"

#include <functional>

#include "library/library_item.h"

namespace tunevale {

namespace {

size_t HashPath(std::string_view path) { return std::hash<std::string_view>()(path); }

}  // namespace

size_t TPathIndex::SlotOf(std::string_view path) const {
  const size_t mask = Slots.size() - 1;
  size_t i = HashPath(path) & mask;
  while (Slots[i] && Slots[i]->Path() != path) i = (i + 1) & mask;
  return i;
}

void TPathIndex::Grow(size_t capacity) {
  std::vector<TLibraryItem*> old(capacity, nullptr);
  old.swap(Slots);
  for (TLibraryItem* item : old)
    if (item) Slots[SlotOf(item->Path())] = item;
}

void TPathIndex::Reserve(size_t count) {
  size_t capacity = 16;
  while (capacity < count * 2) capacity *= 2;
  if (capacity > Slots.size()) Grow(capacity);
}

void TPathIndex::Insert(TLibraryItem* item) {
  if ((Count + 1) * 2 > Slots.size()) Grow(Slots.empty() ? 16 : Slots.size() * 2);
  Slots[SlotOf(item->Path())] = item;
  ++Count;
}

void TPathIndex::Erase(const TLibraryItem* item) {
  if (Slots.empty()) return;
  const size_t mask = Slots.size() - 1;
  size_t hole = SlotOf(item->Path());
  if (Slots[hole] != item) return;
  Slots[hole] = nullptr;
  --Count;
  // Backward-shift the entries after the hole that could not reach their home.
  for (size_t i = (hole + 1) & mask; Slots[i]; i = (i + 1) & mask) {
    const size_t home = HashPath(Slots[i]->Path()) & mask;
    // The entry may move into the hole unless its home lies cyclically in (hole, i].
    const bool homeBetween = hole <= i ? (home > hole && home <= i) : (home > hole || home <= i);
    if (!homeBetween) {
      Slots[hole] = Slots[i];
      Slots[i] = nullptr;
      hole = i;
    }
  }
}

TLibraryItem* TPathIndex::Find(std::string_view path) const {
  if (Slots.empty()) return nullptr;
  return Slots[SlotOf(path)];
}

void TPathIndex::Clear() {
  Slots.clear();
  Count = 0;
}

}  // namespace tunevale
