#pragma once

#include <cstdint>
#include <string_view>

namespace tambrel::recovery::testing {

// 64-bit FNV-1a of a text's units: what a typist reports of each text it makes.
inline std::uint64_t TextHash(std::u16string_view text) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const char16_t unit : text) hash = (hash ^ unit) * 1099511628211ull;
  return hash;
}

}  // namespace tambrel::recovery::testing
