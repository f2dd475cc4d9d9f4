#pragma once

#include <cstddef>

#include "text/text_buffer.h"

namespace tambrel::text {

enum class Direction { kLeftToRight, kRightToLeft };

// The direction of a hard line as a paragraph (rules P2 and P3 of UAX #9): that of its first
// strong character, L for left to right, R or AL for right to left, passing over what lies
// between an isolate's start and its end; left to right when there is none. Reads at most
// kMaxDirectionUnits of the line, so that a long line costs no more than a short one.
inline constexpr std::size_t kMaxDirectionUnits = 4096;
Direction ParagraphDirection(const TextBuffer& text, std::size_t line);

}  // namespace tambrel::text
