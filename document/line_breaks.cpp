#include "document/line_breaks.h"

#include <cstddef>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define TAMBREL_LINE_BREAKS_SSE2 1
#endif

namespace tambrel::document {

namespace {
// Whether the 8 units at `at` hold no CR and no LF: most of a document's text, skipped at once.
bool NoBreakAmongEight(const char16_t* at) {
#ifdef TAMBREL_LINE_BREAKS_SSE2
  const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
  const __m128i breaks = _mm_or_si128(_mm_cmpeq_epi16(units, _mm_set1_epi16(u'\r')),
                                      _mm_cmpeq_epi16(units, _mm_set1_epi16(u'\n')));
  return _mm_movemask_epi8(breaks) == 0;
#else
  for (int k = 0; k < 8; ++k) {
    if (at[k] == u'\r' || at[k] == u'\n') return false;
  }
  return true;
#endif
}
}  // namespace

LineBreak DominantLineBreak(std::u16string_view text) {
  std::size_t crlf = 0;
  std::size_t lf = 0;
  std::size_t cr = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i + 8 <= text.size() && NoBreakAmongEight(text.data() + i)) {
      i += 7;
      continue;
    }
    if (text[i] == u'\r') {
      if (i + 1 < text.size() && text[i + 1] == u'\n') {
        ++crlf;
        ++i;
      } else {
        ++cr;
      }
    } else if (text[i] == u'\n') {
      ++lf;
    }
  }
  if (crlf >= lf && crlf >= cr) return LineBreak::kCrLf;
  return lf >= cr ? LineBreak::kLf : LineBreak::kCr;
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
