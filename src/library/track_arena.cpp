#include "library/track_arena.h"

#include <sys/mman.h>

#include <cstdint>
#include <new>

namespace tunevale {

namespace {

// Chunks are huge-page sized and aligned: a TLB miss on a fresh page is
// costly, and a huge page is faulted in once instead of 512 times.
constexpr size_t kChunkSize = size_t(2) << 20;

void* MapChunk(size_t size) {
  const size_t padded = size + kChunkSize;
  void* raw = ::mmap(nullptr, padded, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<uintptr_t>(raw);
  const uintptr_t aligned = (start + kChunkSize - 1) & ~(uintptr_t(kChunkSize) - 1);
  if (aligned > start) ::munmap(raw, aligned - start);
  const uintptr_t end = start + padded;
  if (end > aligned + size) ::munmap(reinterpret_cast<void*>(aligned + size), end - aligned - size);
  void* base = reinterpret_cast<void*>(aligned);
  ::madvise(base, size, MADV_HUGEPAGE);
  return base;
}

}  // namespace

void* TTrackArena::Allocate(size_t bytes, TLane lane) {
  bytes = (bytes + 7) & ~size_t(7);
  TFill& fill = Lanes[lane];
  if (bytes > fill.Left) {
    const size_t size = (bytes + kChunkSize - 1) & ~(kChunkSize - 1);
    void* base = MapChunk(size);
    Chunks.push_back({base, size});
    fill.Next = static_cast<char*>(base);
    fill.Left = size;
  }
  void* result = fill.Next;
  fill.Next += bytes;
  fill.Left -= bytes;
  return result;
}

void TTrackArena::Release() {
  for (const TChunk& chunk : Chunks) ::munmap(chunk.Base, chunk.Size);
  Chunks.clear();
  for (TFill& fill : Lanes) fill = TFill{};
}

}  // namespace tunevale
