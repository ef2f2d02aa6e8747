#include "library/track_arena.h"

#include "library/chunk_prefaulter.h"
#include "library/huge_memory.h"

namespace tunevale {

void* TTrackArena::Allocate(size_t bytes, TLane lane) {
  bytes = (bytes + 7) & ~size_t(7);
  TFill& fill = Lanes[lane];
  if (bytes > fill.Left) {
    const size_t size = (bytes + kHugePageSize - 1) & ~(kHugePageSize - 1);
    void* base = Source ? Source->Take(size) : MapHugeMemory(size);
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
  for (const TChunk& chunk : Chunks) UnmapHugeMemory(chunk.Base, chunk.Size);
  Chunks.clear();
  for (TFill& fill : Lanes) fill = TFill{};
}

}  // namespace tunevale
