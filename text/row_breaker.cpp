#include "text/row_breaker.h"

#include <algorithm>
#include <array>

namespace tambrel::text {
namespace {

constexpr std::uint32_t Code(CharClass char_class) {
  return static_cast<std::uint32_t>(char_class);
}
constexpr std::uint32_t kSpace = Code(CharClass::kSpace);
constexpr std::uint32_t kTab = Code(CharClass::kTab);
constexpr std::uint32_t kCombining = Code(CharClass::kCombining);
// Class codes above this one need more than the entry to place: a combining mark is skipped, a
// surrogate is paired, an unmeasured unit is measured first.
constexpr std::uint32_t kLastPlain = kTab;
static_assert(kTab > kSpace && kCombining > kTab && CharMetrics::kHighSurrogate > kCombining &&
              CharMetrics::kLineBreak > kCombining);

constexpr bool BreakBetween(std::uint32_t before, std::uint32_t after) {
  // After a tab always: then no tab lies between a row's last break opportunity and its end, and
  // the advance kept after a break is what a fresh start at that row would measure.
  if (before == kTab) return true;
  if (after == Code(CharClass::kNoBreakBefore) || before == Code(CharClass::kNoBreakAfter)) {
    return false;
  }
  return before == kSpace || before == Code(CharClass::kIdeographic) ||
         before == Code(CharClass::kNoBreakBefore) || after == Code(CharClass::kIdeographic);
}

constexpr std::array<bool, 64> MakeBreakTable() {
  std::array<bool, 64> table{};
  for (std::uint32_t before = 0; before < 8; ++before) {
    for (std::uint32_t after = 0; after < 8; ++after) {
      table[before * 8 + after] =
          before < kCombining && after < kCombining && BreakBetween(before, after);
    }
  }
  return table;
}
constexpr std::array<bool, 64> kBreakTable = MakeBreakTable();

bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

char32_t CodePoint(char16_t high, char16_t low) {
  return 0x10000 + ((static_cast<char32_t>(high) - 0xD800) << 10) +
         (static_cast<char32_t>(low) - 0xDC00);
}

}  // namespace

RowBreaker::RowBreaker(CharMetrics& metrics, float width, std::size_t row_start)
    : metrics_(metrics), width_(width > 0 ? CharMetrics::ToFixed(width) : -1), offset_(row_start) {
  row_.start = row_start;
  row_.last_break = row_start;
}

void RowBreaker::StopWhenInStep(std::span<const std::size_t> old_starts, std::size_t from,
                                std::ptrdiff_t delta) {
  old_starts_ = old_starts;
  step_from_ = from;
  delta_ = delta;
  // Old starts before the first that a new one at `from` or later could meet.
  const auto first_met = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(from) - delta);
  old_index_ = static_cast<std::size_t>(
      std::lower_bound(old_starts.begin(), old_starts.end(), first_met) - old_starts.begin());
  watch_step_ = true;
}

bool RowBreaker::BeginRow(Row& row, std::size_t start) {
  row.start = start;
  row.last_break = start;
  if (watch_step_ && start >= step_from_) {
    const auto old_start = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(start) - delta_);
    while (old_index_ < old_starts_.size() && old_starts_[old_index_] < old_start) ++old_index_;
    if (old_index_ < old_starts_.size() && old_starts_[old_index_] == old_start) {
      in_step_at_ = old_index_;
      return false;
    }
  }
  ++rows_;
  if (starts_ != nullptr) starts_->push_back(start);
  return true;
}

// The row state is passed by value here and below, so that its address never escapes Feed and
// the compiler keeps it in registers there.
RowBreaker::Row RowBreaker::Overflow(Row row, std::size_t at, std::int64_t advance) {
  if (row.last_break > row.start) {
    row.x -= row.x_at_break;
    // What followed the opportunity may still not leave room.
    if (!BeginRow(row, row.last_break) || row.x + advance <= width_ || at == row.start) {
      return row;
    }
  }
  row.x = 0;
  BeginRow(row, at);
  return row;
}

