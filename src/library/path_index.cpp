#include "library/path_index.h"

#include <functional>

#include "library/library_item.h"

namespace tunevale {

namespace {

uint32_t HashPath(std::string_view path) {
  const size_t h = std::hash<std::string_view>()(path);
  return static_cast<uint32_t>(h ^ (h >> 32));
}

}  // namespace

size_t TPathIndex::SlotOf(std::string_view path, uint32_t hash) const {
  const size_t mask = Slots.size() - 1;
  size_t i = hash & mask;
  while (Slots[i] && (Hashes[i] != hash || Slots[i]->Path() != path)) i = (i + 1) & mask;
  return i;
}

void TPathIndex::Grow(size_t capacity) {
  std::vector<TLibraryItem*> oldSlots(capacity, nullptr);
  std::vector<uint32_t> oldHashes(capacity, 0);
  oldSlots.swap(Slots);
  oldHashes.swap(Hashes);
  const size_t mask = capacity - 1;
  for (size_t k = 0; k < oldSlots.size(); ++k) {
    if (!oldSlots[k]) continue;
    size_t i = oldHashes[k] & mask;
    while (Slots[i]) i = (i + 1) & mask;
    Slots[i] = oldSlots[k];
    Hashes[i] = oldHashes[k];
  }
}

void TPathIndex::Reserve(size_t count) {
  size_t capacity = 16;
  while (capacity < count * 2) capacity *= 2;
  if (capacity > Slots.size()) Grow(capacity);
}

void TPathIndex::Insert(TLibraryItem* item) {
  if ((Count + 1) * 2 > Slots.size()) Grow(Slots.empty() ? 16 : Slots.size() * 2);
  const uint32_t hash = HashPath(item->Path());
  const size_t i = SlotOf(item->Path(), hash);
  Slots[i] = item;
  Hashes[i] = hash;
  ++Count;
}

void TPathIndex::Erase(const TLibraryItem* item) {
  if (Slots.empty()) return;
  const size_t mask = Slots.size() - 1;
  size_t hole = SlotOf(item->Path(), HashPath(item->Path()));
  if (Slots[hole] != item) return;
  Slots[hole] = nullptr;
  --Count;
  // Backward-shift the entries after the hole that could not reach their home.
  for (size_t i = (hole + 1) & mask; Slots[i]; i = (i + 1) & mask) {
    const size_t home = Hashes[i] & mask;
    // The entry may move into the hole unless its home lies cyclically in (hole, i].
    const bool homeBetween = hole <= i ? (home > hole && home <= i) : (home > hole || home <= i);
    if (!homeBetween) {
      Slots[hole] = Slots[i];
      Hashes[hole] = Hashes[i];
      Slots[i] = nullptr;
      hole = i;
    }
  }
}

TLibraryItem* TPathIndex::Find(std::string_view path) const {
  if (Slots.empty()) return nullptr;
  return Slots[SlotOf(path, HashPath(path))];
}

void TPathIndex::Clear() {
  Slots.clear();
  Hashes.clear();
  Count = 0;
}

}  // namespace tunevale
