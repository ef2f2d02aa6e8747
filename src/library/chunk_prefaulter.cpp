#include "library/chunk_prefaulter.h"

#include "library/huge_memory.h"

namespace tunevale {

namespace {

void* MapTouchedChunk() {
  auto* chunk = static_cast<volatile char*>(MapHugeMemory(kHugePageSize));
  // One write a small page: without huge pages each is a fault of its own.
  for (size_t i = 0; i < kHugePageSize; i += 4096) chunk[i] = 0;
  return const_cast<char*>(chunk);
}

}  // namespace

TChunkPrefaulter::TChunkPrefaulter(size_t ahead) : Ahead(ahead), Worker([this] { Run(); }) {}

TChunkPrefaulter::~TChunkPrefaulter() {
  {
    std::lock_guard lock(Mutex);
    Stopping = true;
  }
  Wanted.notify_one();
  Worker.join();
  for (void* chunk : Ready) UnmapHugeMemory(chunk, kHugePageSize);
}

void* TChunkPrefaulter::Take(size_t size) {
  if (size == kHugePageSize) {
    std::lock_guard lock(Mutex);
    if (!Ready.empty()) {
      void* chunk = Ready.front();
      Ready.pop_front();
      Wanted.notify_one();
      return chunk;
    }
  }
  return MapHugeMemory(size);
}

void TChunkPrefaulter::Run() {
  std::unique_lock lock(Mutex);
  while (true) {
    Wanted.wait(lock, [&] { return Stopping || Ready.size() < Ahead; });
    if (Stopping) return;
    lock.unlock();
    void* chunk = nullptr;
    try {
      chunk = MapTouchedChunk();
    } catch (const std::bad_alloc&) {
      return;  // the taker maps its own
    }
    lock.lock();
    Ready.push_back(chunk);
  }
}

}  // namespace tunevale
