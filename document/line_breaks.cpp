#include "document/line_breaks.h"

#include <cstddef>
#include <vector>

#include "text/for_each_part.h"
#include "text/line_scan.h"

namespace tambrel::document {

LineBreak DominantLineBreak(std::u16string_view text) {
  // A large document is counted on every processor.
  const std::vector<std::size_t> cuts = text::CutsBetweenBreaks(text);
  const std::size_t parts = cuts.size() - 1;
  std::vector<text::BreakCounts> counts(parts);
  text::ForEachPart(parts, [&](std::size_t k) {
    counts[k] = text::CountBreaks(text.substr(cuts[k], cuts[k + 1] - cuts[k]));
  });
  text::BreakCounts all;
  for (const text::BreakCounts& part : counts) all += part;
  return DominantLineBreak(all);
}

LineBreak DominantLineBreak(const text::BreakCounts& breaks) {
  if (breaks.crlf >= breaks.lf && breaks.crlf >= breaks.cr) return LineBreak::kCrLf;
  return breaks.lf >= breaks.cr ? LineBreak::kLf : LineBreak::kCr;
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
