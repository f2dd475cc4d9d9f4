#include "editor/view_rows.h"

#include <algorithm>
#include <climits>

namespace tambrel::editor {
namespace {

// Text read per slice while counting rows in the background: a few milliseconds' work.
constexpr std::size_t kCountingSlice = std::size_t{1} << 20;
// Counting that a question cannot wait for is done in these steps.
constexpr std::size_t kCountingStep = std::size_t{1} << 24;

}  // namespace

void ViewRows::SetVisibleRows(int rows) {
  rows = std::max(1, rows);
  if (rows == visible_rows_) return;
  visible_rows_ = rows;
  walked_ = false;
}

void ViewRows::Reset() {
  top_ = text::RowPlace{};
  walked_ = false;
}

text::RowPlace ViewRows::Clamped(text::RowPlace candidate) {
  // Walks down at most a page from the candidate: if the document ends first, the top goes up
  // by what was missing.
  text::RowPlace walk = candidate;
  const int needed = visible_rows_ - 1;
  for (int row = 0; row < needed; ++row) {
    const text::RowPlace next = document_.MoveByRows(walk, 1);
    if (next == walk) return document_.MoveByRows(candidate, -(needed - row));
    walk = next;
  }
  return candidate;
}

bool ViewRows::ScrollTo(text::RowPlace top) {
  top = Clamped(document_.MoveByRows(top, 0));
  if (top == top_) return false;
  top_ = top;
  walked_ = false;
  return true;
}

bool ViewRows::ScrollBy(std::ptrdiff_t rows) {
  if (rows == 0) return false;
  return ScrollTo(document_.MoveByRows(top_, rows));
}

bool ViewRows::ScrollToBarValue(int value) {
  const auto row = static_cast<std::size_t>(std::max(0, value));
  if (const auto place = document_.PlaceOfRow(row)) return ScrollTo(*place);
  const double share =
      static_cast<double>(row) / static_cast<double>(std::max<std::size_t>(1, document_.EstimatedRows()));
  const std::size_t lines = document_.Buffer().LineCount();
  const auto line =
      std::min(lines - 1, static_cast<std::size_t>(share * static_cast<double>(lines)));
  return ScrollTo(text::RowPlace{line, 0});
}

ScrollBarState ViewRows::ScrollBar() const {
  const std::size_t total = document_.EstimatedRows();
  const auto visible = static_cast<std::size_t>(visible_rows_);
  ScrollBarState bar;
  bar.maximum = static_cast<int>(std::min<std::size_t>(total > visible ? total - visible : 0,
                                                       static_cast<std::size_t>(INT_MAX / 2)));
  bar.page = visible_rows_;
  std::size_t value = 0;
  if (const auto known = document_.RowNumberOf(top_)) {
    value = *known;
  } else if (document_.Buffer().LineCount() > 1) {
    // Not counted so far down yet: where the top line stands among the lines, in rows.
    value = static_cast<std::size_t>(static_cast<double>(top_.line) /
                                     static_cast<double>(document_.Buffer().LineCount()) *
                                     static_cast<double>(total));
  }
  bar.value = static_cast<int>(std::min<std::size_t>(value, static_cast<std::size_t>(bar.maximum)));
  return bar;
}

bool ViewRows::Reveal(text::RowPlace place) {
  if (Before(place, top_)) return ScrollTo(place);
  // Below: the row becomes the last whole one. Only the rows in between are looked at.
  text::RowPlace walk = top_;
  for (int row = 0; row < visible_rows_; ++row) {
    if (walk == place) return false;
    const text::RowPlace next = document_.MoveByRows(walk, 1);
    if (next == walk) return false;
    walk = next;
  }
  return ScrollTo(document_.MoveByRows(place, -(visible_rows_ - 1)));
}

std::size_t ViewRows::TopPosition() {
  const text::TextBuffer& buffer = document_.Buffer();
  top_ = document_.MoveByRows(top_, 0);
  return buffer.LineStart(top_.line) + document_.RowOfLine(top_.line, top_.row_in_line).start;
}

void ViewRows::PutAtTop(std::size_t position) {
  // Only the top line is wrapped, and only as far as the position: a change of width in a line
  // of many megabytes does not wait for the whole line.
  top_ = Clamped(document_.PlaceOfPosition(std::min(position, document_.Buffer().Length())));
  walked_ = false;
}

const std::vector<ScreenRow>& ViewRows::Rows() {
  if (walked_) return rows_;
  rows_.clear();
  const text::TextBuffer& buffer = document_.Buffer();
  text::RowPlace place = document_.MoveByRows(top_, 0);
  for (int row = 0; row <= visible_rows_; ++row) {
    const text::RowSpan span = document_.RowOfLine(place.line, place.row_in_line);
    const std::size_t line_start = buffer.LineStart(place.line);
    rows_.push_back(ScreenRow{place, line_start + span.start, line_start + span.end,
                              span.end == buffer.LineLength(place.line)});
    // The next row, found without wrapping more of a long line than the screen shows.
    const text::RowPlace next = document_.MoveByRows(place, 1);
    if (next == place) break;
    place = next;
  }
  walked_ = true;
  return rows_;
}

std::optional<std::size_t> ViewRows::IndexOnScreen(text::RowPlace place) {
  const std::vector<ScreenRow>& rows = Rows();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    if (rows[i].place == place) return i;
  }
  return std::nullopt;
}

