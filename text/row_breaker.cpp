#include "text/row_breaker.h"

#include <algorithm>
#include <array>

#include "text/clusters.h"
#include "text/unicode_properties.h"
#include "text/utf16.h"

namespace tambrel::text {
namespace {

constexpr std::uint32_t Code(CharClass char_class) {
  return static_cast<std::uint32_t>(char_class);
}
constexpr std::uint32_t kSpace = Code(CharClass::kSpace);
constexpr std::uint32_t kTab = Code(CharClass::kTab);
// Class codes up to this one are characters that stand alone, placed from their entry alone; the
// codes above need the cluster rules, a surrogate's partner, a line's end or a first measure.
constexpr std::uint32_t kLastAlone = kTab;
static_assert(kTab > kSpace && kLastAlone < CharMetrics::kClusterRules &&
              CharMetrics::kHighSurrogate > kLastAlone && CharMetrics::kLineBreak > kLastAlone &&
              CharMetrics::kUnmeasured > kLastAlone);

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

// Indexed by the class codes of the cluster before and of the next, both CharClass values.
constexpr std::array<bool, 64> MakeBreakTable() {
  std::array<bool, 64> table{};
  for (std::uint32_t before = 0; before <= kLastAlone; ++before) {
    for (std::uint32_t after = 0; after <= kLastAlone; ++after) {
      table[before * 8 + after] = BreakBetween(before, after);
    }
  }
  return table;
}
constexpr std::array<bool, 64> kBreakTable = MakeBreakTable();

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

// Places one cluster whose first unit is at `at`, from an entry whose class code is a CharClass;
// false once in step with the old rows.
inline bool RowBreaker::Place(Row& row, std::uint32_t entry, std::size_t at, std::int64_t width,
                              std::int64_t tab_stop) {
  const std::uint32_t code = entry & CharMetrics::kClassMask;
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

bool RowBreaker::PlaceCluster(Row& row) {
  if (gathering_ == Gathering::kNothing) return true;
  std::uint32_t entry = cluster_entry_ & ~CharMetrics::kClusterRules;
  if (gathering_ == Gathering::kRules && measure_whole_) {
    const auto advance = static_cast<std::uint32_t>(metrics_.WholeAdvanceOf(cluster_units_));
    entry = advance << CharMetrics::kClassBits | (entry & CharMetrics::kCharClassMask);
  }
  gathering_ = Gathering::kNothing;
  return Place(row, entry, cluster_start_, width_, metrics_.TabStop());
}

void RowBreaker::RecallAlone(char16_t unit) {
  if (gathering_ != Gathering::kAlone || units_start_ == cluster_start_) return;
  cluster_units_.assign(1, unit);
  units_start_ = cluster_start_;
}

bool RowBreaker::TakeCodePoint(Row& row, char32_t code_point, std::uint32_t entry, std::size_t at,
                               std::u16string_view units) {
  const CodePointProperties properties = PropertiesOf(code_point);
  if (gathering_ == Gathering::kAlone) {
    // The rules take over from the character gathered alone.
    rules_.Start(PropertiesOf(DecodeAt(cluster_units_, 0).value));
    gathering_ = Gathering::kRules;
  }
  if (gathering_ == Gathering::kRules) {
    const bool cut = cluster_units_.size() + units.size() > kMaxClusterUnits;
    const bool breaks = rules_.BreaksBefore(properties);
    if (!breaks && !cut) {
      cluster_units_.append(units);
      if (!IsMarkOnBase(code_point)) measure_whole_ = true;
      return true;
    }
    if (!breaks) rules_.Start(properties);  // cut off after kMaxClusterUnits, as clusters.h does
    if (!PlaceCluster(row)) return false;
  } else {
    rules_.Start(properties);
  }
  const bool alone = (entry & CharMetrics::kClassMask) <= kLastAlone;
  gathering_ = alone ? Gathering::kAlone : Gathering::kRules;
  cluster_entry_ = entry;
  cluster_start_ = at;
  cluster_units_.assign(units);
  units_start_ = at;
  measure_whole_ = false;
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
    RecallAlone(last_unit_);
    const bool paired = IsLowSurrogate(data[0]);
    const char32_t code_point = paired ? CombineSurrogates(pending_unit_, data[0]) : pending_unit_;
    const char16_t pair[2] = {pending_unit_, data[0]};
    going = TakeCodePoint(row, code_point, metrics_.OtherEntry(code_point), base - 1,
                          std::u16string_view(pair, paired ? 2 : 1));
    i = paired ? 1 : 0;
  }
  while (going && i < size) {
    if (gathering_ == Gathering::kAlone) {
      // The fast path: a character that stands alone ends the one gathered before it.
      std::uint32_t entry = cluster_entry_;
      std::size_t start = cluster_start_;
      for (; i < size; ++i) {
        const std::uint32_t next = table[data[i]];
        if ((next & CharMetrics::kClassMask) > kLastAlone) break;
        if (!Place(row, entry, start, width, tab_stop)) [[unlikely]] {
          going = false;
          break;
        }
        entry = next;
        start = base + i;
      }
      cluster_entry_ = entry;
      cluster_start_ = start;
      if (!going || i == size) break;
      RecallAlone(start >= base ? data[start - base] : last_unit_);
    }
    const char16_t unit = data[i];
    std::uint32_t entry = table[unit];
    if ((entry & CharMetrics::kClassMask) == CharMetrics::kUnmeasured) {
      entry = metrics_.MeasureUnit(unit);
      if (gathering_ == Gathering::kAlone && (entry & CharMetrics::kClassMask) <= kLastAlone) {
        continue;  // back to the fast path
      }
    }
    const std::uint32_t code = entry & CharMetrics::kClassMask;
    if (code == CharMetrics::kHighSurrogate) {
      if (i + 1 == size) {
        pending_high_ = true;
        pending_unit_ = unit;
        break;
      }
      const std::size_t length = IsLowSurrogate(data[i + 1]) ? 2 : 1;
      const char32_t code_point = length == 2 ? CombineSurrogates(unit, data[i + 1]) : unit;
      going = TakeCodePoint(row, code_point, metrics_.OtherEntry(code_point), base + i,
                            units.substr(i, length));
      i += length;
      continue;
    }
    if (code == CharMetrics::kLineBreak) {
      if (line_done_) {
        going = PlaceCluster(row);
        if (going) {
          row = EndLine(row, unit, base + i);
          going = !stopped_;
        }
        ++i;
        continue;
      }
      entry = metrics_.OtherEntry(unit);
    }
    going = TakeCodePoint(row, unit, entry, base + i, units.substr(i, 1));
    ++i;
  }
  // The fast path keeps only where the character it gathered starts; the next span may need its
  // unit.
  if (gathering_ == Gathering::kAlone && units_start_ != cluster_start_ && cluster_start_ >= base) {
    last_unit_ = data[cluster_start_ - base];
  }
  row_ = row;
  offset_ = base + size;
  stopped_ = !going;
  return going;
}

void RowBreaker::Finish() {
  if (stopped_ || in_step_at_) return;
  bool going = true;
  if (pending_high_) {
    pending_high_ = false;
    RecallAlone(last_unit_);
    going = TakeCodePoint(row_, pending_unit_, metrics_.OtherEntry(pending_unit_), offset_ - 1,
                          std::u16string_view(&pending_unit_, 1));
  }
  if (going) going = PlaceCluster(row_);
  if (line_done_ && going) line_done_(rows_);
  stopped_ = true;
}

}  // namespace tambrel::text
