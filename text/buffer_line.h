#pragma once

#include <cstddef>
#include <functional>

#include "text/char_metrics.h"
#include "text/line_wrap.h"
#include "text/text_buffer.h"

namespace tambrel::text {

// A hard line of a buffer, without its break, read straight from storage span by span. The
// buffer must outlive the source and stay unchanged while it is read.
LineSource LineOfBuffer(const TextBuffer& buffer, std::size_t line);

// Counts the rows of every line from `first_line` on, in order, reading the text once straight
// through instead of looking each line up. `counted(line, rows)` gets each line and answers
// whether to go on.
void CountLineRows(const TextBuffer& buffer, std::size_t first_line, CharMetrics& metrics,
                   float width,
                   const std::function<bool(std::size_t line, std::size_t rows)>& counted);

}  // namespace tambrel::text
