#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define TAMBREL_ASCII_RUN_SSE2 1
#endif

namespace tambrel::platform::cp936 {

// The bytes from 0 up to a limit below 0x80 stand for themselves plus a fixed delta (0 when
// plainly decoded). Runs of them are the bulk of most documents and need no table: they are
// widened 16 at a time.
inline constexpr std::size_t kAsciiRunWidth = 16;

// Writes the 16 bytes at `in`, widened and moved by delta, to out[0..15], and answers how many
// leading ones lie below limit; only those count. The caller makes sure all 16 bytes exist and
// that out has room for 16 units.
inline std::size_t AsciiRun(const unsigned char* in, char16_t* out, std::uint8_t limit,
                            char16_t delta) {
#ifdef TAMBREL_ASCII_RUN_SSE2
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
  const __m128i zero = _mm_setzero_si128();
  const __m128i shift = _mm_set1_epi16(static_cast<short>(delta));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                   _mm_add_epi16(_mm_unpacklo_epi8(bytes, zero), shift));
  _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8),
                   _mm_add_epi16(_mm_unpackhi_epi8(bytes, zero), shift));
  if (limit == 0x80) {
    // The high bits themselves mark the bytes that end the run.
    const auto high = static_cast<std::uint32_t>(_mm_movemask_epi8(bytes)) | 0x10000u;
    return static_cast<std::size_t>(std::countr_zero(high));
  }
  // Bytes at most limit - 1, compared without sign.
  const __m128i highest = _mm_set1_epi8(static_cast<char>(limit - 1));
  const __m128i below = _mm_cmpeq_epi8(_mm_max_epu8(bytes, highest), highest);
  const auto mask = static_cast<std::uint32_t>(_mm_movemask_epi8(below));
  return static_cast<std::size_t>(std::countr_one(mask));
#else
  std::size_t count = 0;
  while (count < kAsciiRunWidth && in[count] < limit) {
    out[count] = static_cast<char16_t>(in[count] + delta);
    ++count;
  }
  return count;
#endif
}

// How many of the 16 bytes at `in` lie below limit (at most 0x80) before the first that does not:
// AsciiRun without the writing, for counting the text before it is written.
inline std::size_t AsciiRunLength(const unsigned char* in, std::uint8_t limit) {
#ifdef TAMBREL_ASCII_RUN_SSE2
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
  const __m128i highest = _mm_set1_epi8(static_cast<char>(limit - 1));
  const __m128i below = _mm_cmpeq_epi8(_mm_max_epu8(bytes, highest), highest);
  return static_cast<std::size_t>(
      std::countr_one(static_cast<std::uint32_t>(_mm_movemask_epi8(below))));
#else
  std::size_t count = 0;
  while (count < kAsciiRunWidth && in[count] < limit) ++count;
  return count;
#endif
}

}  // namespace tambrel::platform::cp936
