#include "text/wrapped_text.h"

#include <algorithm>
#include <limits>
#include <string>
#include <utility>

#include "text/buffer_line.h"
#include "text/clusters.h"
#include "text/line_wrap.h"

namespace tambrel::text {
namespace {

constexpr std::size_t kAllRows = std::numeric_limits<std::size_t>::max();
// What a long line is read in when rows are wanted now rather than in the background: small
// enough not to go far past the row asked for (and no more than a long line's length, so that
// tests with short long lines see them wrapped part way).
std::size_t SliceUnits(std::size_t long_line_units) {
  return std::min<std::size_t>(16 * 1024, long_line_units);
}
// Short lines whose rows are kept: a screen asks for the same lines row by row.
constexpr std::size_t kRecentLines = 8;

WrapLimits WithLongLineUnits(std::size_t long_line_units) {
  WrapLimits limits;
  limits.long_line_units = long_line_units;
  return limits;
}

bool StartsWith(const std::vector<std::size_t>& whole, const std::vector<std::size_t>& part) {
  return part.size() <= whole.size() && std::equal(part.begin(), part.end(), whole.begin());
}

std::size_t RowOf(const std::vector<std::size_t>& starts, std::size_t offset) {
  return static_cast<std::size_t>(std::upper_bound(starts.begin(), starts.end(), offset) -
                                  starts.begin()) -
         1;
}

}  // namespace

WrappedText::WrappedText(CharMetrics& metrics, float width, std::size_t long_line_units)
    : WrappedText(metrics, width, WithLongLineUnits(long_line_units)) {}

WrappedText::WrappedText(CharMetrics& metrics, float width, const WrapLimits& limits)
    : metrics_(&metrics), width_(width), limits_(limits), rows_(1, limits.row_index) {
  limits_.long_line_units = std::max<std::size_t>(limits_.long_line_units, 1);
  limits_.most_long_lines = std::max<std::size_t>(limits_.most_long_lines, 1);
  ForgetRows();
}

void WrappedText::SetLayout(CharMetrics& metrics, float width) {
  metrics_ = &metrics;
  width_ = width;
  ForgetRows();
}

void WrappedText::Reset(std::u16string text) {
  buffer_.Reset(std::move(text));
  ForgetRows();
}

void WrappedText::Adopt(TextBuffer buffer) {
  buffer_ = std::move(buffer);
  ForgetRows();
}

void WrappedText::ForgetRows() {
  rows_.Reset(buffer_.LineCount());
  long_lines_.clear();
  recent_.clear();
  sampled_units_ = 0;
  sampled_extra_rows_ = 0;
}

bool WrappedText::IsLong(std::size_t line) const {
  return buffer_.LineLength(line) >= limits_.long_line_units;
}

// --- Edits ----------------------------------------------------------------------------------

Change WrappedText::Replace(std::size_t position, std::size_t length, std::u16string_view text,
                            Merge merge) {
  return Follow(buffer_.Replace(position, length, text, merge));
}

std::optional<Change> WrappedText::Undo() {
  std::optional<Change> change = buffer_.Undo();
  if (change) Follow(*change);
  return change;
}

std::optional<Change> WrappedText::Redo() {
  std::optional<Change> change = buffer_.Redo();
  if (change) Follow(*change);
  return change;
}

Change WrappedText::Follow(const Change& change) {
  if (change.lines_removed == 0 && change.lines_inserted == 0) return change;
  recent_.clear();
  const std::size_t first = change.first_line;
  // A long line edited inside itself keeps its rows up to the edit, and past it once they fall
  // back into step; its entry is taken out before the keys move.
  std::optional<LongLine> edited;
  if (change.lines_removed == 1 && change.lines_inserted == 1) {
    auto node = long_lines_.extract(first);
    if (!node.empty()) edited.emplace(std::move(node.mapped()));
  }
  MoveLongLines(first, change.lines_removed, change.lines_inserted);
  rows_.Replace(first, change.lines_removed, change.lines_inserted);
  std::size_t next = first;
  if (edited && IsLong(first)) {
    RewrapLongLine(first, std::move(*edited), change);
    next = first + 1;
  }
  CountEditedLines(next, first + change.lines_inserted, limits_.edit_count_units);
  return change;
}

void WrappedText::MoveLongLines(std::size_t first, std::size_t removed, std::size_t inserted) {
  auto it = long_lines_.lower_bound(first);
  while (it != long_lines_.end() && it->first < first + removed) it = long_lines_.erase(it);
  if (removed == inserted) return;
  // Taken out first and put back after, so that no moved key meets one not moved yet.
  std::vector<decltype(long_lines_)::node_type> moved;
  while (it != long_lines_.end()) moved.push_back(long_lines_.extract(it++));
  for (auto& node : moved) {
    node.key() = node.key() - removed + inserted;
    long_lines_.insert(std::move(node));
  }
}

void WrappedText::RewrapLongLine(std::size_t line, LongLine rows, const Change& change) {
  const std::size_t line_start = buffer_.LineStart(line);
  const std::size_t new_length = buffer_.LineLength(line);
  if (change.position < line_start) return;
  // The edit as it touched the line's text, which a change of its break may hide: the text before
  // the edit and the old text after what it removed, up to the break, are still there.
  const std::size_t offset = std::min(change.position - line_start, rows.length);
  const std::size_t removed_end =
      std::min(change.position + change.removed - line_start, rows.length);
  const std::size_t kept_after = rows.length - removed_end;
  if (new_length < offset + kept_after) return;
  const LineEdit edit{offset, removed_end - offset, new_length - offset - kept_after};

  // How far to read: past the edit, as far as rows may take to fall back into step; never past
  // the last old start, since only old starts can be met.
  std::size_t limit =
      edit.offset + std::min(edit.inserted, limits_.edit_count_units) + limits_.long_line_units;
  if (!rows.complete) {
    const std::size_t last = rows.starts.back();
    limit = std::min(limit, last >= removed_end ? last - removed_end + edit.offset + edit.inserted
                                                : std::size_t{0});
  }
  limit = std::min(limit, new_length);
  // A re-wrap that stops short of the line's end stops between clusters: the part of a cluster
  // before a cut (half a surrogate pair, one face of a family) would be measured as a cluster of
  // its own, and could end a row where none ends.
  if (limit > 0 && limit < new_length && !IsClusterBoundary(buffer_, line_start + limit)) {
    limit = PreviousClusterBoundary(buffer_, line_start + limit) - line_start;
  }

  bool in_step = false;
  bool cut = false;
  const LineSource source = [&](std::size_t from,
                                const std::function<bool(std::u16string_view)>& consume) {
    cut = limit < new_length;
    if (from >= limit) return;
    buffer_.ForEachPiece(line_start + from, limit - from, [&](std::u16string_view span) {
      if (consume(span)) return true;
      in_step = true;
      cut = false;
      return false;
    });
  };
  const RowSplice splice = Rewrap(*metrics_, width_, rows.starts, edit, source);
  ApplySplice(rows.starts, splice);
  rows.breaker.reset();
  rows.length = new_length;
  if (cut) {
    rows.complete = false;
  } else if (!in_step) {
    rows.complete = true;  // read to the end of the line
  }
  if (rows.complete) rows_.Set(line, rows.starts.size());
  rows.used = ++use_clock_;
  long_lines_.emplace(line, std::move(rows));
}

// --- Rows of one line -----------------------------------------------------------------------

WrappedText::LongLine& WrappedText::LongRows(std::size_t line) {
  auto found = long_lines_.find(line);
  if (found == long_lines_.end()) {
    if (long_lines_.size() >= limits_.most_long_lines) {
      long_lines_.erase(std::min_element(
          long_lines_.begin(), long_lines_.end(),
          [](const auto& a, const auto& b) { return a.second.used < b.second.used; }));
    }
    found = long_lines_.try_emplace(line).first;
    found->second.length = buffer_.LineLength(line);
  }
  found->second.used = ++use_clock_;
  return found->second;
}

std::size_t WrappedText::ExtendLongLine(std::size_t line, LongLine& rows, std::size_t units,
                                        std::size_t wanted) {
  if (rows.complete) {
    rows_.Set(line, rows.starts.size());  // whoever asks for a done line moves on from it
    return 0;
  }
  const std::size_t line_start = buffer_.LineStart(line);
  if (!rows.breaker) {
    rows.breaker = std::make_unique<RowBreaker>(*metrics_, width_, rows.starts.back());
    rows.fed = rows.starts.back();
  }
  RowBreaker& breaker = *rows.breaker;
  breaker.CollectStarts(&rows.starts);
  const std::size_t found_before = rows.starts.size();
  std::size_t read = 0;
  while (rows.fed < rows.length && read < units && rows.starts.size() < wanted) {
    const std::size_t feed =
        std::min({SliceUnits(limits_.long_line_units), rows.length - rows.fed, units - read});
    buffer_.ForEachPiece(line_start + rows.fed, feed,
                        [&breaker](std::u16string_view span) { breaker.Feed(span); });
    rows.fed += feed;
    read += feed;
  }
  if (rows.fed == rows.length) {
    breaker.Finish();
    rows.breaker.reset();
    rows.complete = true;
    rows_.Set(line, rows.starts.size());
  }
  sampled_units_ += read;
  sampled_extra_rows_ += rows.starts.size() - found_before;
  return read;
}

WrappedText::LongLine& WrappedText::LongRowsCounting(std::size_t line, std::size_t wanted) {
  LongLine& rows = LongRows(line);
  ExtendLongLine(line, rows, kAllRows, wanted);
  return rows;
}

WrappedText::LongLine& WrappedText::LongRowsThrough(std::size_t line, std::size_t offset) {
  LongLine& rows = LongRows(line);
  while (!rows.complete && rows.starts.back() <= offset) {
    // Straight to the offset, then a slice at a time until a row starts past it.
    const std::size_t fed = rows.breaker ? rows.fed : rows.starts.back();
    const std::size_t to_offset = offset >= fed ? offset + 1 - fed : 0;
    ExtendLongLine(line, rows, std::max(to_offset, SliceUnits(limits_.long_line_units)), kAllRows);
  }
  return rows;
}

const std::vector<std::size_t>& WrappedText::ShortRows(std::size_t line) {
  for (const RecentLine& recent : recent_) {
    if (recent.line == line) return recent.starts;
  }
  std::vector<std::size_t> starts = RowStarts(*metrics_, width_, LineOfBuffer(buffer_, line));
  rows_.Set(line, starts.size());
  if (recent_.size() < kRecentLines) {
    recent_.push_back({line, std::move(starts)});
    return recent_.back().starts;
  }
  RecentLine& slot = recent_[next_recent_];
  next_recent_ = (next_recent_ + 1) % kRecentLines;
  slot = {line, std::move(starts)};
  return slot.starts;
}

std::size_t WrappedText::RowsAtLeast(std::size_t line, std::size_t wanted) {
  if (IsLong(line)) return LongRowsCounting(line, wanted).starts.size();
  return ShortRows(line).size();
}

std::size_t WrappedText::RowsOfLine(std::size_t line) {
  line = std::min(line, LastLine());
  return RowsAtLeast(line, kAllRows);
}

RowSpan WrappedText::RowOfLine(std::size_t line, std::size_t row_in_line) {
  line = std::min(line, LastLine());
  const std::size_t wanted = row_in_line < kAllRows - 1 ? row_in_line + 2 : kAllRows;
  const std::vector<std::size_t>& starts =
      IsLong(line) ? LongRowsCounting(line, wanted).starts : ShortRows(line);
  const std::size_t row = std::min(row_in_line, starts.size() - 1);
  const std::size_t end = row + 1 < starts.size() ? starts[row + 1] : buffer_.LineLength(line);
  return {starts[row], end};
}

RowPlace WrappedText::PlaceOfPosition(std::size_t position) {
  position = std::min(position, buffer_.Length());
  const std::size_t line = buffer_.LineOfPosition(position);
  // A position in the line's break lies past every row start: in the last row.
  const std::size_t offset = position - buffer_.LineStart(line);
  const std::vector<std::size_t>& starts =
      IsLong(line) ? LongRowsThrough(line, offset).starts : ShortRows(line);
  return {line, RowOf(starts, offset)};
}

RowPlace WrappedText::MoveByRows(RowPlace from, std::ptrdiff_t rows) {
  const std::size_t last_line = LastLine();
  std::size_t line = std::min(from.line, last_line);
  const std::size_t from_row = from.row_in_line < kAllRows - 1 ? from.row_in_line : kAllRows - 2;
  std::size_t row = std::min(from_row, RowsAtLeast(line, from_row + 1) - 1);
  if (rows >= 0) {
    std::size_t target = row + static_cast<std::size_t>(rows);
    for (;;) {
      const std::size_t known = RowsAtLeast(line, target < kAllRows ? target + 1 : kAllRows);
      if (target < known) return {line, target};
      if (line == last_line) return {line, known - 1};
      target -= known;
      ++line;
    }
  }
  std::size_t back = static_cast<std::size_t>(-(rows + 1)) + 1;
  while (back > row) {
    if (line == 0) return {0, 0};
    back -= row + 1;
    --line;
    row = RowsOfLine(line) - 1;
  }
  return {line, row - back};
}

// --- Rows of the whole document -------------------------------------------------------------

std::optional<std::size_t> WrappedText::RowNumberOf(RowPlace place) const {
  if (place.line >= buffer_.LineCount()) return std::nullopt;
  const std::optional<std::size_t> first = rows_.FirstRowOf(place.line);
  if (!first) return std::nullopt;
  return *first + place.row_in_line;
}

std::optional<RowPlace> WrappedText::PlaceOfRow(std::size_t row) const {
  const std::optional<RowIndex::RowPlace> place = rows_.PlaceOfRow(row);
  if (!place) return std::nullopt;
  return RowPlace{place->line, place->row_in_line};
}

std::optional<std::size_t> WrappedText::TotalRows() const { return rows_.TotalRows(); }

std::size_t WrappedText::EstimatedRows() const {
  if (const std::optional<std::size_t> total = rows_.TotalRows()) return *total;
  // The counted lines from the start, then one row for each line after and as many more as the
  // text counted so far made per unit.
  const std::size_t counted = rows_.CountedLines();
  const std::size_t known_rows = rows_.FirstRowOf(counted).value_or(0);
  const std::size_t rest_lines = buffer_.LineCount() - counted;
  const std::size_t rest_units = buffer_.Length() - buffer_.LineStart(counted);
  const double extra_per_unit = sampled_units_ == 0 ? 0.0
                                                    : static_cast<double>(sampled_extra_rows_) /
                                                          static_cast<double>(sampled_units_);
  return known_rows + rest_lines +
         static_cast<std::size_t>(static_cast<double>(rest_units) * extra_per_unit);
}

// --- Counting in the background -------------------------------------------------------------

bool WrappedText::CountSome(std::size_t units, std::size_t from_line) {
  const std::size_t lines = buffer_.LineCount();
  units = std::max<std::size_t>(units, 1);
  std::size_t read = 0;
  std::size_t line = rows_.FirstUncounted(from_line);
  while (line < lines && read < units) {
    if (IsLong(line)) {
      LongLine& rows = LongRows(line);
      read += ExtendLongLine(line, rows, units - read, kAllRows);
      if (!rows.complete) break;
    } else {
      read += CountShortLines(line, lines, units - read, true).units_read;
    }
    line = rows_.FirstUncounted(line);
  }
  return rows_.FirstUncounted(from_line) == lines;
}

LineRun WrappedText::CountShortLines(std::size_t first, std::size_t end, std::size_t units,
                                     bool until_counted) {
  // Counts go to the row index in batches, which costs a walk of the tree per leaf rather than
  // per line; a counted line ahead is looked for now and then, so that a run that reaches lines
  // counted before (those in view, or all after where counting began) stops soon after.
  constexpr std::size_t kBatch = 4096;
  constexpr std::size_t kLookAheadEvery = 64;
  std::vector<std::uint32_t> batch;
  batch.reserve(kBatch);
  std::size_t batch_first = first;
  const auto flush = [&] {
    rows_.Set(batch_first, batch);
    batch_first += batch.size();
    batch.clear();
  };
  std::size_t since_look = 0;
  const LineRun run =
      CountLineRun(buffer_, first, *metrics_, width_, units, limits_.long_line_units,
                   [&](std::size_t line, std::size_t rows) {
                     batch.push_back(static_cast<std::uint32_t>(
                         std::min<std::size_t>(rows, std::numeric_limits<std::uint32_t>::max())));
                     sampled_extra_rows_ += rows - 1;
                     if (batch.size() == kBatch) flush();
                     if (line + 1 >= end) return false;
                     if (until_counted && ++since_look == kLookAheadEvery) {
                       since_look = 0;
                       return !rows_.IsCounted(line + 1);
                     }
                     return true;
                   });
  flush();
  sampled_units_ += run.units_read;
  return run;
}

void WrappedText::CountEditedLines(std::size_t first, std::size_t end, std::size_t units) {
  std::size_t read = 0;
  std::size_t line = first;
  while (line < end && read < units) {
    if (IsLong(line)) {
      ++line;  // wrapped when wanted
      continue;
    }
    const LineRun run = CountShortLines(line, end, units - read, false);
    read += run.units_read;
    line += run.lines;
  }
}

// --- Checks ---------------------------------------------------------------------------------

std::optional<std::string> WrappedText::CheckKeptRows(std::size_t line, const LongLine& rows,
                                                      const std::vector<std::size_t>& whole) const {
  const std::string name = "the rows kept of long line " + std::to_string(line);
  if (!IsLong(line)) return name + ", which is short now";
  if (rows.length != buffer_.LineLength(line)) {
    return name + " are for a length of " + std::to_string(rows.length) + " units, not " +
           std::to_string(buffer_.LineLength(line));
  }
  if (!StartsWith(whole, rows.starts) || (rows.complete && rows.starts.size() != whole.size())) {
    return name + " (" + std::to_string(rows.starts.size()) + " of them" +
           (rows.complete ? ", all" : "") + ") are not its first rows of " +
           std::to_string(whole.size());
  }
  if (rows.breaker && (rows.fed < rows.starts.back() || rows.fed > rows.length)) {
    return name + " were read to " + std::to_string(rows.fed) + ", outside the line";
  }
  if (rows.complete && rows_.RowsOf(line) != whole.size()) {
    return name + " are all found but the row index does not hold their count";
  }
  return std::nullopt;
}

std::optional<std::string> WrappedText::CheckInvariants() const {
  if (std::optional<std::string> problem = buffer_.CheckInvariants()) return "buffer: " + *problem;
  if (std::optional<std::string> problem = rows_.CheckInvariants()) {
    return "row index: " + *problem;
  }
  const std::size_t lines = buffer_.LineCount();
  if (rows_.LineCount() != lines) {
    return "the row index holds " + std::to_string(rows_.LineCount()) + " lines of " +
           std::to_string(lines);
  }
  if (long_lines_.size() > limits_.most_long_lines) {
    return "rows of " + std::to_string(long_lines_.size()) + " long lines are kept";
  }
  if (!long_lines_.empty() && long_lines_.rbegin()->first >= lines) {
    return "rows are kept of line " + std::to_string(long_lines_.rbegin()->first) +
           ", past the last";
  }
  for (const RecentLine& recent : recent_) {
    if (recent.line >= lines) {
      return "recent line " + std::to_string(recent.line) + " is past the last";
    }
  }
  for (std::size_t line = 0; line < lines; ++line) {
    const std::optional<std::size_t> counted = rows_.RowsOf(line);
    const auto kept = long_lines_.find(line);
    const auto recent = std::find_if(recent_.begin(), recent_.end(),
                                     [line](const RecentLine& r) { return r.line == line; });
    if (!counted && kept == long_lines_.end() && recent == recent_.end()) continue;
    const std::vector<std::size_t> whole =
        RowStarts(*metrics_, width_, LineOfBuffer(buffer_, line));
    if (counted && *counted != whole.size()) {
      return "line " + std::to_string(line) + " is counted as " + std::to_string(*counted) +
             " rows but wraps into " + std::to_string(whole.size());
    }
    if (kept != long_lines_.end()) {
      if (std::optional<std::string> problem = CheckKeptRows(line, kept->second, whole)) {
        return problem;
      }
    }
    if (recent != recent_.end() && (recent->starts != whole || !counted)) {
      return "the rows kept of recent line " + std::to_string(line) + " are stale";
    }
  }
  return std::nullopt;
}

}  // namespace tambrel::text
