#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/text/char_metrics.h"
#include "platform/text/row_index.h"
#include "platform/text/text_buffer.h"
#include "platform/text/text_change.h"

namespace tambrel::platform::text {

// A display row: the hard line that shows it and its place among that line's rows.
struct RowPlace {
  std::size_t line = 0;
  std::size_t row_in_line = 0;
  bool operator==(const RowPlace&) const = default;
};

// A row's text as offsets in its hard line (without the line break): [start, end).
struct RowSpan {
  std::size_t start = 0;
  std::size_t end = 0;
};

// The document as the editor shows it: its text (with undo) wrapped into display rows at one
// width and font, and the row count of every hard line as far as it has been counted.
//
// Rows are always exact: a question about rows that are not counted yet either counts what it
// needs (the Ensure and Place functions, which touch only the lines asked about) or says it does
// not know (the optional ones, which never count). Counting the rest is done in slices of a given
// size by CountSome, so that no slice takes long whatever the document: a line of 50 MB is wrapped
// over as many slices as it takes, and rows already found are kept.
class WrappedText {
 public:
  // `metrics` must outlive the object, or the next SetLayout.
  WrappedText(CharMetrics& metrics, float width);

  // A new width or font: every row is uncounted again.
  void SetLayout(CharMetrics& metrics, float width);
  float Width() const { return width_; }

  const TextBuffer& Buffer() const { return buffer_; }
  // A new text, and a new undo history.
  void Reset(std::u16string text);
  // A text already indexed (on another thread, say), with its history.
  void Adopt(TextBuffer buffer);

  // Edits, undo and redo, as TextBuffer's; the rows of the lines they touch are found again at
  // once when those lines are short, and re-wrapped from the edit on when they are long.
  Change Replace(std::size_t position, std::size_t length, std::u16string_view text,
                 Merge merge = Merge::kNever);
  std::optional<Change> Undo();
  std::optional<Change> Redo();
  void BreakUndoGroup() { buffer_.BreakUndoGroup(); }

  // --- Rows of one line, counted on demand ---------------------------------------------------
  // How many rows the line takes. Wraps the whole line if it has not been.
  std::size_t RowsOfLine(std::size_t line);
  // The row of a line, as offsets in the line; wraps only as far as that row.
  RowSpan RowOfLine(std::size_t line, std::size_t row_in_line);
  // The row that holds a position. A position where a row wraps belongs to the row it starts; the
  // end of a line (where its break is) belongs to the line's last row.
  RowPlace PlaceOfPosition(std::size_t position);
  // The place `rows` rows after (or, negative, before) a place, clamped to the document's first
  // and last rows; counts only the lines it passes.
  RowPlace MoveByRows(RowPlace from, std::ptrdiff_t rows);

  // --- Rows of the whole document, never counted here -----------------------------------------
  // The display row a place is, when every line before it is counted.
  std::optional<std::size_t> RowNumberOf(RowPlace place) const;
  // The place of a display row, when the lines up to it are counted.
  std::optional<RowPlace> PlaceOfRow(std::size_t row) const;
  // Rows in the document, when every line is counted.
  std::optional<std::size_t> TotalRows() const;
  // A guess at the rows in the document for a scroll bar: exact when all are counted.
  std::size_t EstimatedRows() const;
  // Lines counted from the start.
  std::size_t CountedLines() const { return rows_.CountedLines(); }
  bool AllCounted() const { return rows_.CountedLines() == buffer_.LineCount(); }

  // --- Counting in the background ---------------------------------------------------------
  // Counts lines from `from_line` on (the lines in view, say), reading at most about `units`
  // units of text; answers whether every line from there on is counted.
  bool CountSome(std::size_t units, std::size_t from_line = 0);

 private:
  // The rows found so far of a long line, and whether they are all of them.
  struct LongLine {
    std::vector<std::size_t> starts{0};
    bool complete = false;
  };

  bool IsLong(std::size_t line) const;
  // Extends a long line's rows by about `units` units, or until it has `rows` rows.
  void ExtendLongLine(std::size_t line, LongLine& rows, std::size_t units, std::size_t wanted);
  LongLine& LongRows(std::size_t line);
  // Keeps the row index and the long lines in step with a change of the text.
  Change Follow(const Change& change);

  CharMetrics* metrics_;
  float width_;
  TextBuffer buffer_;
  RowIndex rows_;
  std::map<std::size_t, LongLine> long_lines_;
  std::u16string scratch_;
};

}  // namespace tambrel::platform::text
