#pragma once

#include <cstddef>
#include <cstdint>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define TAMBREL_BREAK_BITS_SSE2 1
#endif

namespace tambrel::text {

// Breaks are rare among a text's units, so the scans of long texts test this many at once.
inline constexpr std::size_t kBreakBlock = 32;

// Which of the kBreakBlock units at `units` are LF and which are CR, one bit each from the lowest.
struct BreakBits {
  std::uint32_t lf = 0;
  std::uint32_t cr = 0;
};

inline BreakBits BreakBitsOf(const char16_t* units) {
  BreakBits bits;
#ifdef TAMBREL_BREAK_BITS_SSE2
  const auto* data = reinterpret_cast<const __m128i*>(units);
  const __m128i lf = _mm_set1_epi16(u'\n');
  const __m128i cr = _mm_set1_epi16(u'\r');
  for (int half = 0; half < 2; ++half) {
    const __m128i low = _mm_loadu_si128(data + 2 * half);
    const __m128i high = _mm_loadu_si128(data + 2 * half + 1);
    const auto mask = [&](__m128i unit) {
      const __m128i both = _mm_packs_epi16(_mm_cmpeq_epi16(low, unit), _mm_cmpeq_epi16(high, unit));
      return static_cast<std::uint32_t>(static_cast<std::uint16_t>(_mm_movemask_epi8(both)))
             << (16 * half);
    };
    bits.lf |= mask(lf);
    bits.cr |= mask(cr);
  }
#else
  for (std::size_t k = 0; k < kBreakBlock; ++k) {
    bits.lf |= static_cast<std::uint32_t>(units[k] == u'\n') << k;
    bits.cr |= static_cast<std::uint32_t>(units[k] == u'\r') << k;
  }
#endif
  return bits;
}

// The same for kBreakBlock units kept a byte each.
inline BreakBits BreakBitsOf(const char* units) {
  BreakBits bits;
#ifdef TAMBREL_BREAK_BITS_SSE2
  const auto* data = reinterpret_cast<const __m128i*>(units);
  const __m128i low = _mm_loadu_si128(data);
  const __m128i high = _mm_loadu_si128(data + 1);
  const auto mask = [&](char unit) {
    const __m128i wanted = _mm_set1_epi8(unit);
    const auto low_bits =
        static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(low, wanted)));
    const auto high_bits =
        static_cast<std::uint16_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(high, wanted)));
    return static_cast<std::uint32_t>(low_bits) | static_cast<std::uint32_t>(high_bits) << 16;
  };
  bits.lf = mask('\n');
  bits.cr = mask('\r');
#else
  for (std::size_t k = 0; k < kBreakBlock; ++k) {
    bits.lf |= static_cast<std::uint32_t>(units[k] == '\n') << k;
    bits.cr |= static_cast<std::uint32_t>(units[k] == '\r') << k;
  }
#endif
  return bits;
}

}  // namespace tambrel::text
