#pragma once

#include <cstddef>

namespace tambrel::text {

// Whether an edit may join the undo step before it (see TextBuffer::Replace).
enum class Merge { kNever, kWithPrevious };

// What an edit, an undo or a redo did. In units: `removed` units at `position` gave way to
// `inserted` others. In hard lines: the lines [first_line, first_line + lines_removed) of the text
// before became [first_line, first_line + lines_inserted) after; every later line kept its text
// and only moved. A change that did nothing has no lines either.
struct Change {
  std::size_t position = 0;
  std::size_t removed = 0;
  std::size_t inserted = 0;
  std::size_t first_line = 0;
  std::size_t lines_removed = 0;
  std::size_t lines_inserted = 0;

  bool operator==(const Change&) const = default;
};

}  // namespace tambrel::text
