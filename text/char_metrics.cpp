#include "text/char_metrics.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "text/unicode_properties.h"
#include "text/utf16.h"

namespace tambrel::text {
namespace {

constexpr std::int64_t kLargestAdvance = (std::int64_t{1} << (32 - CharMetrics::kClassBits)) - 1;
// Distinct clusters kept at most; past that the measures are forgotten and asked again, so that a
// text of endless different emoji sequences cannot grow the map without end.
constexpr std::size_t kMostClusters = std::size_t{1} << 14;

bool IsVariationSelector(char32_t c) {
  return (c >= 0xFE00 && c <= 0xFE0F) || (c >= 0xE0100 && c <= 0xE01EF);
}

bool IsMarkOnBase(char32_t code_point, CodePointProperties properties) {
  const GeneralCategory category = properties.Category();
  return (category == GeneralCategory::kNonspacingMark ||
          category == GeneralCategory::kEnclosingMark) &&
         !IsVariationSelector(code_point);
}

// Whether the cluster rules must look at a character. Most characters (letters, digits,
// ideographs, punctuation, controls, Hangul syllables) stand alone: a cluster that is one of them
// ends where the next of them begins, so the row breaker need not look further. The rest may
// join a neighbour (marks, joiners, vowel jamo, flag letters), hold on to what follows
// (Prepend, leading jamo), or change how a later character joins (pictographs, Indic consonants).
bool NeedsClusterRules(CodePointProperties properties) {
  const GraphemeBreak value = properties.Grapheme();
  const bool alone = value == GraphemeBreak::kOther || value == GraphemeBreak::kControl ||
                     value == GraphemeBreak::kLV || value == GraphemeBreak::kLVT;
  return !alone || properties.IsExtendedPictographic() ||
         properties.Conjunct() != ConjunctBreak::kNone;
}

}  // namespace

bool IsMarkOnBase(char32_t code_point) {
  return IsMarkOnBase(code_point, PropertiesOf(code_point));
}

std::int64_t CharMetrics::ToFixed(float pixels) {
  if (!(pixels > 0)) return 0;  // also NaN
  return std::min(std::llround(static_cast<double>(pixels) * kUnitsPerPixel),
                  static_cast<long long>(kLargestAdvance));
}

CharMetrics::CharMetrics(CodePointAdvance code_point_advance, ClusterAdvance cluster_advance,
                         float tab_stop)
    : code_point_advance_(std::move(code_point_advance)),
      cluster_advance_(std::move(cluster_advance)),
      tab_stop_(ToFixed(tab_stop)),
      table_(0x10000, kUnmeasured) {
  std::fill(table_.begin() + 0xD800, table_.begin() + 0xDC00, kHighSurrogate);
  table_[u'\r'] = kLineBreak;
  table_[u'\n'] = kLineBreak;
}

std::uint32_t CharMetrics::Encode(char32_t code_point) const {
  const CodePointProperties properties = PropertiesOf(code_point);
  auto code = static_cast<std::uint32_t>(CharClassOf(code_point));
  if (NeedsClusterRules(properties)) code |= kClusterRules;
  // A mark never moves the pen, whatever the font says of it alone.
  const std::int64_t advance =
      IsMarkOnBase(code_point, properties) ? 0 : ToFixed(code_point_advance_(code_point));
  return static_cast<std::uint32_t>(advance) << kClassBits | code;
}

std::uint32_t CharMetrics::MeasureUnit(char16_t unit) {
  std::uint32_t& entry = table_[unit];
  if ((entry & kClassMask) == kUnmeasured) entry = Encode(unit);
  return entry;
}

std::uint32_t CharMetrics::OtherEntry(char32_t code_point) {
  const auto found = others_.find(code_point);
  if (found != others_.end()) return found->second;
  const std::uint32_t entry = Encode(code_point);
  others_.emplace(code_point, entry);
  return entry;
}

std::uint32_t CharMetrics::EntryOf(char32_t code_point) {
  if (code_point > 0xFFFF) return OtherEntry(code_point);
  const std::uint32_t entry = MeasureUnit(static_cast<char16_t>(code_point));
  const std::uint32_t code = entry & kClassMask;
  return code == kHighSurrogate || code == kLineBreak ? OtherEntry(code_point) : entry;
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

std::int64_t CharMetrics::AdvanceOf(std::u16string_view cluster) {
  if (cluster.empty()) return 0;
  const CodePointAt first = DecodeAt(cluster, 0);
  for (std::size_t at = first.length; at < cluster.size();) {
    const CodePointAt next = DecodeAt(cluster, at);
    if (!IsMarkOnBase(next.value)) return WholeAdvanceOf(cluster);
    at += next.length;
  }
  return EntryOf(first.value) >> kClassBits;
}

std::int64_t CharMetrics::WholeAdvanceOf(std::u16string_view cluster) {
  const auto found = clusters_.find(cluster);
  if (found != clusters_.end()) return found->second;
  if (clusters_.size() >= kMostClusters) clusters_.clear();
  const std::int64_t advance = ToFixed(cluster_advance_(cluster));
  clusters_.emplace(std::u16string(cluster), advance);
  return advance;
}

}  // namespace tambrel::text
