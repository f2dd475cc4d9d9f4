#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text/char_metrics.h"

namespace tambrel::platform::text {

// A made-up font with round advances, so that expected rows can be worked out by hand: letters
// 10 px ('W' 30), ideographs and full-width punctuation 20, a tab stop every 40.
inline constexpr float kTestTabStop = 40;

inline CharMeasure TestMeasure(char32_t c) {
  switch (c) {
    case U' ':
      return {10, CharClass::kSpace};
    case U'\t':
      return {10, CharClass::kTab};
    case U'，':
    case U'。':
    case U'）':
    case U'」':
      return {20, CharClass::kNoBreakBefore};
    case U'!':
    case U')':
      return {10, CharClass::kNoBreakBefore};
    case U'（':
    case U'「':
      return {20, CharClass::kNoBreakAfter};
    case U'(':
      return {10, CharClass::kNoBreakAfter};
    case U'W':
      return {30, CharClass::kOrdinary};
    case U'\u200B':
      return {0, CharClass::kOrdinary};
    default:
      break;
  }
  // An advance the breaker must ignore.
  if (c >= 0x300 && c <= 0x36F) return {7, CharClass::kCombining};
  if ((c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x1F600 && c <= 0x1F64F)) {
    return {20, CharClass::kIdeographic};
  }
  return {10, CharClass::kOrdinary};
}

inline CharMetrics TestMetrics() { return CharMetrics(TestMeasure, kTestTabStop); }

// The rows as strings, for readable expectations.
inline std::vector<std::u16string> Slice(std::u16string_view line,
                                         const std::vector<std::size_t>& starts) {
  std::vector<std::u16string> rows;
  for (std::size_t i = 0; i < starts.size(); ++i) {
    const std::size_t end = i + 1 < starts.size() ? starts[i + 1] : line.size();
    rows.emplace_back(line.substr(starts[i], end - starts[i]));
  }
  return rows;
}

}  // namespace tambrel::platform::text
