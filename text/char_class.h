#pragma once

#include <cstdint>

namespace tambrel::text {

// How a cluster takes part in soft wrapping, by its first character. A row may end before a
// cluster when the clusters either side allow it:
//   - after a space, a tab, an ideograph or closing punctuation, and before an ideograph;
//   - never before closing punctuation, never after opening punctuation, except that a row may
//     always end after a tab.
enum class CharClass : std::uint8_t {
  kOrdinary,       // letters, digits, marks, most symbols: a word runs on through them
  kIdeographic,    // Han, kana, Hangul, full-width letters, emoji and flags
  kNoBreakBefore,  // closing punctuation: ，。、）」！？ and the like
  kNoBreakAfter,   // opening punctuation: （「《 and the like
  kSpace,          // hangs past the row's end instead of wrapping
  kTab,            // hangs like a space; advances to the next tab stop from the row's start
};

// The class of a character, from its Unicode properties.
CharClass CharClassOf(char32_t code_point);

}  // namespace tambrel::text
