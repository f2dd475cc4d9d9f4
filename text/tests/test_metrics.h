#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "text/char_class.h"
#include "text/char_metrics.h"
#include "text/unicode_properties.h"

namespace tambrel::text {

// A made-up font with round advances, so that expected rows can be worked out by hand: letters
// 10 px ('W' 30), ideographs, full-width punctuation and emoji 20, a tab stop every 40. A cluster
// of several code points that is not a character with marks on it is drawn as one glyph 5 px
// wider than its first code point: an emoji family is 25, not three faces of 20.
inline constexpr float kTestTabStop = 40;

inline float TestAdvance(char32_t c) {
  const std::u32string_view wide_punctuation = U"，。）」（「";
  if (wide_punctuation.find(c) != wide_punctuation.npos) return 20;
  if (c == U'W') return 30;
  if (c == U'\u200B') return 0;
  // An advance that a mark on its base must not add.
  if (c >= 0x300 && c <= 0x36F) return 7;
  if ((c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x1F000 && c <= 0x1FAFF)) return 20;
  return 10;
}

inline float TestClusterAdvance(std::u16string_view cluster) {
  char32_t first = cluster[0];
  if (first >= 0xD800 && first <= 0xDBFF && cluster.size() > 1) {
    first = 0x10000 + ((first - 0xD800) << 10) + (cluster[1] - 0xDC00);
  }
  return TestAdvance(first) + 5;
}

inline CharMetrics TestMetrics() {
  return CharMetrics(TestAdvance, TestClusterAdvance, kTestTabStop);
}

// The advance and class of one code point in the test font, classed as the core classes it.
struct TestCharMeasure {
  float advance = 0;
  CharClass char_class = CharClass::kOrdinary;
};
inline TestCharMeasure TestMeasure(char32_t c) { return {TestAdvance(c), CharClassOf(c)}; }

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
