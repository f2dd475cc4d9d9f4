#include "document/line_breaks.h"

#include <cstddef>

namespace tambrel::document {

LineBreak DominantLineBreak(std::u16string_view text) {
  std::size_t crlf = 0;
  std::size_t lf = 0;
  std::size_t cr = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
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
