#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/char_metrics.h"
#include "text/line_run.h"
#include "text/row_breaker.h"
#include "text/row_index.h"
#include "text/text_buffer.h"
#include "text/text_change.h"

namespace tambrel::text {

// Sizes of what WrappedText reads at a time and keeps. The defaults suit the editor; tests shrink
// them so that short texts reach the handling of long lines, full caches and split nodes.
struct WrapLimits {
  // Lines of at least this many units are long: wrapped a slice at a time, their rows kept.
  std::size_t long_line_units = std::size_t{1} << 16;
  // Long lines whose rows are kept; beyond that the one unused longest goes, to be wrapped again
  // if it is wanted (its count stays in the row index).
  std::size_t most_long_lines = 64;
  // Text an edit brings that is wrapped at once: enough for any typing or ordinary paste; what a
  // huge paste or undo brings back is left to CountSome.
  std::size_t edit_count_units = 256 * 1024;
  RowIndexShape row_index;
};

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
  static constexpr std::size_t kLongLineUnits = WrapLimits{}.long_line_units;

  // `metrics` must outlive the object, or the next SetLayout. Tests pass a small
  // `long_line_units`, or small limits of every kind, to reach the handling of long lines and
  // full caches with short texts.
  WrappedText(CharMetrics& metrics, float width, std::size_t long_line_units = kLongLineUnits);
  WrappedText(CharMetrics& metrics, float width, const WrapLimits& limits);

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

  // The first way the rows kept disagree with the text, or nothing: the row index must hold a
  // line for every hard line and, for a counted one, the rows that wrapping it whole gives; the
  // rows kept of long and recent lines must be the first rows of their lines as they are now.
  // Checks the buffer too. Wraps every line: for tests.
  std::optional<std::string> CheckInvariants() const;

 private:
  // The rows found so far of a long line, and whether they are all of them.
  struct LongLine {
    std::vector<std::size_t> starts{0};
    bool complete = false;
    std::size_t length = 0;  // of the line when its starts were found
    // Where the last slice stopped, so that a row longer than a slice is not read again.
    std::unique_ptr<RowBreaker> breaker;
    std::size_t fed = 0;
    std::uint64_t used = 0;  // when last asked for, to drop the longest unused first
  };
  // The rows of a short line wrapped lately: a screen asks for the same lines row by row.
  struct RecentLine {
    std::size_t line = 0;
    std::vector<std::size_t> starts;
  };

  std::size_t LastLine() const { return buffer_.LineCount() - 1; }
  bool IsLong(std::size_t line) const;
  // Forgets every row: a new text or a new layout.
  void ForgetRows();

  // Extends a long line's rows by about `units` units, or until it has `wanted` rows; answers
  // the units read. Records the count once the line is done.
  std::size_t ExtendLongLine(std::size_t line, LongLine& rows, std::size_t units,
                             std::size_t wanted);
  // A long line's cache entry, made (empty) when it has none.
  LongLine& LongRows(std::size_t line);
  // A long line with at least `wanted` rows found, or all of them.
  LongLine& LongRowsCounting(std::size_t line, std::size_t wanted);
  // A long line with the row that holds `offset` found.
  LongLine& LongRowsThrough(std::size_t line, std::size_t offset);
  // The row starts of a short line, wrapped whole (or recalled) and counted.
  const std::vector<std::size_t>& ShortRows(std::size_t line);
  // The rows of a line known so far: all of them, or at least `wanted`.
  std::size_t RowsAtLeast(std::size_t line, std::size_t wanted);

  // Counts consecutive short lines from `first` on, before `end`, reading about `units` units;
  // with `until_counted` it stops soon after reaching a counted line. Answers how far it got.
  LineRun CountShortLines(std::size_t first, std::size_t end, std::size_t units,
                          bool until_counted);
  // Counts the lines an edit put in [first, end) that are short, reading at most about `units`.
  void CountEditedLines(std::size_t first, std::size_t end, std::size_t units);

  // Keeps the row index and the long lines in step with a change of the text.
  Change Follow(const Change& change);
  // Drops the long lines an edit replaced and moves the keys of those after it.
  void MoveLongLines(std::size_t first, std::size_t removed, std::size_t inserted);
  // Brings the rows of a long line edited inside itself up to date from its old ones.
  void RewrapLongLine(std::size_t line, LongLine rows, const Change& change);

  // What is wrong with the rows kept of a line, which wrapping it whole gives as `whole`.
  std::optional<std::string> CheckKeptRows(std::size_t line, const LongLine& rows,
                                           const std::vector<std::size_t>& whole) const;

  CharMetrics* metrics_;
  float width_;
  WrapLimits limits_;
  TextBuffer buffer_;
  RowIndex rows_;
  std::map<std::size_t, LongLine> long_lines_;
  std::uint64_t use_clock_ = 0;
  std::vector<RecentLine> recent_;
  std::size_t next_recent_ = 0;
  // What counting has seen, for EstimatedRows: units read, and the rows they made beyond the
  // first row of each line.
  std::uint64_t sampled_units_ = 0;
  std::uint64_t sampled_extra_rows_ = 0;
};

}  // namespace tambrel::text
