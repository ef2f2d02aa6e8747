// Memory for big tables straight from the kernel, in 2 MiB pages where the
// system gives them: every fresh 4 KiB page costs a fault, and on a virtual
// machine a fault costs microseconds, so a table of tens of megabytes filled
// page by page spends more time in faults than in its own work.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>
#include <type_traits>
#include <utility>

namespace tunevale {

inline constexpr size_t kHugePageSize = size_t(2) << 20;

// `size` zeroed bytes aligned to a huge page (size a multiple of it); throws bad_alloc.
void* MapHugeMemory(size_t size);
void UnmapHugeMemory(void* base, size_t size);

// A zeroed array of fixed length; from a huge page mapping when it is big.
template <class T>
class THugeArray {
  static_assert(std::is_trivially_copyable_v<T>);

 public:
  THugeArray() = default;
  explicit THugeArray(size_t count) : Count(count) {
    if (count == 0) return;
    const size_t bytes = count * sizeof(T);
    Mapped = bytes >= kHugePageSize;
    Items = static_cast<T*>(Mapped ? MapHugeMemory(MappedSize()) : std::calloc(count, sizeof(T)));
    if (!Items) throw std::bad_alloc();
  }
  THugeArray(const THugeArray&) = delete;
  THugeArray& operator=(const THugeArray&) = delete;
  THugeArray(THugeArray&& other) noexcept { swap(other); }
  THugeArray& operator=(THugeArray&& other) noexcept {
    THugeArray(std::move(other)).swap(*this);
    return *this;
  }
  ~THugeArray() {
    if (!Items) return;
    if (Mapped)
      UnmapHugeMemory(Items, MappedSize());
    else
      std::free(Items);
  }
  void swap(THugeArray& other) noexcept {
    std::swap(Items, other.Items);
    std::swap(Count, other.Count);
    std::swap(Mapped, other.Mapped);
  }
  size_t size() const { return Count; }
  bool empty() const { return Count == 0; }
  T& operator[](size_t i) { return Items[i]; }
  const T& operator[](size_t i) const { return Items[i]; }
  const T* begin() const { return Items; }
  const T* end() const { return Items + Count; }

 private:
  size_t MappedSize() const { return (Count * sizeof(T) + kHugePageSize - 1) & ~(kHugePageSize - 1); }
  T* Items = nullptr;
  size_t Count = 0;
  bool Mapped = false;
};

}  // namespace tunevale
