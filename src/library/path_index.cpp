#include "library/path_index.h"

#include <functional>

#include "library/library_item.h"

namespace tunevale {

namespace {

// User-space addresses fit in 48 bits on the machines we run on; the top 16
// bits of a slot hold the top 16 bits of the path's hash.
constexpr int kTagShift = 48;
constexpr uint64_t kPointerMask = (uint64_t(1) << kTagShift) - 1;

uint64_t HashPath(std::string_view path) { return std::hash<std::string_view>()(path); }
uint64_t TagOf(uint64_t hash) { return hash >> kTagShift; }

}  // namespace

TLibraryItem* TPathIndex::ItemOf(uint64_t slot) {
  return reinterpret_cast<TLibraryItem*>(slot & kPointerMask);
}

size_t TPathIndex::SlotOf(std::string_view path, uint64_t hash) const {
  const size_t mask = Slots.size() - 1;
  const uint64_t tag = TagOf(hash);
  size_t i = hash & mask;
  while (Slots[i] && ((Slots[i] >> kTagShift) != tag || ItemOf(Slots[i])->Path() != path)) i = (i + 1) & mask;
  return i;
}

void TPathIndex::Grow(size_t capacity) {
  THugeArray<uint64_t> old(capacity);
  old.swap(Slots);
  const size_t mask = capacity - 1;
  for (uint64_t slot : old) {
    if (!slot) continue;
    size_t i = HashPath(ItemOf(slot)->Path()) & mask;
    while (Slots[i]) i = (i + 1) & mask;
    Slots[i] = slot;
  }
}

void TPathIndex::Reserve(size_t count) {
  size_t capacity = 16;
  while (capacity < count * 2) capacity *= 2;
  if (capacity > Slots.size()) Grow(capacity);
}

void TPathIndex::Insert(TLibraryItem* item) {
  if ((Count + 1) * 2 > Slots.size()) Grow(Slots.empty() ? 16 : Slots.size() * 2);
  const uint64_t hash = HashPath(item->Path());
  const auto pointer = reinterpret_cast<uint64_t>(item);
  Slots[SlotOf(item->Path(), hash)] = pointer | (TagOf(hash) << kTagShift);
  ++Count;
}

void TPathIndex::Erase(const TLibraryItem* item) {
  if (Slots.empty()) return;
  const size_t mask = Slots.size() - 1;
  size_t hole = SlotOf(item->Path(), HashPath(item->Path()));
  if (ItemOf(Slots[hole]) != item) return;
  Slots[hole] = 0;
  --Count;
  // Backward-shift the entries after the hole that could not reach their home.
  for (size_t i = (hole + 1) & mask; Slots[i]; i = (i + 1) & mask) {
    const size_t home = HashPath(ItemOf(Slots[i])->Path()) & mask;
    // The entry may move into the hole unless its home lies cyclically in (hole, i].
    const bool homeBetween = hole <= i ? (home > hole && home <= i) : (home > hole || home <= i);
    if (!homeBetween) {
      Slots[hole] = Slots[i];
      Slots[i] = 0;
      hole = i;
    }
  }
}

TLibraryItem* TPathIndex::Find(std::string_view path) const {
  if (Slots.empty()) return nullptr;
  return ItemOf(Slots[SlotOf(path, HashPath(path))]);
}

void TPathIndex::Prefetch(std::string_view path) const {
  if (!Slots.empty()) __builtin_prefetch(&Slots[HashPath(path) & (Slots.size() - 1)]);
}

void TPathIndex::Clear() {
  Slots = THugeArray<uint64_t>();
  Count = 0;
}

}  // namespace tunevale
