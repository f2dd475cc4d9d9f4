#include "text/line_wrap.h"

#include <algorithm>
#include <cassert>

#include "text/clusters.h"
#include "text/row_breaker.h"

namespace tambrel::text {
namespace {

void Run(RowBreaker& breaker, std::size_t from, const LineSource& line) {
  bool going = true;
  line(from, [&](std::u16string_view span) { return going = breaker.Feed(span); });
  if (going) breaker.Finish();
}

// The first row an edit at `offset` may change. A row's end depends on the text up to the end of
// the cluster that overflowed it, which begins no further than two row starts on, and on the code
// point after that cluster, which says that it ended: rows whose start two rows on lies at least
// the longest cluster and a surrogate pair before the edit keep their ends.
std::size_t FirstRowToRewrap(std::span<const std::size_t> old_starts, std::size_t offset) {
  constexpr std::size_t kReach = kMaxClusterUnits + 2;
  if (offset < kReach) return 0;
  const auto safe = static_cast<std::size_t>(
      std::upper_bound(old_starts.begin(), old_starts.end(), offset - kReach) - old_starts.begin());
  return safe > 2 ? safe - 2 : 0;
}

}  // namespace

LineSource LineOfText(std::u16string_view text) {
  return [text](std::size_t from, const std::function<bool(std::u16string_view)>& consume) {
    if (from < text.size()) consume(text.substr(from));
  };
}

std::size_t CountRows(CharMetrics& metrics, float width, const LineSource& line) {
  RowBreaker breaker(metrics, width);
  Run(breaker, 0, line);
  return breaker.Rows();
}

std::vector<std::size_t> RowStarts(CharMetrics& metrics, float width, const LineSource& line) {
  std::vector<std::size_t> starts{0};
  RowBreaker breaker(metrics, width);
  breaker.CollectStarts(&starts);
  Run(breaker, 0, line);
  return starts;
}

RowSplice Rewrap(CharMetrics& metrics, float width, std::span<const std::size_t> old_starts,
                 const LineEdit& edit, const LineSource& line) {
  assert(!old_starts.empty() && old_starts.front() == 0);
  RowSplice splice;
  splice.first_row = FirstRowToRewrap(old_starts, edit.offset);
  splice.delta =
      static_cast<std::ptrdiff_t>(edit.inserted) - static_cast<std::ptrdiff_t>(edit.removed);
  const std::size_t start = old_starts[splice.first_row];
  splice.new_starts.push_back(start);
  RowBreaker breaker(metrics, width, start);
  breaker.CollectStarts(&splice.new_starts);
  breaker.StopWhenInStep(old_starts, edit.offset + edit.inserted, splice.delta);
  Run(breaker, start, line);
  splice.old_rows = breaker.InStepAt().value_or(old_starts.size()) - splice.first_row;
  return splice;
}

void ApplySplice(std::vector<std::size_t>& starts, const RowSplice& splice) {
  const auto first = starts.begin() + static_cast<std::ptrdiff_t>(splice.first_row);
  const auto last = first + static_cast<std::ptrdiff_t>(splice.old_rows);
  for (auto it = last; it != starts.end(); ++it) {
    *it = static_cast<std::size_t>(static_cast<std::ptrdiff_t>(*it) + splice.delta);
  }
  const std::size_t common = std::min(splice.old_rows, splice.new_starts.size());
  std::copy_n(splice.new_starts.begin(), common, first);
  if (splice.new_starts.size() > common) {
    starts.insert(first + static_cast<std::ptrdiff_t>(common),
                  splice.new_starts.begin() + static_cast<std::ptrdiff_t>(common),
                  splice.new_starts.end());
  } else {
    starts.erase(first + static_cast<std::ptrdiff_t>(common), last);
  }
}

}  // namespace tambrel::text
