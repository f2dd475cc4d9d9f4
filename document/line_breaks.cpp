#include "document/line_breaks.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "text/break_bits.h"
#include "text/for_each_part.h"
#include "text/line_scan.h"

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
  for (; i + text::kBreakBlock <= text.size(); i += text::kBreakBlock) {
    const text::BreakBits bits = text::BreakBitsOf(text.data() + i);
    if ((bits.lf | bits.cr) == 0) [[likely]]
      continue;
    std::uint32_t followed_by_lf = bits.lf >> 1;
    if (i + text::kBreakBlock < text.size() && text[i + text::kBreakBlock] == u'\n') {
      followed_by_lf |= 1u << 31;
    }
    lfs += static_cast<std::size_t>(std::popcount(bits.lf));
    crs += static_cast<std::size_t>(std::popcount(bits.cr));
    pairs += static_cast<std::size_t>(std::popcount(bits.cr & followed_by_lf));
  }
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
  // A large document is counted on every processor.
  const std::vector<std::size_t> cuts = text::CutsBetweenBreaks(text);
  const std::size_t parts = cuts.size() - 1;
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
