#pragma once

#include <string>
#include <string_view>

namespace tambrel::platform {

// How a text ends its lines. The editor keeps lines apart by itself; the text it hands out ends
// them the way the text it was given did, so a document keeps its line breaks byte for byte.
enum class LineBreak { kCrLf, kLf, kCr };

// The break a text uses most; CR LF, the desktop convention of the program's documents, when it
// has none or when CR LF ties with another.
LineBreak DominantLineBreak(std::u16string_view text);

std::u16string_view LineBreakText(LineBreak line_break);

}  // namespace tambrel::platform
