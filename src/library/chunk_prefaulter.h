// Fresh huge pages for an arena, mapped and touched ahead of use on a thread
// of their own: the kernel zeroes a fresh page on its first touch, and for a
// big load that zeroing is a large share of the thread that fills the pages.
// Done here, it runs on whatever core is free meanwhile.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <thread>

namespace tunevale {

class TChunkPrefaulter {
 public:
  // Keeps up to `ahead` chunks of kHugePageSize ready.
  explicit TChunkPrefaulter(size_t ahead = 4);
  // Stops the thread; chunks not taken are unmapped.
  ~TChunkPrefaulter();
  TChunkPrefaulter(const TChunkPrefaulter&) = delete;
  TChunkPrefaulter& operator=(const TChunkPrefaulter&) = delete;

  // `size` bytes of zeroed memory aligned to a huge page (a multiple of it),
  // to be unmapped by the taker: a ready chunk when one is, else mapped now.
  void* Take(size_t size);

 private:
  void Run();

  const size_t Ahead;
  std::mutex Mutex;
  std::condition_variable Wanted;
  std::deque<void*> Ready;
  bool Stopping = false;
  std::thread Worker;
};

}  // namespace tunevale
