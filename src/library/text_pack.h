// Compact storage for the texts of a library entry. A library of 100,000
// tracks holds well over a million short texts; one heap string each would
// cost more in allocations and page faults than the whole load is allowed to
// take, so an entry keeps all its texts in one block: a table of one entry
// per slot, then the bytes. A slot either owns bytes (its entry is their
// start; they end where the next owning slot's begin, the table's last entry
// being the block's end) or shares the bytes of an earlier slot with the
// same text (a folded form equal to its original, an artist equal to the
// album artist); empty slots share nothing.
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

  // The start of the block (its table), for asking memory for it early.
  const char* Data() const { return Block; }

  // Slot `i` of the texts it was built from; empty for a pack never built.
  std::string_view Get(size_t i) const {
    if (!Block) return {};
    return Wide ? Slot(reinterpret_cast<const uint32_t*>(Block), i)
                : Slot(reinterpret_cast<const uint16_t*>(Block), i);
  }

 private:
  void Release();
  // owners[i]: the slot whose bytes slot i uses (itself, an earlier one), or -1 when empty.
  static size_t FindOwners(std::span<const std::string_view> texts, std::span<const int8_t> twins,
                           int* owners);
  template <class T>
  static void WriteBlock(char* block, std::span<const std::string_view> texts, const int* owners);
  template <class T>
  static constexpr T kShared = T(T(1) << (sizeof(T) * 8 - 1));  // entry flag: the rest is a slot index
  template <class T>
  static constexpr T kNothing = T(kShared<T> - 1);  // shared slot index of an empty text
  template <class T>
  std::string_view Slot(const T* table, size_t i) const {
    T entry = table[i];
    if (entry & kShared<T>) {
      const T owner = entry & T(~kShared<T>);
      if (owner == kNothing<T>) return {};
      i = owner;
      entry = table[i];
    }
    size_t next = i + 1;
    while (table[next] & kShared<T>) ++next;
    return {Block + entry, static_cast<size_t>(table[next] - entry)};
  }
  char* Block = nullptr;
  bool Wide = false;   // 32-bit table entries (block of 32 KiB or more)
  bool Owned = false;  // Block was allocated by Build
};

}  // namespace tunevale