// Places one cluster whose first unit is at `at`; false once in step with the old rows.
inline bool RowBreaker::Place(Row& row, std::uint32_t entry, std::size_t at, std::int64_t width,
                              std::int64_t tab_stop) {
  const std::uint32_t code = entry & CharMetrics::kClassMask;
  if (code == kCombining) return true;
  if (kBreakTable[row.previous * 8 + code]) {
    row.last_break = at;
    row.x_at_break = row.x;
  }
  row.previous = code;
  std::int64_t advance = entry >> CharMetrics::kClassBits;
  if (code == kTab) {
    if (tab_stop > 0) advance = tab_stop - row.x % tab_stop;
  } else if (code != kSpace && row.x + advance > width && at > row.start) [[unlikely]] {
    row = Overflow(row, at, advance);
    if (in_step_at_) return false;
  }
  row.x += advance;
  return true;
}

RowBreaker::Row RowBreaker::EndLine(Row row, char16_t unit, std::size_t at) {
  if (unit == u'\n' && at == lf_to_skip_at_) {
    // The LF of a CR LF: the line it belongs to has ended, the next begins after it.
    row.start = at + 1;
    row.last_break = at + 1;
    return row;
  }
  if (unit == u'\r') lf_to_skip_at_ = at + 1;
  const std::size_t rows = rows_;
  rows_ = 1;
  stopped_ = !line_done_(rows);
  Row next;
  next.start = at + 1;
  next.last_break = at + 1;
  return next;
}

bool RowBreaker::Feed(std::u16string_view units) {
  if (stopped_ || in_step_at_ || units.empty()) return !stopped_ && !in_step_at_;
  const char16_t* data = units.data();
  const std::size_t size = units.size();
  const std::uint32_t* table = metrics_.Table();
  const std::int64_t width = width_;
  const std::int64_t tab_stop = metrics_.TabStop();
  const std::size_t base = offset_;
  Row row = row_;
  bool going = true;
  std::size_t i = 0;
  if (pending_high_) {
    pending_high_ = false;
    const std::uint32_t entry = IsLowSurrogate(data[0])
                                    ? metrics_.OtherEntry(CodePoint(pending_unit_, data[0]))
                                    : metrics_.OtherEntry(pending_unit_);
    i = IsLowSurrogate(data[0]) ? 1 : 0;
    going = Place(row, entry, base - 1, width, tab_stop);
  }
  for (; going && i < size; ++i) {
    std::uint32_t entry = table[data[i]];
    if ((entry & CharMetrics::kClassMask) > kLastPlain) [[unlikely]] {
      std::uint32_t code = entry & CharMetrics::kClassMask;
      if (code == CharMetrics::kUnmeasured) {
        entry = metrics_.MeasureUnit(data[i]);
        code = entry & CharMetrics::kClassMask;
      }
      if (code == CharMetrics::kHighSurrogate) {
        if (i + 1 == size) {
          pending_high_ = true;
          pending_unit_ = data[i];
          break;
        }
        if (IsLowSurrogate(data[i + 1])) {
          entry = metrics_.OtherEntry(CodePoint(data[i], data[i + 1]));
          going = Place(row, entry, base + i, width, tab_stop);
          ++i;
        } else {
          going = Place(row, metrics_.OtherEntry(data[i]), base + i, width, tab_stop);
        }
        continue;
      }
      if (code == CharMetrics::kLineBreak) {
        if (line_done_) {
          row = EndLine(row, data[i], base + i);
          going = !stopped_;
          continue;
        }
        entry = metrics_.OtherEntry(data[i]);
      }
    }
    going = Place(row, entry, base + i, width, tab_stop);
  }
  row_ = row;
  offset_ = base + size;
  stopped_ = !going;
  return going;
}

void RowBreaker::Finish() {
  if (stopped_ || in_step_at_) return;
  if (pending_high_) {
    pending_high_ = false;
    stopped_ =
        !Place(row_, metrics_.OtherEntry(pending_unit_), offset_ - 1, width_, metrics_.TabStop());
  }
  if (line_done_ && !stopped_) line_done_(rows_);
  stopped_ = true;
}

}  // namespace tambrel::text
