#pragma once

#include <string>
#include <string_view>

#include "text/line_scan.h"

namespace tambrel::document {

// How a document ends its lines. The editor keeps every break of the text it is given where it
// was; a line the user starts gets the break the document uses most.
enum class LineBreak { kCrLf, kLf, kCr };

// The break a text uses most; CR LF, the desktop convention of the program's documents, when it
// has none or when CR LF ties with another.
LineBreak DominantLineBreak(std::u16string_view text);
// The same, from the breaks counted already.
LineBreak DominantLineBreak(const text::BreakCounts& breaks);

std::u16string_view LineBreakText(LineBreak line_break);

}  // namespace tambrel::document
