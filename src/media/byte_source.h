// Where the tag parsers take their bytes from. The parsers never see a path:
// a file (file_source.h) or a memory block (fuzzers, unit tests) stands behind
// this interface, and TByteReader reads it as a buffered stream.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace tunevale {

class TByteSource {
 public:
  virtual ~TByteSource() = default;
  // The size in bytes, fixed for the life of the source.
  virtual int64_t Size() const = 0;
  // Copies up to `count` bytes starting at `offset` into `buffer`. Returns the
  // number copied (fewer only at the end of the source), or -1 on a read error.
  virtual int64_t ReadAt(int64_t offset, uint8_t* buffer, size_t count) = 0;
};

// Bytes held in memory by the caller; they must outlive the source.
class TMemorySource final : public TByteSource {
 public:
  TMemorySource(const void* data, size_t size) : Data(static_cast<const uint8_t*>(data)), Length(size) {}
  explicit TMemorySource(std::string_view bytes) : TMemorySource(bytes.data(), bytes.size()) {}

  int64_t Size() const override { return static_cast<int64_t>(Length); }
  int64_t ReadAt(int64_t offset, uint8_t* buffer, size_t count) override {
    if (offset < 0) return -1;
    if (static_cast<uint64_t>(offset) >= Length) return 0;
    const size_t n = std::min(count, Length - static_cast<size_t>(offset));
    std::memcpy(buffer, Data + offset, n);
    return static_cast<int64_t>(n);
  }

 private:
  const uint8_t* Data;
  size_t Length;
};

}  // namespace tunevale
