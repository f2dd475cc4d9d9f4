#include "text/line_scan.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <thread>
#include <vector>

#include "text/break_bits.h"
#include "text/for_each_part.h"

namespace tambrel::text {
namespace {

// The one scan behind the line starts and the break counts. A CR at the very end of `text` makes
// no start, since the unit after it is not known, and counts as a CR alone.
template <bool kListStarts, bool kCount, class Unit>
void ScanBreaks(std::basic_string_view<Unit> text, std::uint64_t base, PositionList* starts,
                BreakCounts* counts) {
  std::size_t crs = 0;
  std::size_t lfs = 0;
  std::size_t pairs = 0;
  std::size_t i = 0;
  for (; i + kBreakBlock <= text.size(); i += kBreakBlock) {
    const BreakBits bits = BreakBitsOf(text.data() + i);
    if ((bits.lf | bits.cr) == 0) [[likely]]
      continue;
    const bool at_end = i + kBreakBlock == text.size();
    std::uint32_t followed_by_lf = bits.lf >> 1;
    if (!at_end && text[i + kBreakBlock] == u'\n') followed_by_lf |= 1u << 31;
    if constexpr (kCount) {
      lfs += static_cast<std::size_t>(std::popcount(bits.lf));
      crs += static_cast<std::size_t>(std::popcount(bits.cr));
      pairs += static_cast<std::size_t>(std::popcount(bits.cr & followed_by_lf));
    }
    if constexpr (kListStarts) {
      // A CR starts a line unless an LF follows it; the last CR of the text waits.
      const std::uint32_t waits = at_end ? 1u << 31 : 0;
      std::uint32_t line_ends = bits.lf | (bits.cr & ~(followed_by_lf | waits));
      while (line_ends != 0) {
        starts->Push(base + i + static_cast<std::size_t>(std::countr_zero(line_ends)) + 1);
        line_ends &= line_ends - 1;
      }
    }
  }
  for (; i < text.size(); ++i) {
    if (text[i] == u'\n') {
      ++lfs;
      if constexpr (kListStarts) starts->Push(base + i + 1);
    } else if (text[i] == u'\r') {
      ++crs;
      if (i + 1 < text.size() && text[i + 1] == u'\n') {
        ++pairs;
      } else if (i + 1 < text.size()) {
        if constexpr (kListStarts) starts->Push(base + i + 1);
      }
    }
  }
  if constexpr (kCount) *counts += BreakCounts{pairs, lfs - pairs, crs - pairs};
}

}  // namespace

void AppendLineStarts(std::u16string_view text, std::uint64_t base, PositionList& starts) {
  ScanBreaks<true, false, char16_t>(text, base, &starts, nullptr);
}

BreakCounts CountBreaks(std::u16string_view text) {
  BreakCounts counts;
  ScanBreaks<false, true, char16_t>(text, 0, nullptr, &counts);
  return counts;
}

void LineScanner::Meet(char16_t next) {
  if (!ends_with_cr_) return;
  if (next == u'\n') {
    // Counted apart as a CR and an LF, they are one CR LF.
    ++lines_.breaks.crlf;
    --lines_.breaks.cr;
    --lines_.breaks.lf;
  } else {
    lines_.starts.Push(next_);
  }
}

void LineScanner::Scan(std::u16string_view span) { ScanSpan(span); }

void LineScanner::Scan(std::string_view ascii) { ScanSpan(ascii); }

template <class Unit>
void LineScanner::ScanSpan(std::basic_string_view<Unit> span) {
  if (span.empty()) return;
  Meet(static_cast<char16_t>(span.front()));
  ScanBreaks<true, true, Unit>(span, next_, &lines_.starts, &lines_.breaks);
  next_ += span.size();
  ends_with_cr_ = span.back() == '\r';
  // Once the first span shows how dense the breaks are, the list is given room for them all.
  if (lines_.starts.Size() > 0 && next_ >= kBreakBlock * 1024 && next_ < units_) {
    const double per_unit = static_cast<double>(lines_.starts.Size()) / static_cast<double>(next_);
    lines_.starts.Reserve(static_cast<std::size_t>(per_unit * 1.1 * static_cast<double>(units_)));
    units_ = 0;
  }
}

std::size_t EstimateLineStarts(std::u16string_view text) {
  constexpr std::size_t kSamples = 64;
  constexpr std::size_t kSampleUnits = 4096;
  if (text.size() <= kSamples * kSampleUnits) return 0;
  const std::size_t stride = text.size() / kSamples;
  std::size_t breaks = 0;
  for (std::size_t sample = 0; sample < kSamples; ++sample) {
    const std::u16string_view units = text.substr(sample * stride, kSampleUnits);
    for (std::size_t i = 0; i < units.size(); ++i) {
      const bool pair = units[i] == u'\r' && i + 1 < units.size() && units[i + 1] == u'\n';
      breaks += !pair && (units[i] == u'\n' || units[i] == u'\r') ? 1 : 0;
    }
  }
  const double per_unit = static_cast<double>(breaks) / (kSamples * kSampleUnits);
  return static_cast<std::size_t>(per_unit * 1.1 * static_cast<double>(text.size())) + 1024;
}

std::vector<std::size_t> CutsBetweenBreaks(std::u16string_view text) {
  constexpr std::size_t kPartMinimum = std::size_t{8} << 20;
  const std::size_t parts = std::clamp<std::size_t>(
      text.size() / kPartMinimum, 1, std::max(1u, std::thread::hardware_concurrency()));
  std::vector<std::size_t> cuts{0};
  for (std::size_t k = 1; k < parts; ++k) {
    std::size_t cut = std::max(cuts.back(), text.size() / parts * k);
    while (cut < text.size() && cut > 0 && text[cut - 1] == u'\r') ++cut;
    cuts.push_back(cut);
  }
  cuts.push_back(text.size());
  return cuts;
}

void ListLineStarts(std::u16string_view text, PositionList& starts) {
  const std::vector<std::size_t> cuts = CutsBetweenBreaks(text);
  const std::size_t parts = cuts.size() - 1;
  if (parts == 1) {
    starts.Reserve(EstimateLineStarts(text));
    AppendLineStarts(text, 0, starts);
    return;
  }
  std::vector<PositionList> found(parts);
  ForEachPart(parts, [&](std::size_t k) {
    const std::u16string_view part = text.substr(cuts[k], cuts[k + 1] - cuts[k]);
    found[k].Reserve(EstimateLineStarts(part));
    AppendLineStarts(part, cuts[k], found[k]);
  });
  std::size_t count = 0;
  for (const PositionList& part : found) count += part.Size();
  starts.Reserve(count);
  for (const PositionList& part : found) starts.Append(part);
}

}  // namespace tambrel::text
