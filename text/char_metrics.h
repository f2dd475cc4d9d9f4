#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <unordered_map>
#include <vector>

namespace tambrel::text {

// How a character takes part in soft wrapping. A cluster is a character with the combining marks
// after it; a row may end before a cluster when the clusters either side allow it:
//   - after a space, a tab, an ideograph or closing punctuation, and before an ideograph;
//   - never before closing punctuation or a combining mark, never after opening punctuation,
//     except that a row may always end after a tab.
enum class CharClass : std::uint8_t {
  kOrdinary,       // letters, digits, most symbols: a word runs on through them
  kIdeographic,    // Han, kana, full-width letters, emoji
  kNoBreakBefore,  // closing punctuation: ，。、）」！？ and the like
  kNoBreakAfter,   // opening punctuation: （「《 and the like
  kSpace,          // hangs past the row's end instead of wrapping
  kTab,            // hangs like a space; advances to the next tab stop from the row's start
  kCombining,      // joins the cluster before it, with no advance of its own
};

struct CharMeasure {
  float advance = 0;  // pixels
  CharClass char_class = CharClass::kOrdinary;
};

// The advances and classes of one font's characters, as a table the row breaker reads without
// calling out. A BMP unit is measured on first use and kept; a character beyond the BMP (a
// surrogate pair) is measured by its code point, also once. Advances are kept in 1/64 pixel, so
// that sums are exact and the same however a row was reached. Not safe to fill from two threads;
// MeasureRange fills ahead of time.
class CharMetrics {
 public:
  using Measure = std::function<CharMeasure(char32_t code_point)>;

  // `tab_stop` is the distance between tab stops in pixels; at 0 or less a tab advances by its
  // own measure.
  CharMetrics(Measure measure, float tab_stop);

  // Measures every character of a range now (CR and LF excepted).
  void MeasureRange(char32_t first, char32_t last);

  // A packed entry: the class code in the low 4 bits, the advance in 1/64 px above them.
  static constexpr int kClassBits = 4;
  static constexpr std::uint32_t kClassMask = 0xF;
  static constexpr std::uint32_t kHighSurrogate = 7;  // class code: pairs with what follows
  static constexpr std::uint32_t kLineBreak = 8;      // class code: CR or LF
  static constexpr std::uint32_t kUnmeasured = 15;    // class code: not asked yet
  static constexpr std::int64_t kUnitsPerPixel = 64;
  static std::int64_t ToFixed(float pixels);

  // Each BMP unit's entry, possibly kUnmeasured, kHighSurrogate or kLineBreak.
  const std::uint32_t* Table() const { return table_.data(); }
  // Measures a unit the table has no entry for yet and answers its entry.
  std::uint32_t MeasureUnit(char16_t unit);
  // The entry of a character beyond the BMP, of a surrogate that has no partner, or of a CR or
  // LF that is to be drawn rather than end a line.
  std::uint32_t OtherEntry(char32_t code_point);
  std::int64_t TabStop() const { return tab_stop_; }

 private:
  std::uint32_t Encode(const CharMeasure& measure) const;

  Measure measure_;
  std::int64_t tab_stop_;
  std::vector<std::uint32_t> table_;
  std::unordered_map<char32_t, std::uint32_t> others_;
};

}  // namespace tambrel::text
