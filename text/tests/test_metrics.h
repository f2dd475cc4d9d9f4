#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "text/char_metrics.h"

namespace tambrel::text {

// A made-up font with round advances, so that expected rows can be worked out by hand: letters
// 10 px ('W' 30), ideographs and full-width punctuation 20, a tab stop every 40.
inline constexpr float kTestTabStop = 40;

inline CharMeasure TestMeasure(char32_t c) {
  const std::u32string_view wide_closing = U"，。）」";
  const std::u32string_view wide_opening = U"（「";
  if (c == U' ') return {10, CharClass::kSpace};
  if (c == U'\t') return {10, CharClass::kTab};
  if (wide_closing.find(c) != wide_closing.npos) return {20, CharClass::kNoBreakBefore};
  if (c == U'!' || c == U')') return {10, CharClass::kNoBreakBefore};
  if (wide_opening.find(c) != wide_opening.npos) return {20, CharClass::kNoBreakAfter};
  if (c == U'(') return {10, CharClass::kNoBreakAfter};
  if (c == U'W') return {30, CharClass::kOrdinary};
  if (c == U'\u200B') return {0, CharClass::kOrdinary};
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

}  // namespace tambrel::text