std::size_t ViewRows::CountTopRowNumber() {
  while (!document_.RowNumberOf(top_)) document_.CountSome(kCountingStep, document_.CountedLines());
  return *document_.RowNumberOf(top_);
}

std::size_t ViewRows::CountAllRows() {
  while (!document_.TotalRows()) document_.CountSome(kCountingStep, document_.CountedLines());
  return std::max<std::size_t>(1, *document_.TotalRows());
}

std::size_t ViewRows::CountRowNumber(text::RowPlace place) {
  while (document_.CountedLines() < place.line && !document_.AllCounted()) {
    document_.CountSome(kCountingStep, document_.CountedLines());
  }
  return document_.RowNumberOf(place).value_or(0);
}

std::size_t ViewRows::RowCountUpTo(std::size_t limit) {
  if (const auto total = document_.TotalRows()) return std::min(std::max<std::size_t>(1, *total), limit);
  const std::optional<std::size_t> top = TopRowNumber();
  if (!top) return std::min(CountAllRows(), limit);
  // The rows on screen tell whether the document ends before the limit; past them, walk on as far
  // as the limit, wrapping only the rows walked.
  const std::vector<ScreenRow>& rows = Rows();
  std::size_t row = *top + rows.size() - 1;
  text::RowPlace walk = rows.back().place;
  while (row + 1 < limit) {
    const text::RowPlace next = document_.MoveByRows(walk, 1);
    if (next == walk) return row + 1;
    walk = next;
    ++row;
  }
  return limit;
}

std::size_t ViewRows::RowNumberUpTo(text::RowPlace place, std::size_t limit) {
  if (const auto row = document_.RowNumberOf(place)) return std::min(*row, limit);
  const std::optional<std::size_t> top = TopRowNumber();
  if (!top || Before(place, top_)) return std::min(CountRowNumber(place), limit);
  if (const auto index = IndexOnScreen(place)) return std::min(*top + *index, limit);
  const std::vector<ScreenRow>& rows = Rows();
  std::size_t row = *top + rows.size() - 1;
  text::RowPlace walk = rows.back().place;
  while (!(walk == place) && row < limit) {
    const text::RowPlace next = document_.MoveByRows(walk, 1);
    if (next == walk) break;
    walk = next;
    ++row;
  }
  return std::min(row, limit);
}

bool ViewRows::CountSome() {
  // The lines in view first, then the document from the top.
  document_.CountSome(kCountingSlice / 4, top_.line);
  document_.CountSome(kCountingSlice, 0);
  return !document_.AllCounted();
}

}  // namespace tambrel::editor
