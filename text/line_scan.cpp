#include "text/line_scan.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <thread>
#include <vector>

#include "text/for_each_part.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define TAMBREL_LINE_SCAN_SSE2 1
#endif

namespace tambrel::text {
namespace {

// Records the start that the break unit at `i` makes, if it makes one.
inline void AppendStartAfter(std::u16string_view text, std::size_t i, std::uint64_t base,
                             PositionList& starts) {
  if (text[i] == u'\n') {
    starts.Push(base + i + 1);
  } else if (i + 1 < text.size() && text[i + 1] != u'\n') {
    starts.Push(base + i + 1);
  }
}

}  // namespace

void AppendLineStarts(std::u16string_view text, std::uint64_t base, PositionList& starts) {
  std::size_t i = 0;
#ifdef TAMBREL_LINE_SCAN_SSE2
  // Breaks are rare among the units, so 32 are tested at once, one mask bit each; a block that
  // holds breaks has the units that start lines picked out with a few bit operations.
  constexpr std::size_t kBlock = 32;
  const __m128i lf = _mm_set1_epi16(u'\n');
  const __m128i cr = _mm_set1_epi16(u'\r');
  const auto* data = reinterpret_cast<const __m128i*>(text.data());
  const auto mask_of = [](__m128i low, __m128i high) {
    return static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_packs_epi16(low, high)));
  };
  for (; i + kBlock <= text.size(); i += kBlock, data += 4) {
    const __m128i a = _mm_loadu_si128(data);
    const __m128i b = _mm_loadu_si128(data + 1);
    const __m128i c = _mm_loadu_si128(data + 2);
    const __m128i d = _mm_loadu_si128(data + 3);
    const std::uint32_t lfs = mask_of(_mm_cmpeq_epi16(a, lf), _mm_cmpeq_epi16(b, lf)) |
                              mask_of(_mm_cmpeq_epi16(c, lf), _mm_cmpeq_epi16(d, lf)) << 16;
    const std::uint32_t crs = mask_of(_mm_cmpeq_epi16(a, cr), _mm_cmpeq_epi16(b, cr)) |
                              mask_of(_mm_cmpeq_epi16(c, cr), _mm_cmpeq_epi16(d, cr)) << 16;
    if ((lfs | crs) == 0) [[likely]]
      continue;
    // A CR starts a line unless an LF follows it; the last CR of the text waits.
    std::uint32_t followed_by_lf = lfs >> 1;
    if (i + kBlock == text.size() || text[i + kBlock] == u'\n') followed_by_lf |= 1u << 31;
    std::uint32_t line_ends = lfs | (crs & ~followed_by_lf);
    while (line_ends != 0) {
      starts.Push(base + i + static_cast<std::size_t>(std::countr_zero(line_ends)) + 1);
      line_ends &= line_ends - 1;
    }
  }
#endif
  for (; i < text.size(); ++i) {
    if (text[i] == u'\n' || text[i] == u'\r') AppendStartAfter(text, i, base, starts);
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

void ListLineStarts(std::u16string_view text, PositionList& starts) {
  constexpr std::size_t kPartMinimum = std::size_t{8} << 20;
  const std::size_t parts = std::clamp<std::size_t>(
      text.size() / kPartMinimum, 1, std::max(1u, std::thread::hardware_concurrency()));
  if (parts == 1) {
    starts.Reserve(EstimateLineStarts(text));
    AppendLineStarts(text, 0, starts);
    return;
  }
  // No part but the last ends in a CR, whose line start would wait for the next part.
  std::vector<std::size_t> cuts{0};
  for (std::size_t k = 1; k < parts; ++k) {
    std::size_t cut = std::max(cuts.back(), text.size() / parts * k);
    while (cut < text.size() && text[cut - 1] == u'\r') ++cut;
    cuts.push_back(cut);
  }
  cuts.push_back(text.size());
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
