#include "library/text_pack.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

namespace tunevale {

TTextPack::TTextPack(TTextPack&& other) noexcept
    : Block(std::exchange(other.Block, nullptr)), Wide(other.Wide), Owned(std::exchange(other.Owned, false)) {}

TTextPack& TTextPack::operator=(TTextPack&& other) noexcept {
  if (this != &other) {
    Release();
    Block = std::exchange(other.Block, nullptr);
    Wide = other.Wide;
    Owned = std::exchange(other.Owned, false);
  }
  return *this;
}

TTextPack::~TTextPack() { Release(); }

void TTextPack::Release() {
  if (Owned) std::free(Block);
  Block = nullptr;
  Owned = false;
}

// Bytes of the texts that are stored, twins sharing theirs.
size_t TTextPack::SharedBytes(std::span<const std::string_view> texts, std::span<const int8_t> twins) {
  size_t bytes = 0;
  for (size_t i = 0; i < texts.size(); ++i) {
    const int twin = i < twins.size() ? twins[i] : -1;
    if (texts[i].empty() || (twin >= 0 && texts[static_cast<size_t>(twin)] == texts[i])) continue;
    bytes += texts[i].size();
  }
  return bytes;
}

size_t TTextPack::BlockSize(std::span<const std::string_view> texts, std::span<const int8_t> twins) {
  const size_t bytes = SharedBytes(texts, twins);
  const size_t narrow = texts.size() * 4 + bytes;
  return narrow <= 0xFFFF ? narrow : texts.size() * 8 + bytes;
}

void TTextPack::Build(std::span<const std::string_view> texts, std::span<const int8_t> twins, void* memory) {
  const size_t n = texts.size();
  const size_t bytes = SharedBytes(texts, twins);
  const bool wide = n * 4 + bytes > 0xFFFF;
  const size_t table = n * (wide ? 8 : 4);
  char* block = static_cast<char*>(memory);
  const bool owned = block == nullptr;
  if (owned) {
    block = static_cast<char*>(std::malloc(table + bytes ? table + bytes : 1));
    if (!block) throw std::bad_alloc();
  }
  size_t pos = table;
  for (size_t i = 0; i < n; ++i) {
    const int twin = i < twins.size() ? twins[i] : -1;
    size_t offset = table;  // empty texts point at the end of the table
    if (!texts[i].empty()) {
      if (twin >= 0 && texts[static_cast<size_t>(twin)] == texts[i]) {
        offset = wide ? reinterpret_cast<uint32_t*>(block)[2 * twin] : reinterpret_cast<uint16_t*>(block)[2 * twin];
      } else {
        std::memcpy(block + pos, texts[i].data(), texts[i].size());
        offset = pos;
        pos += texts[i].size();
      }
    }
    if (wide) {
      reinterpret_cast<uint32_t*>(block)[2 * i] = static_cast<uint32_t>(offset);
      reinterpret_cast<uint32_t*>(block)[2 * i + 1] = static_cast<uint32_t>(texts[i].size());
    } else {
      reinterpret_cast<uint16_t*>(block)[2 * i] = static_cast<uint16_t>(offset);
      reinterpret_cast<uint16_t*>(block)[2 * i + 1] = static_cast<uint16_t>(texts[i].size());
    }
  }
  Release();
  Block = block;
  Wide = wide;
  Owned = owned;
}

}  // namespace tunevale
