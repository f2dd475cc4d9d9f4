#include "document/line_breaks.h"

#include <algorithm>
#include <cstddef>
#include <thread>
#include <vector>

#include "platform/for_each_part.h"

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define TAMBREL_LINE_BREAKS_SSE2 1
#endif

namespace tambrel::document {

namespace {

constexpr std::size_t kBlock = 32;

// Whether the kBlock units at `at` hold no CR and no LF: most of a document's text, skipped at
// once.
bool NoBreakAmongBlock(const char16_t* at) {
#ifdef TAMBREL_LINE_BREAKS_SSE2
  const __m128i lf = _mm_set1_epi16(u'\n');
  const __m128i cr = _mm_set1_epi16(u'\r');
  __m128i breaks = _mm_setzero_si128();
  for (int k = 0; k < 4; ++k) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at) + k);
    breaks =
        _mm_or_si128(breaks, _mm_or_si128(_mm_cmpeq_epi16(units, cr), _mm_cmpeq_epi16(units, lf)));
  }
  return _mm_movemask_epi8(breaks) == 0;
#else
  for (std::size_t k = 0; k < kBlock; ++k) {
    if (at[k] == u'\r' || at[k] == u'\n') return false;
  }
  return true;
#endif
}

struct BreakCounts {
  std::size_t crlf = 0;
  std::size_t lf = 0;
  std::size_t cr = 0;
};

BreakCounts CountBreaks(std::u16string_view text) {
  BreakCounts counts;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (i + kBlock <= text.size() && NoBreakAmongBlock(text.data() + i)) {
      i += kBlock - 1;
      continue;
    }
    if (text[i] == u'\r') {
      if (i + 1 < text.size() && text[i + 1] == u'\n') {
        ++counts.crlf;
        ++i;
      } else {
        ++counts.cr;
      }
    } else if (text[i] == u'\n') {
      ++counts.lf;
    }
  }
  return counts;
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
  platform::ForEachPart(parts, [&](std::size_t k) {
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
