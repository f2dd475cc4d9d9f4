#include "document/line_breaks.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <thread>
#include <vector>

#include "text/for_each_part.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define TAMBREL_LINE_BREAKS_SSE2 1
#endif

namespace tambrel::document {

namespace {

struct BreakCounts {
  std::size_t crlf = 0;
  std::size_t lf = 0;
  std::size_t cr = 0;
};

// Every CR and every LF, and how many of the CRs an LF follows: each such pair is one CR LF
// rather than a CR and an LF.
BreakCounts CountBreaks(std::u16string_view text) {
  std::size_t crs = 0;
  std::size_t lfs = 0;
  std::size_t pairs = 0;
  std::size_t i = 0;
#ifdef TAMBREL_LINE_BREAKS_SSE2
  // 32 units at a time, one mask bit each; most blocks hold no break at all.
  constexpr std::size_t kBlock = 32;
  const __m128i lf = _mm_set1_epi16(u'\n');
  const __m128i cr = _mm_set1_epi16(u'\r');
  const auto* data = reinterpret_cast<const __m128i*>(text.data());
  const auto bits = [&data](__m128i unit, int half) {
    const __m128i low = _mm_cmpeq_epi16(_mm_loadu_si128(data + 2 * half), unit);
    const __m128i high = _mm_cmpeq_epi16(_mm_loadu_si128(data + 2 * half + 1), unit);
    return static_cast<std::uint32_t>(
               static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_packs_epi16(low, high))))
           << (16 * half);
  };
  for (; i + kBlock <= text.size(); i += kBlock, data += 4) {
    const std::uint32_t lf_bits = bits(lf, 0) | bits(lf, 1);
    const std::uint32_t cr_bits = bits(cr, 0) | bits(cr, 1);
    if ((lf_bits | cr_bits) == 0) [[likely]]
      continue;
    std::uint32_t followed_by_lf = lf_bits >> 1;
    if (i + kBlock < text.size() && text[i + kBlock] == u'\n') followed_by_lf |= 1u << 31;
    lfs += static_cast<std::size_t>(std::popcount(lf_bits));
    crs += static_cast<std::size_t>(std::popcount(cr_bits));
    pairs += static_cast<std::size_t>(std::popcount(cr_bits & followed_by_lf));
  }
#endif
  for (; i < text.size(); ++i) {
    if (text[i] == u'\n') ++lfs;
    if (text[i] == u'\r') {
      ++crs;
      if (i + 1 < text.size() && text[i + 1] == u'\n') ++pairs;
    }
  }
  return {pairs, lfs - pairs, crs - pairs};
}

}  // namespace

LineBreak DominantLineBreak(std::u16string_view text) {
  // A large document is counted on every processor; a part never starts between a CR and its LF.
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
  std::vector<BreakCounts> counts(parts);
  text::ForEachPart(parts, [&](std::size_t k) {
    counts[k] = CountBreaks(text.substr(cuts[k], cuts[k + 1] - cuts[k]));
  });
  BreakCounts all;
  for (const BreakCounts& part : counts) {
    all.crlf += part.crlf;
    all.lf += part.lf;
    all.cr += part.cr;
  }
  if (all.crlf >= all.lf && all.crlf >= all.cr) return LineBreak::kCrLf;
  return all.lf >= all.cr ? LineBreak::kLf : LineBreak::kCr;
}

std::u16string_view LineBreakText(LineBreak line_break) {
  switch (line_break) {
    case LineBreak::kLf:
      return u"\n";
    case LineBreak::kCr:
      return u"\r";
    case LineBreak::kCrLf:
      break;
  }
  return u"\r\n";
}

}  // namespace tambrel::document
