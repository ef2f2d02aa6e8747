// Memory for the tracks of one database load. Loading 100,000 tracks one
// heap block at a time spends most of its time faulting in fresh pages one by
// one; the arena takes memory in large chunks whose pages are populated in
// one go. Memory of a track removed later stays unused until every track of
// the arena is gone (the library then releases it).
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

namespace tunevale {

class TChunkPrefaulter;

class TTrackArena {
 public:
  TTrackArena() = default;
  TTrackArena(const TTrackArena&) = delete;
  TTrackArena& operator=(const TTrackArena&) = delete;
  ~TTrackArena() { Release(); }

  // The tracks and their texts fill apart, each in library order: a search
  // over a number field then reads the tracks' memory straight through.
  enum TLane { alTracks, alTexts, kLaneCount };

  // `bytes` of memory aligned to 8 in `lane`, valid until Release.
  void* Allocate(size_t bytes, TLane lane = alTexts);
  // New chunks come from `source` (null: mapped on the spot) until it is changed.
  void SetChunkSource(TChunkPrefaulter* source) { Source = source; }
  // Frees every chunk; nothing allocated before may be used afterwards.
  void Release();
  bool Empty() const { return Chunks.empty(); }
  // Exchanges the memory of two arenas (a library built elsewhere is taken over).
  void Swap(TTrackArena& other) {
    Chunks.swap(other.Chunks);
    for (int i = 0; i < kLaneCount; ++i) std::swap(Lanes[i], other.Lanes[i]);
  }
  // Bytes taken from the system.
  size_t Reserved() const {
    size_t total = 0;
    for (const TChunk& chunk : Chunks) total += chunk.Size;
    return total;
  }

 private:
  struct TChunk {
    void* Base;
    size_t Size;
  };
  struct TFill {
    char* Next = nullptr;
    size_t Left = 0;
  };
  std::vector<TChunk> Chunks;
  TFill Lanes[kLaneCount];
  TChunkPrefaulter* Source = nullptr;
};

}  // namespace tunevale
