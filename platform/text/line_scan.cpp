#include "platform/text/line_scan.h"

#include <bit>
#include <cstddef>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define TAMBREL_LINE_SCAN_SSE2 1
#endif

namespace tambrel::platform::text {
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
  // Breaks are rare among the units, so 32 are tested at once and only a block that holds one
  // is looked at unit by unit.
  constexpr std::size_t kBlock = 32;
  const __m128i lf = _mm_set1_epi16(u'\n');
  const __m128i cr = _mm_set1_epi16(u'\r');
  const auto* data = reinterpret_cast<const __m128i*>(text.data());
  for (; i + kBlock <= text.size(); i += kBlock, data += 4) {
    __m128i hits[4];
    for (int k = 0; k < 4; ++k) {
      const __m128i units = _mm_loadu_si128(data + k);
      hits[k] = _mm_or_si128(_mm_cmpeq_epi16(units, lf), _mm_cmpeq_epi16(units, cr));
    }
    const __m128i any =
        _mm_or_si128(_mm_or_si128(hits[0], hits[1]), _mm_or_si128(hits[2], hits[3]));
    if (_mm_movemask_epi8(any) == 0) [[likely]]
      continue;
    for (int k = 0; k < 4; ++k) {
      // Two mask bits per unit; keep one.
      auto mask = static_cast<std::uint32_t>(_mm_movemask_epi8(hits[k])) & 0x5555u;
      while (mask != 0) {
        const std::size_t unit = static_cast<std::size_t>(std::countr_zero(mask)) / 2;
        AppendStartAfter(text, i + static_cast<std::size_t>(k) * 8 + unit, base, starts);
        mask &= mask - 1;
      }
    }
  }
#endif
  for (; i < text.size(); ++i) {
    if (text[i] == u'\n' || text[i] == u'\r') AppendStartAfter(text, i, base, starts);
  }
}

}  // namespace tambrel::platform::text
