#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "text/wrapped_text.h"

namespace tambrel::editor {

// A display row on screen, as document positions.
struct ScreenRow {
  text::RowPlace place;
  std::size_t start = 0;   // the row's first unit
  std::size_t end = 0;     // one past its last unit; a line break is never part of a row
  bool ends_line = false;  // the last row of its hard line
};

// What a vertical scroll bar shows, in rows.
struct ScrollBarState {
  int maximum = 0;
  int page = 1;
  int value = 0;
};

// Which rows the view shows, and every question about display rows that the caret, the scroll bar
// and the gutter ask. The rows on screen are walked once after each change and kept until the
// next, so however many ask, a keystroke wraps the rows in view once. Nothing here walks further
// than a screenful of rows, or counts rows the question does not need.
class ViewRows {
 public:
  explicit ViewRows(text::WrappedText& document) : document_(document) {}

  text::RowPlace Top() const { return top_; }
  // Whole rows the view has room for, at least 1.
  int VisibleRows() const { return visible_rows_; }
  void SetVisibleRows(int rows);

  // Puts a row at the top, but never so low that the last page is not full: the view does not
  // scroll past the document's end. Answers whether the view moved.
  bool ScrollTo(text::RowPlace top);
  bool ScrollBy(std::ptrdiff_t rows);
  // The row the scroll bar's value stands for; beyond the rows counted so far, the line as far
  // down the document as the bar is.
  bool ScrollToBarValue(int value);
  ScrollBarState ScrollBar() const;
  // Scrolls as little as puts the row on screen as a whole row.
  bool Reveal(text::RowPlace place);

  // The text at the top of the view, kept there across edits and changes of width or font.
  std::size_t TopPosition();
  void PutAtTop(std::size_t position);

  // The rows from the top, as many as are seen whole and the one cut at the bottom.
  const std::vector<ScreenRow>& Rows();
  // The row's index on screen, if it is one of Rows().
  std::optional<std::size_t> IndexOnScreen(text::RowPlace place);
  // After any change of the text, the width or the top: Rows() walks again.
  void Forget() { walked_ = false; }
  // After a new text: the top row and everything counted so far are forgotten.
  void Reset();

  // --- Row numbers ------------------------------------------------------------------------------
  // The top row's number once every row above it is counted.
  std::optional<std::size_t> TopRowNumber() const { return document_.RowNumberOf(top_); }
  // Counts what the top row's number needs, however long that takes.
  std::size_t CountTopRowNumber();
  // Rows in the document, counting all of them.
  std::size_t CountAllRows();
  // The number of a place's row, counting the rows before it.
  std::size_t CountRowNumber(text::RowPlace place);
  // min(rows in the document, limit), counting no row at or beyond the limit where the rows on
  // screen tell.
  std::size_t RowCountUpTo(std::size_t limit);
  // min(the place's row number, limit), the same way.
  std::size_t RowNumberUpTo(text::RowPlace place, std::size_t limit);

  // Counts rows for a few milliseconds, those in view first; answers whether any are left.
  bool CountSome();
  bool AllCounted() const { return document_.AllCounted(); }

 private:
  // The highest row that may be at the top with `candidate` asked for.
  text::RowPlace Clamped(text::RowPlace candidate);
  bool Before(text::RowPlace a, text::RowPlace b) const {
    return a.line < b.line || (a.line == b.line && a.row_in_line < b.row_in_line);
  }

  text::WrappedText& document_;
  text::RowPlace top_;
  int visible_rows_ = 1;
  std::vector<ScreenRow> rows_;
  bool walked_ = false;
};

}  // namespace tambrel::editor
