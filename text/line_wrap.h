#pragma once

#include <cstddef>
#include <functional>
#include <span>
#include <string_view>
#include <vector>

#include "text/char_metrics.h"

namespace tambrel::text {

// A hard line as the wrapping functions read it: source(from, consume) hands the units from
// offset `from` to the end of the line to `consume`, span by span, and stops as soon as consume
// answers false.
using LineSource =
    std::function<void(std::size_t from, const std::function<bool(std::u16string_view)>& consume)>;

// A line held in one piece of memory, which must outlive the source.
LineSource LineOfText(std::u16string_view text);

// How many rows a line wraps into at `width` pixels (see RowBreaker for the rules).
std::size_t CountRows(CharMetrics& metrics, float width, const LineSource& line);
// Where each row starts, as offsets in the line; the first is 0.
std::vector<std::size_t> RowStarts(CharMetrics& metrics, float width, const LineSource& line);

// An edit inside one hard line: `removed` units at `offset` gave way to `inserted` others.
struct LineEdit {
  std::size_t offset = 0;
  std::size_t removed = 0;
  std::size_t inserted = 0;
};

// How a line's row starts change: rows [first_row, first_row + old_rows) give way to new_starts,
// and every old start after them moves by delta.
struct RowSplice {
  std::size_t first_row = 0;
  std::size_t old_rows = 0;
  std::vector<std::size_t> new_starts;
  std::ptrdiff_t delta = 0;
};

// Re-wraps a line after an edit, given its row starts before it and its text after it. Starts a
// couple of rows before the edit, the nearest that it cannot have changed, and stops once a row
// start past the edit meets an old one moved by the edit's length change: a keystroke in a very
// long line costs a few rows.
RowSplice Rewrap(CharMetrics& metrics, float width, std::span<const std::size_t> old_starts,
                 const LineEdit& edit, const LineSource& line);
void ApplySplice(std::vector<std::size_t>& starts, const RowSplice& splice);

}  // namespace tambrel::text
