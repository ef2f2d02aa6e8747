#include "library/huge_memory.h"

#include <sys/mman.h>

#include <cstdint>

namespace tunevale {

void* MapHugeMemory(size_t size) {
  // Mapped with room to spare, then trimmed to an aligned start: the kernel
  // only backs aligned 2 MiB ranges with huge pages.
  const size_t padded = size + kHugePageSize;
  void* raw = ::mmap(nullptr, padded, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (raw == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<uintptr_t>(raw);
  const uintptr_t aligned = (start + kHugePageSize - 1) & ~(uintptr_t(kHugePageSize) - 1);
  if (aligned > start) ::munmap(raw, aligned - start);
  const uintptr_t end = start + padded;
  if (end > aligned + size) ::munmap(reinterpret_cast<void*>(aligned + size), end - aligned - size);
  void* base = reinterpret_cast<void*>(aligned);
  ::madvise(base, size, MADV_HUGEPAGE);
  return base;
}

void UnmapHugeMemory(void* base, size_t size) { ::munmap(base, size); }

}  // namespace tunevale
