#include "library/text_pack.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>
#include <vector>

namespace tunevale {

TTextPack::TTextPack(TTextPack&& other) noexcept
    : Block(std::exchange(other.Block, nullptr)),
      Wide(other.Wide),
      Owned(std::exchange(other.Owned, false)) {}

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

// Returns the bytes of the texts that are stored, twins sharing theirs.
size_t TTextPack::FindOwners(std::span<const std::string_view> texts, std::span<const int8_t> twins,
                             int* owners) {
  size_t bytes = 0;
  for (size_t i = 0; i < texts.size(); ++i) {
    const int twin = i < twins.size() ? twins[i] : -1;
    if (texts[i].empty()) {
      owners[i] = -1;
    } else if (twin >= 0 && static_cast<size_t>(twin) < i && texts[static_cast<size_t>(twin)] == texts[i]) {
      owners[i] = owners[twin];
    } else {
      owners[i] = static_cast<int>(i);
      bytes += texts[i].size();
    }
  }
  return bytes;
}

template <class T>
void TTextPack::WriteBlock(char* block, std::span<const std::string_view> texts, const int* owners) {
  T* table = reinterpret_cast<T*>(block);
  const size_t n = texts.size();
  size_t pos = (n + 1) * sizeof(T);
  for (size_t i = 0; i < n; ++i) {
    if (owners[i] == static_cast<int>(i)) {
      table[i] = static_cast<T>(pos);
      std::memcpy(block + pos, texts[i].data(), texts[i].size());
      pos += texts[i].size();
    } else {
      table[i] = T(kShared<T> | (owners[i] < 0 ? kNothing<T> : static_cast<T>(owners[i])));
    }
  }
  table[n] = static_cast<T>(pos);
}

namespace {

// A narrow table needs every offset below 32 KiB (the top bit marks sharing).
size_t SizeFor(size_t slots, size_t bytes, bool& wide) {
  const size_t narrow = (slots + 1) * 2 + bytes;
  wide = narrow >= 0x8000;
  return wide ? (slots + 1) * 4 + bytes : narrow;
}

// Room for the owner of every slot: on the stack for the usual few.
class TOwners {
 public:
  explicit TOwners(size_t n) {
    if (n > std::size(OnStack)) OnHeap.resize(n);
  }
  int* Data() { return OnHeap.empty() ? OnStack : OnHeap.data(); }

 private:
  int OnStack[32];
  std::vector<int> OnHeap;
};

}  // namespace

size_t TTextPack::BlockSize(std::span<const std::string_view> texts, std::span<const int8_t> twins) {
  TOwners owners(texts.size());
  bool wide = false;
  return SizeFor(texts.size(), FindOwners(texts, twins, owners.Data()), wide);
}

void TTextPack::Build(std::span<const std::string_view> texts, std::span<const int8_t> twins, void* memory) {
  TOwners ownerTable(texts.size());
  int* owners = ownerTable.Data();
  bool wide = false;
  const size_t size = SizeFor(texts.size(), FindOwners(texts, twins, owners), wide);
  char* block = static_cast<char*>(memory);
  const bool owned = block == nullptr;
  if (owned) {
    block = static_cast<char*>(std::malloc(size));
    if (!block) throw std::bad_alloc();
  }
  if (wide)
    WriteBlock<uint32_t>(block, texts, owners);
  else
    WriteBlock<uint16_t>(block, texts, owners);
  Release();
  Block = block;
  Wide = wide;
  Owned = owned;
}

}  // namespace tunevale
