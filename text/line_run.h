#pragma once

#include <cstddef>
#include <functional>

#include "text/char_metrics.h"
#include "text/text_buffer.h"

namespace tambrel::text {

// How far a run of lines counted in one pass got.
struct LineRun {
  std::size_t lines = 0;       // counted, from the first on
  std::size_t units_read = 0;  // of text fed to the breaker
  bool long_line = false;      // stopped inside line first + lines, found to be long
  bool stopped = false;        // `counted` asked to stop
};

// Counts the rows of lines from `first_line` on in one pass, as CountLineRows does, but with a
// budget: once `units` units are read and a line is counted it stops, leaving the line it is in
// for the next run; and it gives up on a line once `long_units` of it are read, leaving that line
// to be wrapped in slices. `counted(line, rows)` gets each line and answers whether to go on.
LineRun CountLineRun(const TextBuffer& buffer, std::size_t first_line, CharMetrics& metrics,
                     float width, std::size_t units, std::size_t long_units,
                     const std::function<bool(std::size_t line, std::size_t rows)>& counted);

}  // namespace tambrel::text
