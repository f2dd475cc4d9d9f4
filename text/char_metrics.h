#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "text/char_class.h"

namespace tambrel::text {

// A nonspacing or enclosing mark other than a variation selector: drawn on the character before
// it without moving the pen, so that a cluster of a character and such marks is as wide as the
// character alone.
bool IsMarkOnBase(char32_t code_point);

// The advances of one font's characters and clusters, as a table the row breaker reads without
// calling out. Classes come from the Unicode properties (see CharClass); only the advances come
// from the window system, through two functions:
//   - the advance of one code point drawn alone, asked once per code point and kept: a BMP unit
//     in a table of 64 Ki entries, a character beyond the BMP (or a lone surrogate) in a map;
//   - the advance of a cluster of several code points drawn together, which a font may draw as
//     one glyph (an emoji family, a flag) or otherwise unlike its parts side by side (a conjunct,
//     a letter with a spacing vowel sign). Asked once per distinct cluster and kept.
// A cluster is as wide as its first code point when everything after it is a mark on that base
// (see IsMarkOnBase), and as wide as the window system measures it whole otherwise. Advances are
// kept in 1/64 pixel, so that sums are exact and the same however a row was reached. Not safe
// to use from two threads; MeasureRange fills ahead of time.
class CharMetrics {
 public:
  using CodePointAdvance = std::function<float(char32_t code_point)>;
  using ClusterAdvance = std::function<float(std::u16string_view cluster)>;

  // `tab_stop` is the distance between tab stops in pixels; at 0 or less a tab advances by its
  // own measure.
  CharMetrics(CodePointAdvance code_point_advance, ClusterAdvance cluster_advance, float tab_stop);

  // Measures every character of a range now (CR and LF excepted).
  void MeasureRange(char32_t first, char32_t last);

  // The advance of a cluster as the row breaker counts it, in 1/64 px.
  std::int64_t AdvanceOf(std::u16string_view cluster);
  // The advance of a cluster measured whole by the window system, in 1/64 px.
  std::int64_t WholeAdvanceOf(std::u16string_view cluster);

  // A packed entry: the class code in the low kClassBits bits, the advance in 1/64 px above them.
  // A class code is a CharClass, plus kClusterRules for a character that a cluster's rules must
  // look at (one that may join the character before it or after it, such as a mark, a joiner, a
  // flag's letter, a pictograph or an Indic consonant), or one of the codes that follow it.
  static constexpr int kClassBits = 5;
  static constexpr std::uint32_t kClassMask = 0x1F;
  static constexpr std::uint32_t kCharClassMask = 0x7;
  static constexpr std::uint32_t kClusterRules = 8;
  static constexpr std::uint32_t kHighSurrogate = 16;  // pairs with what follows
  static constexpr std::uint32_t kLineBreak = 17;      // CR or LF
  static constexpr std::uint32_t kUnmeasured = 31;     // not asked yet
  static constexpr std::int64_t kUnitsPerPixel = 64;
  static std::int64_t ToFixed(float pixels);

  // Each BMP unit's entry, possibly kUnmeasured, kHighSurrogate or kLineBreak.
  const std::uint32_t* Table() const { return table_.data(); }
  // Measures a unit the table has no entry for yet and answers its entry.
  std::uint32_t MeasureUnit(char16_t unit);
  // The entry of a character beyond the BMP, of a surrogate that has no partner, or of a CR or
  // LF that is to be drawn rather than end a line.
  std::uint32_t OtherEntry(char32_t code_point);
  // The entry of any code point.
  std::uint32_t EntryOf(char32_t code_point);
  std::int64_t TabStop() const { return tab_stop_; }

 private:
  // Hashes a cluster's units whether held or only viewed, so that a lookup copies nothing.
  struct ClusterHash {
    using is_transparent = void;
    std::size_t operator()(std::u16string_view units) const {
      return std::hash<std::u16string_view>()(units);
    }
  };

  std::uint32_t Encode(char32_t code_point) const;

  CodePointAdvance code_point_advance_;
  ClusterAdvance cluster_advance_;
  std::int64_t tab_stop_;
  std::vector<std::uint32_t> table_;
  std::unordered_map<char32_t, std::uint32_t> others_;
  std::unordered_map<std::u16string, std::int64_t, ClusterHash, std::equal_to<>> clusters_;
};

}  // namespace tambrel::text
