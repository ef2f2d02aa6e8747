// Skin files built in tests: a header, then sections (tag, big-endian length, value).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "app/skin.h"

namespace tunevale::test {

inline std::string SkinSection(std::string_view tag, std::string_view value) {
  const auto n = static_cast<uint32_t>(value.size());
  return std::string(tag) + char(n >> 24) + char(n >> 16 & 0xFF) + char(n >> 8 & 0xFF) + char(n & 0xFF) +
         std::string(value);
}

inline std::string SkinBytes(std::initializer_list<std::string> sections) {
  std::string bytes(SkinHeaderSize, 'h');
  for (const std::string& s : sections) bytes += s;
  return bytes;
}

}  // namespace tunevale::test
