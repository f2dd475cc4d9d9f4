#include "text/char_metrics.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tambrel::text {
namespace {

constexpr std::int64_t kLargestAdvance = (std::int64_t{1} << (32 - CharMetrics::kClassBits)) - 1;

}  // namespace

std::int64_t CharMetrics::ToFixed(float pixels) {
  if (!(pixels > 0)) return 0;  // also NaN
  return std::min(std::llround(static_cast<double>(pixels) * kUnitsPerPixel),
                  static_cast<long long>(kLargestAdvance));
}

CharMetrics::CharMetrics(Measure measure, float tab_stop)
    : measure_(std::move(measure)), tab_stop_(ToFixed(tab_stop)), table_(0x10000, kUnmeasured) {
  std::fill(table_.begin() + 0xD800, table_.begin() + 0xDC00, kHighSurrogate);
  table_[u'\r'] = kLineBreak;
  table_[u'\n'] = kLineBreak;
}

std::uint32_t CharMetrics::Encode(const CharMeasure& measure) const {
  const auto code = static_cast<std::uint32_t>(measure.char_class);
  // A combining mark never moves the pen, whatever the font says.
  const std::int64_t advance =
      measure.char_class == CharClass::kCombining ? 0 : ToFixed(measure.advance);
  return static_cast<std::uint32_t>(advance) << kClassBits | code;
}

std::uint32_t CharMetrics::MeasureUnit(char16_t unit) {
  std::uint32_t& entry = table_[unit];
  if ((entry & kClassMask) == kUnmeasured) entry = Encode(measure_(unit));
  return entry;
}

std::uint32_t CharMetrics::OtherEntry(char32_t code_point) {
  const auto found = others_.find(code_point);
  if (found != others_.end()) return found->second;
  const std::uint32_t entry = Encode(measure_(code_point));
  others_.emplace(code_point, entry);
  return entry;
}

void CharMetrics::MeasureRange(char32_t first, char32_t last) {
  for (char32_t c = first; c <= last && c <= 0x10FFFF; ++c) {
    if (c >= 0x10000) {
      OtherEntry(c);
    } else if ((table_[c] & kClassMask) == kUnmeasured) {
      MeasureUnit(static_cast<char16_t>(c));
    }
  }
}

}  // namespace tambrel::text
