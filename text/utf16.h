#pragma once

#include <cstddef>
#include <string_view>

namespace tambrel::text {

constexpr bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
constexpr bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

constexpr char32_t CombineSurrogates(char16_t high, char16_t low) {
  return 0x10000 + ((static_cast<char32_t>(high) - 0xD800) << 10) +
         (static_cast<char32_t>(low) - 0xDC00);
}

// A code point read from UTF-16: a surrogate without its partner reads as itself.
struct CodePointAt {
  char32_t value = 0;
  std::size_t length = 0;  // units, 1 or 2
};

// The code point that starts at `index` (< text.size()).
constexpr CodePointAt DecodeAt(std::u16string_view text, std::size_t index) {
  const char16_t unit = text[index];
  if (IsHighSurrogate(unit) && index + 1 < text.size() && IsLowSurrogate(text[index + 1])) {
    return {CombineSurrogates(unit, text[index + 1]), 2};
  }
  return {unit, 1};
}

// Where the code point that ends at `end` (> 0) starts.
constexpr std::size_t CodePointStartBefore(std::u16string_view text, std::size_t end) {
  if (end >= 2 && IsLowSurrogate(text[end - 1]) && IsHighSurrogate(text[end - 2])) return end - 2;
  return end - 1;
}

// Where the code point that holds `index` starts: one unit back between the halves of a pair.
constexpr std::size_t CodePointStart(std::u16string_view text, std::size_t index) {
  if (index > 0 && index < text.size() && IsLowSurrogate(text[index]) &&
      IsHighSurrogate(text[index - 1])) {
    return index - 1;
  }
  return index;
}

}  // namespace tambrel::text
