// Compact storage for the texts of a library entry. A library of 100,000
// tracks holds well over a million short texts; one heap string each would
// cost more in allocations and page faults than the whole load is allowed to
// take, so an entry keeps all its texts in one block: a slot table of
// (offset, length) pairs followed by the bytes. A slot may share the bytes of
// an earlier slot with the same text (a folded form equal to its original,
// an artist equal to the album artist).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tunevale {

class TTextPack {
 public:
  TTextPack() = default;
  TTextPack(const TTextPack&) = delete;
  TTextPack& operator=(const TTextPack&) = delete;
  TTextPack(TTextPack&& other) noexcept;
  TTextPack& operator=(TTextPack&& other) noexcept;
  ~TTextPack();

  // Packs `texts`. twins[i] is an earlier slot whose text slot i often
  // repeats (shared when equal), or -1. With `memory` (BlockSize bytes,
  // aligned to 4, outliving the pack) the block is placed there, otherwise
  // it is allocated and owned.
  void Build(std::span<const std::string_view> texts, std::span<const int8_t> twins, void* memory = nullptr);
  // The bytes Build needs for these texts.
  static size_t BlockSize(std::span<const std::string_view> texts, std::span<const int8_t> twins);

  // Slot `i` of the texts it was built from; empty for a pack never built.
  std::string_view Get(size_t i) const {
    if (!Block) return {};
    if (Wide) {
      const uint32_t* slot = reinterpret_cast<const uint32_t*>(Block) + 2 * i;
      return {Block + slot[0], slot[1]};
    }
    const uint16_t* slot = reinterpret_cast<const uint16_t*>(Block) + 2 * i;
    return {Block + slot[0], slot[1]};
  }

 private:
  void Release();
  static size_t SharedBytes(std::span<const std::string_view> texts, std::span<const int8_t> twins);
  char* Block = nullptr;
  bool Wide = false;   // 32-bit slot entries (block of 64 KiB or more)
  bool Owned = false;  // Block was allocated by Build
};

}  // namespace tunevale
